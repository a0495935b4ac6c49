#include "ElfFile.h"
#include "PipeCapture.h"
#include "crashhandler/ImageTable.h"
#include "crashhandler/SafeOutput.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <dlfcn.h>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

std::string selfPath()
{
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return std::string(buf, n > 0 ? std::size_t(n) : 0);
}

}

TEST(ImageTable, LiveListStartsWithThisExecutableAndItsFileBuildId)
{
    // A mapped file that is not ELF must not become an image.
    QTemporaryFile junk;
    ASSERT_TRUE(junk.open());
    junk.write(QByteArray(8192, 'j'));
    junk.flush();
    void* mapped = mmap(nullptr, 8192, PROT_READ | PROT_EXEC, MAP_PRIVATE, junk.handle(), 0);

    auto table = std::make_unique<ImageTable>();
    std::string exe = selfPath();
    ASSERT_TRUE(table->CollectImages(exe.c_str()));
    ASSERT_GT(table->count(), 3);
    const MachImageInfo& first = table->at(0);
    EXPECT_EQ(std::string(first.path), exe);
    char hex[65];
    first.uuidHex(hex);
    EXPECT_EQ(QString(hex), buildIdOfFile(QString::fromStdString(exe)));
    EXPECT_STRNE(hex, "");

    bool libc = false;
    for (int i = 0; i < table->count(); ++i) {
        const MachImageInfo& image = table->at(i);
        libc |= QString(image.shortName).startsWith("libc.so");
        EXPECT_NE(QString(image.path), junk.fileName());
        EXPECT_GT(image.size, 0u);
    }
    EXPECT_TRUE(libc);
    if (mapped != MAP_FAILED)
        munmap(mapped, 8192);

    // The image lines mark the executable; binInfo holds "%s;%s;%s#" per image.
    FixedText<65536> binInfo;
    QByteArray lines = captureThroughPipe([&](int fd) {
        SafeOutput out(fd);
        table->printImages(out, exe.c_str(), binInfo);
    });
    QString firstLine = QString::fromUtf8(lines.left(lines.indexOf('\n')));
    EXPECT_TRUE(QRegularExpression(R"(^ *0x[0-9a-f]+ - +0x[0-9a-f]+ \+test_crashwriter \w+ <[0-9a-f]+> /)")
                    .match(firstLine).hasMatch()) << firstLine.toStdString();
    EXPECT_EQ(lines.count('\n'), table->count());
    QStringList entries = QString(binInfo.c_str()).split('#', Qt::SkipEmptyParts);
    EXPECT_EQ(entries.size(), table->count());
    for (const QString& e : entries)
        EXPECT_TRUE(QRegularExpression(R"(^[^;]+;\w+;[0-9a-f]*$)").match(e).hasMatch()) << e.toStdString();
}

