#include "albums/cloud/CloudListingRequests.h"

#include "disk/DiskManager.h"

class CloudListingRequests::Response : public DiskManagerDelegate {
public:
    Response(CloudListingRequests& owner, quint64 generation) : m_owner(owner), m_generation(generation) {}

    void fileDidQueryDirListSuccess(const DiskDirPtr& dir, const QList<DiskFilePtr>& files,
                                    const QList<DiskDirPtr>& dirs) override
    {
        const bool current = m_owner.isCurrent(m_generation);
        m_owner.answered(m_generation, current);
        if (current)
            m_owner.m_target.fileDidQueryDirListSuccess(dir, files, dirs);
        else if (m_owner.m_stale)
            m_owner.m_stale();
    }
    void fileDidQueryDirListFail(const DiskDirPtr& dir, const QString& message) override
    {
        const bool current = m_owner.isCurrent(m_generation);
        m_owner.answered(m_generation, current);
        if (current)
            m_owner.m_target.fileDidQueryDirListFail(dir, message);
        else if (m_owner.m_stale)
            m_owner.m_stale();
    }
    // Comes before the failure of the same answer.
    void fileRequireLogin() override
    {
        if (m_owner.isCurrent(m_generation))
            m_owner.m_target.fileRequireLogin();
    }

private:
    CloudListingRequests& m_owner;
    const quint64 m_generation;
};

CloudListingRequests::CloudListingRequests(DiskManager& disk, DiskManagerDelegate& target, std::function<void()> stale)
    : m_disk(disk), m_target(target), m_stale(std::move(stale))
{
}

CloudListingRequests::~CloudListingRequests() = default;

quint64 CloudListingRequests::request(const DiskDirPtr& dir)
{
    m_done.clear();
    const quint64 generation = ++m_generation;
    m_waiting = true;
    auto response = std::make_unique<Response>(*this, generation);
    Response* r = response.get();
    m_inFlight.emplace(generation, std::move(response));
    m_disk.requestQueryDir(dir, r);
    return generation;
}

void CloudListingRequests::answered(quint64 generation, bool current)
{
    if (current)
        m_waiting = false;
    auto it = m_inFlight.find(generation);
    if (it == m_inFlight.end())
        return;
    m_done.emplace(generation, std::move(it->second));
    m_inFlight.erase(it);
}
