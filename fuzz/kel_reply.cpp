// Feeds arbitrary bytes to the whole reply path of the analytics envelope:
// the packet and its response package, the body deciphered and inflated,
// then decoded by its command (7 security strategy, 8 upload strategy, 10
// strategy map; 4 and others go to the register, which holds nothing). Every
// outcome must be a response or an error value: an exception that escapes,
// a crash or a sanitizer report is a fault.
#include "analytics/envelope/AnaNuxWrapHelper.h"
#include "analytics/packages/NSResponsePackage.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

namespace {

void parse(const QByteArray& bytes)
{
    AnaError error;
    const auto response = AnaNuxWrapHelper().createRspData(bytes, QStringLiteral("detail"), QString(), &error);
    if (!response && error.description.isEmpty())
        __builtin_trap();   // a failure must say what failed
}

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The cipher warns about every bad padding; that is expected here.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    parse(bytes);
    // Inputs whose length changed are rejected by the length prefix alone;
    // the same bytes with the prefix made right reach everything behind it.
    if (size >= 4) {
        QByteArray fixed = bytes;
        for (int i = 0; i < 4; ++i)
            fixed[i] = char(uint32_t(size) >> (24 - 8 * i));
        if (fixed != bytes)
            parse(fixed);
    }
    return 0;
}
