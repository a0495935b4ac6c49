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
