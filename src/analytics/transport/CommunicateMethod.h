#pragma once

#include <memory>

class AnaCommunicationRequestDelegate;
class NSRequestPackage;

// An engine that performs one exchange for a request package. It runs on the
// caller's thread and tells the delegate exactly one outcome before it
// returns; abort() (any thread) ends a running exchange.
class CommunicateMethod {
public:
    virtual ~CommunicateMethod() = default;
    virtual void communicateWithSeverAsync(const std::shared_ptr<NSRequestPackage>& package,
                                           AnaCommunicationRequestDelegate* delegate) = 0;
    virtual void abort() = 0;
};
