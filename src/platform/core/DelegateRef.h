#pragma once

#include <QObject>
#include <QPointer>

// A non-owning reference to a delegate. When the delegate is also a QObject
// (a screen, say), the reference turns null once that object is destroyed,
// so a message to a delegate that is gone is dropped instead of crashing.
template <typename T>
class DelegateRef {
public:
    DelegateRef() = default;
    DelegateRef(T* delegate) { reset(delegate); }   // NOLINT: implicit on purpose

    void reset(T* delegate = nullptr)
    {
        m_ptr = delegate;
        m_guard = delegate ? dynamic_cast<QObject*>(delegate) : nullptr;
        m_guarded = !m_guard.isNull();
    }
    T* get() const { return (m_guarded && m_guard.isNull()) ? nullptr : m_ptr; }
    T* operator->() const { return get(); }
    explicit operator bool() const { return get() != nullptr; }

private:
    T* m_ptr = nullptr;
    QPointer<QObject> m_guard;
    bool m_guarded = false;
};
