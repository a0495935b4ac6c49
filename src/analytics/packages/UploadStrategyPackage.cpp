#include "analytics/packages/UploadStrategyPackage.h"

#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"

namespace strategy {

void UploadStrategyPackage::writeTo(analyticsrov::KelOutputStream& os) const
{
    os.write(testCount, 0);
    os.write(maxPackageSize, 1);
    os.write(uploadStrategy, 2);
    os.write(uploadServer, 3);
    os.write(moduleStrategy, 4);
}

void UploadStrategyPackage::readFrom(analyticsrov::KelInputStream& is)
{
    is.read(testCount, 0, false);
    is.read(maxPackageSize, 1, true);
    is.read(uploadStrategy, 2, false);
    is.read(uploadServer, 3, false);
    is.read(moduleStrategy, 4, true);
}

}
