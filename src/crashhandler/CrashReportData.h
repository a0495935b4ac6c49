#pragma once

#include "crashhandler/FixedText.h"

#include <QString>
#include <QStringList>
#include <cstdint>

// What the report writer learned about the crash, filled on the crashing
// thread while the report is written. Every field is a fixed buffer, so the
// writer never allocates; the QString accessors are for the record step and
// for tests (they allocate and must not be used before the report is done).
//
// errorStack: the exception's symbol lines, replaced by the exception frames,
// else the crashed thread's frames. crashStackShortNames holds the image name
// of each frame of the crashed thread, one per line.
class CrashReportData {
public:
    static CrashReportData& expData();   // never destroyed

    int64_t time = 0;                    // milliseconds since 1970
    FixedText<256> type;                 // exception name, else the signal name
    FixedText<2048> error;               // exception reason, else the code name
    FixedText<32> address;               // "0x%lx" of the fault address
    FixedText<32768> errorStack;
    FixedText<16> thread;                // index of the crashed thread
    FixedText<1024> crashPath;           // report of the latest pass
    FixedText<1024> backPath;            // report of the first pass
    FixedText<65536> binInfo;            // "%s;%s;%s#" per image
    FixedText<8192> crashStackShortNames;
    // Run facts at crash time (CrashRunFacts); byte counts are kept as
    // 64-bit integers so the record carries them exactly.
    float cpu = -1;                      // processor load in percent
    int32_t battery = -100;              // percent, -100 without a battery
    int64_t freeMem = -1;
    int64_t freeStoreage = -1;           // bytes free on "/"
    int64_t freesdcard = -1;             // bytes free where the home is

    QString typeString() const { return QString::fromUtf8(type.c_str()); }
    QString errorString() const { return QString::fromUtf8(error.c_str()); }
    QString addressString() const { return QString::fromUtf8(address.c_str()); }
    QString errorStackString() const { return QString::fromUtf8(errorStack.c_str()); }
    QString threadString() const { return QString::fromUtf8(thread.c_str()); }
    QString crashPathString() const { return QString::fromUtf8(crashPath.c_str()); }
    QString backPathString() const { return QString::fromUtf8(backPath.c_str()); }
    QString binInfoString() const { return QString::fromUtf8(binInfo.c_str()); }
    QStringList crashStackShortNameList() const;

    // Async-signal-safe: appends one name to crashStackShortNames.
    void addShortName(const char* name);
    void reset();
};
