#include "crashhandler/Attachment.h"

#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"

namespace exceptionupload {

void Attachment::writeTo(analyticsrov::KelOutputStream& os) const
{
    os.write(type, 0);
    os.write(fileName, 1);
    os.write(data, 2);
}

void Attachment::readFrom(analyticsrov::KelInputStream& is)
{
    is.read(type, 0, true);
    is.read(fileName, 1, false);
    is.read(data, 2, true);
}

}
