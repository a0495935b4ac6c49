#include "support/FakeNetworkKind.h"

#include "platform/sys/NetworkHelper.h"

FakeNetworkKind::FakeNetworkKind(int kind)
    : m_kind(std::make_shared<std::atomic<int>>(kind)), m_queries(std::make_shared<std::atomic<int>>(0))
{
    NetworkHelper::setConnectionProvider([kindRef = m_kind, queries = m_queries] {
        ++*queries;
        return kindRef->load();
    });
}

FakeNetworkKind::~FakeNetworkKind()
{
    NetworkHelper::setConnectionProvider({});
}
