#include "analytics/kel/RequestPacket.h"

#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"

namespace analyticsrov {

void RequestPacket::writeTo(KelOutputStream& os) const
{
    os.write(iVersion, 1);
    os.write(cPacketType, 2);
    os.write(iMessageType, 3);
    os.write(iRequestId, 4);
    os.write(sServantName, 5);
    os.write(sFuncName, 6);
    os.write(sBuffer, 7);
    os.write(iTimeout, 8);
    os.write(context, 9);
    os.write(status, 10);
}

void RequestPacket::readFrom(KelInputStream& is)
{
    is.read(iVersion, 1, true);
    is.read(cPacketType, 2, false);
    is.read(iMessageType, 3, false);
    is.read(iRequestId, 4, true);
    is.read(sServantName, 5, true);
    is.read(sFuncName, 6, true);
    is.read(sBuffer, 7, true);
    is.read(iTimeout, 8, false);
    is.read(context, 9, false);
    is.read(status, 10, false);
}

}
