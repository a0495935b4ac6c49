#pragma once

#include "analytics/kel/KelTypes.h"
#include "analytics/kel/RequestPacket.h"
#include "analytics/packages/RequestPackage.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <string>

// The endpoint's side of the analytics envelope, for tests: decodes what the
// SDK posts (packet, attribute, DES under the request key, gunzip, the mix
// map) and builds replies under the response key, all with the project's
// own Kel, cipher and compression code.
class LoopbackEnvelope {
public:
    struct Decoded {
        bool ok = false;
        QString error;
        analyticsrov::RequestPacket header;
        common::RequestPackage package;
        QByteArray plainBody;                          // deciphered, gunzipped
        std::map<int32_t, analyticsrov::KelBytes> mix; // for a mix body
    };

    static Decoded decodeRequest(const QByteArray& envelope, const std::string& key = "detail");

    struct Reply {
        int result = 0;
        int cmd = 4;
        analyticsrov::KelBytes body;   // plain; gzip and DES are applied
        std::string gateWayIp = "127.0.0.1";
        int64_t serverTime = 0;
        std::string key = "detail";
        int encryType = 1;             // -1: body sent as is
        int zipType = 2;
        bool transformed = false;      // body already zipped and enciphered
    };
    static QByteArray encodeReply(const Reply& reply);
    static QByteArray reply(int result) { Reply r; r.result = result; return encodeReply(r); }
};
