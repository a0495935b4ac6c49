#include "crashhandler/MobileDetail.h"

#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"

namespace exceptionupload {

void MobileDetail::writeTo(analyticsrov::KelOutputStream& os) const
{
    os.write(symbol, 0);
    os.write(other, 1);
}

void MobileDetail::readFrom(analyticsrov::KelInputStream& is)
{
    is.read(symbol, 0, true);
    is.read(other, 1, false);
}

}
