#pragma once

// Told when the user leaves the verification-code screen without signing in.
class PavVerifyPasswordDelegate_iPad {
public:
    virtual ~PavVerifyPasswordDelegate_iPad() = default;
    virtual void cancelVerifyPassword() {}
};
