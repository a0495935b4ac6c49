#include "analytics/packages/RequestPackage.h"

#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"

namespace common {

void RequestPackage::writeTo(analyticsrov::KelOutputStream& os) const
{
    os.write(platformId, 0);
    os.write(productId, 1);
    os.write(productVersion, 2);
    os.write(sdkId, 3);
    os.write(sdkVersion, 4);
    os.write(cmd, 5);
    os.write(sBuffer, 6);
    os.write(hardwareOs, 7);
    os.write(qua, 8);
    os.write(encryType, 9);
    os.write(zipType, 10);
    os.write(appVerBuild, 11);
    os.write(reserved, 12);
}

void RequestPackage::readFrom(analyticsrov::KelInputStream& is)
{
    is.read(platformId, 0, true);
    is.read(productId, 1, false);
    is.read(productVersion, 2, false);
    is.read(sdkId, 3, false);
    is.read(sdkVersion, 4, false);
    is.read(cmd, 5, true);
    is.read(sBuffer, 6, true);
    is.read(hardwareOs, 7, false);
    is.read(qua, 8, false);
    is.read(encryType, 9, false);
    is.read(zipType, 10, false);
    is.read(appVerBuild, 11, false);
    is.read(reserved, 12, false);
}

}
