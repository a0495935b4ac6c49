#include "analytics/packages/ResponsePackage.h"

#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"

namespace common {

void ResponsePackage::writeTo(analyticsrov::KelOutputStream& os) const
{
    os.write(result, 0);
    os.write(cmd, 1);
    os.write(sBuffer, 2);
    os.write(gateWayIp, 3);
    os.write(encryType, 4);
    os.write(zipType, 5);
    os.write(serverTime, 6);
}

void ResponsePackage::readFrom(analyticsrov::KelInputStream& is)
{
    is.read(result, 0, true);
    is.read(cmd, 1, true);
    is.read(sBuffer, 2, true);
    is.read(gateWayIp, 3, true);
    is.read(encryType, 4, false);
    is.read(zipType, 5, false);
    is.read(serverTime, 6, false);
}

}
