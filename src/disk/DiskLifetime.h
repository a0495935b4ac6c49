#pragma once

#include <memory>

// A token that lives exactly as long as the object holding it. Receivers of
// asynchronous answers (response objects, delegates) derive from it, so that
// the sender can hold them weakly through DiskWeakRef: an answer whose
// receiver is gone is dropped. Copies get their own token.
class DiskLifetime {
public:
    DiskLifetime() : m_token(std::make_shared<char>()) {}
    DiskLifetime(const DiskLifetime&) : m_token(std::make_shared<char>()) {}
    DiskLifetime& operator=(const DiskLifetime&) { return *this; }
    virtual ~DiskLifetime() = default;

    std::weak_ptr<void> lifetimeToken() const { return m_token; }

private:
    std::shared_ptr<char> m_token;
};

// A weak reference to a receiver. Check and use it only on the thread that
// destroys the receiver (the main thread for screens).
template <typename T>
class DiskWeakRef {
public:
    DiskWeakRef() = default;
    DiskWeakRef(T* receiver)   // NOLINT: implicit on purpose
        : m_ptr(receiver), m_token(receiver ? receiver->lifetimeToken() : std::weak_ptr<void>())
    {
    }
    T* get() const { return m_token.expired() ? nullptr : m_ptr; }
    T* operator->() const { return get(); }
    explicit operator bool() const { return get() != nullptr; }
    bool operator==(const T* other) const { return get() == other; }

private:
    T* m_ptr = nullptr;
    std::weak_ptr<void> m_token;
};
