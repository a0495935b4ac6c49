#include "albums/batch/BatchOutcome.h"

BatchOutcome BatchOutcome::decide(BatchStopReason reason, const BatchCounts& counts)
{
    if (reason == BatchStopReason::NetworkLost)
        return {Kind::NetworkAlert, reason, counts};
    // The owner asks for the sign-in instead, whatever was handled.
    if (reason == BatchStopReason::SignInLapsed)
        return {Kind::Silent, reason, counts};
    if (counts.allHandled())
        return {Kind::Summary, reason, counts};
    switch (reason) {
    case BatchStopReason::LibraryChanged: {
        BatchCounts reported = counts;
        reported.failed += counts.total - counts.done;
        reported.done = counts.total;
        return {Kind::Summary, reason, reported};
    }
    case BatchStopReason::None:
        // Not reachable through the runner: it ends early only when stopped.
        return {Kind::Summary, reason, counts};
    default:
        return {Kind::Silent, reason, counts};
    }
}

bool BatchOutcome::needsItemInFlight(BatchStopReason reason)
{
    return reason == BatchStopReason::None || reason == BatchStopReason::LibraryChanged;
}
