#include "crashhandler/RunInfo.h"

#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"

namespace exceptionupload {

void RunInfo::writeTo(analyticsrov::KelOutputStream& os) const
{
    os.write(battery, 0);
    os.write(cpu, 1);
    os.write(freeMem, 2);
    os.write(freeStorage, 3);
    os.write(freeSDCard, 4);
}

void RunInfo::readFrom(analyticsrov::KelInputStream& is)
{
    is.read(battery, 0, true);
    is.read(cpu, 1, true);
    is.read(freeMem, 2, true);
    is.read(freeStorage, 3, true);
    is.read(freeSDCard, 4, true);
}

}
