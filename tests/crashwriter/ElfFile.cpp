#include "ElfFile.h"

#include <QFile>
#include <cstring>
#include <elf.h>

QString buildIdOfFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray all = f.readAll();
    if (all.size() < qsizetype(sizeof(Elf64_Ehdr)))
        return {};
    Elf64_Ehdr eh;
    std::memcpy(&eh, all.constData(), sizeof eh);
    for (int i = 0; i < eh.e_phnum; ++i) {
        Elf64_Phdr ph;
        qsizetype at = qsizetype(eh.e_phoff + i * sizeof ph);
        if (at + qsizetype(sizeof ph) > all.size())
            return {};
        std::memcpy(&ph, all.constData() + at, sizeof ph);
        if (ph.p_type != PT_NOTE)
            continue;
        QByteArray notes = all.mid(qsizetype(ph.p_offset), qsizetype(ph.p_filesz));
        qsizetype n = 0;
        while (n + qsizetype(sizeof(Elf64_Nhdr)) <= notes.size()) {
            Elf64_Nhdr nh;
            std::memcpy(&nh, notes.constData() + n, sizeof nh);
            qsizetype name = n + sizeof nh;
            qsizetype desc = name + ((nh.n_namesz + 3) & ~3u);
            if (nh.n_type == NT_GNU_BUILD_ID && notes.mid(name, 4) == QByteArray("GNU\0", 4))
                return QString::fromLatin1(notes.mid(desc, nh.n_descsz).toHex());
            n = desc + ((nh.n_descsz + 3) & ~3u);
        }
    }
    return {};
}

std::pair<quint64, quint64> functionRange(const QString& path, const QByteArray& name)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = f.readAll();
    Elf64_Ehdr eh;
    if (all.size() < qsizetype(sizeof eh))
        return {};
    std::memcpy(&eh, all.constData(), sizeof eh);
    const auto section = [&all, &eh](int i) {
        Elf64_Shdr sh{};
        const qsizetype at = qsizetype(eh.e_shoff + quint64(i) * sizeof sh);
        if (at + qsizetype(sizeof sh) <= all.size())
            std::memcpy(&sh, all.constData() + at, sizeof sh);
        return sh;
    };
    for (int i = 0; i < eh.e_shnum; ++i) {
        const Elf64_Shdr symbols = section(i);
        if (symbols.sh_type != SHT_SYMTAB)
            continue;
        const Elf64_Shdr names = section(int(symbols.sh_link));
        for (quint64 at = symbols.sh_offset; at + sizeof(Elf64_Sym) <= symbols.sh_offset + symbols.sh_size;
             at += sizeof(Elf64_Sym)) {
            Elf64_Sym sym;
            std::memcpy(&sym, all.constData() + at, sizeof sym);
            if (ELF64_ST_TYPE(sym.st_info) == STT_FUNC &&
                QByteArray(all.constData() + names.sh_offset + sym.st_name) == name)
                return {sym.st_value, sym.st_value + sym.st_size};
        }
    }
    return {};
}
