#pragma once

#include "analytics/AnaError.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

class NSRequestPackage;
class NSResponsePackage;

// Builds the request envelope (the package's body compressed, then
// enciphered, the package carried as the one attribute of a Nux packet,
// length-prefixed) and reads the reply envelope (the body deciphered, then
// decompressed, then turned into objects by command). Stateless but for the
// process-wide request id counter. Failures return null/empty and fill the
// error when one is given.
class AnaNuxWrapHelper {
public:
    static inline const QString kRequestKey = QStringLiteral("#T%v!Q&2");
    static inline const QString kResponseKey = QStringLiteral("N[=W^W=]");

    // zipAlg and encAlg -1 choose the defaults (gzip, DES under the request
    // key). A null key, servant or function is an error.
    QByteArray createReqData(const NSRequestPackage& request, const QString& reqKey, const QString& reqServant,
                             const QString& reqFunc, int zipAlg, int encAlg, const QString& encKey,
                             AnaError* error) const;
    // A null encPubKey reads the body under the response key.
    std::shared_ptr<NSResponsePackage> createRspData(const QByteArray& data, const QString& rspKey,
                                                     const QString& encPubKey, AnaError* error) const;

    // The id the next envelope will carry.
    static int32_t peekNextRequestId();
};
