#pragma once

#include "disk/DiskLifetime.h"

#include <QString>

// Answers of a disk account sign-in, on the main thread. The login model
// holds its delegate weakly.
class ZEBConnectionAuthDelegate : public DiskLifetime {
public:
    // result true with tag 0: signed in; false with tag 1 (wrong password),
    // 3 (the service could not be reached) or 4 (any other refusal).
    virtual int loginResult(bool result, int tag) = 0;
    // A verification code is wanted: the image's address; fault when a code
    // given before was wrong.
    virtual void loginNeedVerfy(const QString& imageUrl, bool fault) = 0;
};
