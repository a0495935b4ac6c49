#pragma once

#include <atomic>
#include <memory>

// While alive, NetworkHelper::getNetworkConnction() answers the kind set
// here (thread-safe); the system's answer returns afterwards.
class FakeNetworkKind {
public:
    explicit FakeNetworkKind(int kind = 3);
    ~FakeNetworkKind();
    FakeNetworkKind(const FakeNetworkKind&) = delete;
    FakeNetworkKind& operator=(const FakeNetworkKind&) = delete;

    void set(int kind) { m_kind->store(kind); }
    int queries() const { return m_queries->load(); }

private:
    // Shared with the installed provider, which may outlive a copy taken by
    // a caller on another thread.
    std::shared_ptr<std::atomic<int>> m_kind;
    std::shared_ptr<std::atomic<int>> m_queries;
};
