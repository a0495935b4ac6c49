#include "crashhandler/CrashReportData.h"

#include <new>

CrashReportData& CrashReportData::expData()
{
    // Built in static storage and never destroyed: a crash during exit must
    // still find it.
    alignas(CrashReportData) static unsigned char storage[sizeof(CrashReportData)];
    static CrashReportData* instance = new (storage) CrashReportData();
    return *instance;
}

QStringList CrashReportData::crashStackShortNameList() const
{
    if (!crashStackShortNames.isSet())
        return {};
    QString all = QString::fromUtf8(crashStackShortNames.c_str());
    if (all.endsWith('\n'))
        all.chop(1);
    return all.split('\n');
}

void CrashReportData::addShortName(const char* name)
{
    crashStackShortNames.append(name);
    crashStackShortNames.append("\n", 1);
}

void CrashReportData::reset()
{
    time = 0;
    type.clear();
    error.clear();
    address.clear();
    errorStack.clear();
    thread.clear();
    crashPath.clear();
    backPath.clear();
    binInfo.clear();
    crashStackShortNames.clear();
    cpu = -1;
    battery = -100;
    freeMem = freeStoreage = freesdcard = -1;
}
