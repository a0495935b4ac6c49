#include "crashhandler/ExceptionUpload.h"

#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"

namespace exceptionupload {

void ExceptionUpload::writeTo(analyticsrov::KelOutputStream& os) const
{
    os.write(exceptionType, 0);
    os.write(excepitonAddress, 1);
    os.write(hash, 2);
    os.write(cashTime, 3);
    os.write(attachmentList, 4);
    os.write(threadName, 5);
    os.write(callStack, 6);
    os.write(causedBy, 7);
    os.write(mobileInfo, 8);
    os.write(runInfo, 9);
    os.write(contactInfo, 10);
}

void ExceptionUpload::readFrom(analyticsrov::KelInputStream& is)
{
    is.read(exceptionType, 0, true);
    is.read(excepitonAddress, 1, false);
    is.read(hash, 2, false);
    is.read(cashTime, 3, true);
    is.read(attachmentList, 4, true);
    is.read(threadName, 5, false);
    is.read(callStack, 6, false);
    is.read(causedBy, 7, false);
    is.read(mobileInfo, 8, false);
    is.read(runInfo, 9, false);
    is.read(contactInfo, 10, false);
}

}
