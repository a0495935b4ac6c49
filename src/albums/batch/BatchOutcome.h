#pragma once

#include "albums/batch/BatchCounts.h"
#include "albums/batch/BatchStopReason.h"

// How a batch ended and what its owner shows for it.
class BatchOutcome {
public:
    enum class Kind {
        Summary,      // the success toast or the failure alert, from counts()
        Silent,       // nothing: the user (or the system) broke the batch off
        NetworkAlert, // only the network alert
    };

    // The one policy of every batch:
    // - a lost network shows only the network alert;
    // - a lapsed sign-in shows nothing (the owner asks for the sign-in);
    // - every item handled shows the summary, even when a stop came during
    //   the last item;
    // - a stop by the user, the background or a re-lock shows nothing;
    // - a change of the photo library shows the summary, the items it left
    //   unprocessed counted as failures.
    static BatchOutcome decide(BatchStopReason reason, const BatchCounts& counts);

    // True when the stop's outcome depends on how the item in flight ends, so
    // it must be waited for rather than cut off.
    static bool needsItemInFlight(BatchStopReason reason);

    Kind kind() const { return m_kind; }
    BatchStopReason reason() const { return m_reason; }
    // The counts to report; for a library change the unprocessed items are
    // among the failures.
    const BatchCounts& counts() const { return m_counts; }

private:
    BatchOutcome(Kind kind, BatchStopReason reason, const BatchCounts& counts)
        : m_kind(kind), m_reason(reason), m_counts(counts)
    {
    }

    Kind m_kind;
    BatchStopReason m_reason;
    BatchCounts m_counts;
};
