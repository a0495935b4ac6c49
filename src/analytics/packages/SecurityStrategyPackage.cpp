#include "analytics/packages/SecurityStrategyPackage.h"

#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"

namespace strategy {

void SecurityStrategyPackage::writeTo(analyticsrov::KelOutputStream& os) const
{
    os.write(encryKey, 0);
    os.write(encryPublicKey, 1);
    os.write(encryAlgorithm, 2);
    os.write(zipAlgorithm, 3);
}

void SecurityStrategyPackage::readFrom(analyticsrov::KelInputStream& is)
{
    is.read(encryKey, 0, true);
    is.read(encryPublicKey, 1, true);
    is.read(encryAlgorithm, 2, false);
    is.read(zipAlgorithm, 3, false);
}

}
