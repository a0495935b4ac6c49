#include "support/PeakMemory.h"

#include <sys/resource.h>

qint64 peakResidentMb()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}
