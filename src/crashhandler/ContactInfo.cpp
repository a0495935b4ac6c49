#include "crashhandler/ContactInfo.h"

#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"

namespace exceptionupload {

void ContactInfo::writeTo(analyticsrov::KelOutputStream& os) const
{
    os.write(all, 0);
    os.write(tel, 1);
    os.write(qua, 2);
    os.write(email, 3);
    os.write(comment, 4);
    os.write(other, 5);
}

void ContactInfo::readFrom(analyticsrov::KelInputStream& is)
{
    is.read(all, 0, true);
    is.read(tel, 1, true);
    is.read(qua, 2, true);
    is.read(email, 3, true);
    is.read(comment, 4, true);
    is.read(other, 5, false);
}

}
