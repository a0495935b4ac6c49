#pragma once

#include "disk/DiskManagerDelegate.h"

#include <QtGlobal>

#include <functional>
#include <map>
#include <memory>

class DiskManager;

// The cloud album's folder listings. Every request answers through its own
// response object, numbered by a generation; only the answer of the newest
// request still wanted reaches the target (two listings of one folder may be
// in flight at once, and their answers carry the same folder). Any other
// answer is dropped and reported as stale. Main thread.
class CloudListingRequests {
public:
    CloudListingRequests(DiskManager& disk, DiskManagerDelegate& target, std::function<void()> stale);
    ~CloudListingRequests();
    CloudListingRequests(const CloudListingRequests&) = delete;
    CloudListingRequests& operator=(const CloudListingRequests&) = delete;

    // Lists dir; earlier requests become stale. Returns the new generation.
    quint64 request(const DiskDirPtr& dir);
    // No answer is wanted any more.
    void cancel() { m_waiting = false; }

    quint64 generation() const { return m_generation; }
    // The newest request is still unanswered (and wanted).
    bool isWaiting() const { return m_waiting; }
    // Some request, stale or not, is still unanswered.
    bool hasInFlight() const { return !m_inFlight.empty(); }

private:
    class Response;
    // True when the answer of this generation is handed on.
    bool isCurrent(quint64 generation) const { return m_waiting && generation == m_generation; }
    void answered(quint64 generation, bool current);

    DiskManager& m_disk;
    DiskManagerDelegate& m_target;
    std::function<void()> m_stale;
    quint64 m_generation = 0;
    bool m_waiting = false;
    // Answered responses stay until the next request: the facade may still be
    // inside one of their calls.
    std::map<quint64, std::unique_ptr<Response>> m_inFlight;
    std::map<quint64, std::unique_ptr<Response>> m_done;
};