TEST(ImageTable, TheLoadersListGivesTheMappedImagesAndALibraryLoadedLaterIsNoticed)
{
    const std::string exe = selfPath();
    auto fromMaps = std::make_unique<ImageTable>();
    auto fromLoader = std::make_unique<ImageTable>();
    ASSERT_TRUE(fromMaps->CollectImages(exe.c_str()));
    ASSERT_TRUE(fromLoader->collectFromLoader(exe.c_str()));
    EXPECT_TRUE(fromLoader->matchesLoader());
    EXPECT_FALSE(fromMaps->matchesLoader());

    // The same images at the same addresses with the same build-ids.
    ASSERT_EQ(fromLoader->count(), fromMaps->count());
    EXPECT_EQ(std::string(fromLoader->at(0).path), exe);
    for (int i = 0; i < fromMaps->count(); ++i) {
        const MachImageInfo& mapped = fromMaps->at(i);
        int found = -1;
        for (int j = 0; j < fromLoader->count(); ++j)
            found = fromLoader->at(j).loadAddress == mapped.loadAddress ? j : found;
        ASSERT_GE(found, 0) << mapped.path;
        char a[65], b[65];
        mapped.uuidHex(a);
        fromLoader->at(found).uuidHex(b);
        EXPECT_STREQ(a, b) << mapped.path;
        EXPECT_EQ(fromLoader->at(found).size, mapped.size) << mapped.path;
        if (mapped.path[0] != '[') {
            EXPECT_STREQ(fromLoader->at(found).path, mapped.path);
        }
        EXPECT_TRUE(fromLoader->isExecutable(mapped.loadAddress + mapped.size - 1)) << mapped.path;
    }

    // Its image lines, made when it was built, read as those of the mappings.
    FixedText<65536> binInfo;
    QByteArray lines = captureThroughPipe([&](int fd) {
        SafeOutput out(fd);
        fromLoader->printImages(out, exe.c_str(), binInfo);
    });
    EXPECT_EQ(lines.count('\n'), fromLoader->count());
    EXPECT_TRUE(lines.startsWith(QByteArray::number(qulonglong(fromLoader->at(0).loadAddress), 16).prepend("0x").rightJustified(10, ' ')))
        << lines.left(80).constData();
    EXPECT_TRUE(lines.left(lines.indexOf('\n')).contains(" +test_crashwriter x86_64 <") ||
                lines.left(lines.indexOf('\n')).contains(" +test_crashwriter aarch64 <"));
    for (int i = 0; i < fromMaps->count(); ++i)
        EXPECT_TRUE(lines.contains(QByteArray(fromMaps->at(i).shortName) + " " + fromMaps->at(i).cpuName + " <"))
            << fromMaps->at(i).path;
    EXPECT_EQ(QString(binInfo.c_str()).split('#', Qt::SkipEmptyParts).size(), fromLoader->count());

    // A library loaded later makes the table stale until it is built again.
    const char* candidates[] = {"libutil.so.1", "libanl.so.1", "libBrokenLocale.so.1"};
    void* library = nullptr;
    std::string name;
    for (const char* c : candidates) {
        if (void* loaded = dlopen(c, RTLD_NOW | RTLD_NOLOAD)) {
            dlclose(loaded);
            continue;
        }
        if ((library = dlopen(c, RTLD_NOW | RTLD_LOCAL))) {
            name = c;
            break;
        }
    }
    ASSERT_TRUE(library) << "no library left to load";
    EXPECT_FALSE(fromLoader->matchesLoader());
    ASSERT_TRUE(fromLoader->collectFromLoader(exe.c_str()));
    EXPECT_TRUE(fromLoader->matchesLoader());
    bool listed = false;
    for (int i = 0; i < fromLoader->count(); ++i)
        listed |= std::string(fromLoader->at(i).shortName) == name;
    EXPECT_TRUE(listed) << name;
    dlclose(library);
    EXPECT_FALSE(fromLoader->matchesLoader());
}

TEST(ImageTable, SymbolisesWithHalfOpenRangesAndLastMatchWins)
{
    auto table = std::make_unique<ImageTable>();
    table->add("/lib/libA.so", 0x1000, 0x1000, "x86_64");
    table->add("/lib/libB.so", 0x2000, 0x1000, "x86_64");
    ImageTable::Symbol s = table->symbolise(0x1fff);
    EXPECT_STREQ(s.name, "libA.so");
    EXPECT_EQ(s.base, 0x1000u);
    EXPECT_EQ(s.offset, 0xfffu);
    EXPECT_STREQ(table->symbolise(0x2000).name, "libB.so");   // the end of A is not A's
    s = table->symbolise(0x3000);
    EXPECT_STREQ(s.name, "<unknown-name>");
    EXPECT_EQ(s.base, 0x3000u);
    EXPECT_EQ(s.offset, 0u);

    table->add("plain", 0x1800, 0x100, "arm");
    EXPECT_STREQ(table->symbolise(0x1850).name, "plain");   // the later image wins
    EXPECT_STREQ(table->symbolise(0x1900).name, "libA.so");

    // An image without a build-id stays listed, with an empty id.
    FixedText<65536> binInfo;
    QByteArray lines = captureThroughPipe([&](int fd) {
        SafeOutput out(fd);
        table->printImages(out, "plain", binInfo);
    });
    EXPECT_TRUE(lines.endsWith("    0x1800 -     0x18ff +plain arm <> plain\n")) << lines.constData();
    EXPECT_TRUE(QByteArray(binInfo.c_str()).endsWith("#plain;arm;#"));

    char cpu[12];
    ImageTable::mapcpu(cpu, sizeof cpu, 183);
    EXPECT_STREQ(cpu, "aarch64");
    ImageTable::mapcpu(cpu, sizeof cpu, 0x1f3);
    EXPECT_STREQ(cpu, "cpu_243.0");
}
