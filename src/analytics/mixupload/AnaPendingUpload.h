#pragma once

#include "analytics/AnaError.h"

#include <QByteArray>

#include <functional>
#include <memory>

class NSRequestPackage;

// The host-driven half of an uploader: the package handed out as envelope
// bytes and not yet confirmed, and those bytes.
class AnaPendingUpload {
public:
    using Builder = std::function<std::shared_ptr<NSRequestPackage>(bool clean)>;

    // While a package is pending: error 8 and the earlier bytes. Otherwise
    // builds a package, wraps it ("detail", "upload", "access", gzip, DES
    // under the request key) and, unless clean, keeps it pending.
    QByteArray getUploadData(bool clean, AnaError* error, const Builder& build);

    const std::shared_ptr<NSRequestPackage>& pending() const { return m_pending; }
    void clear() { m_pending.reset(); }

private:
    std::shared_ptr<NSRequestPackage> m_pending;
    QByteArray m_lastEnvelope;
};
