#pragma once

#include "analytics/AnaError.h"

#include <QByteArray>

// A source of upload envelopes for a host that sends them itself. With
// clean false the records stay until uploadFinishWithResult reports success.
class AnaUploader {
public:
    virtual ~AnaUploader() = default;
    virtual QByteArray getUploadData(bool clean, AnaError* error) = 0;
    virtual bool uploadFinishWithResult(bool success, AnaError* error) = 0;
};

// Told when the stored records reached an upload batch.
class AnaUplaodNotifier {
public:
    virtual ~AnaUplaodNotifier() = default;
    virtual void reachMaxsize() = 0;
};
