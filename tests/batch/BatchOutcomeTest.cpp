#include "albums/batch/BatchOutcome.h"

#include <gtest/gtest.h>


using Kind = BatchOutcome::Kind;
using R = BatchStopReason;

TEST(BatchOutcome, OnePolicyForEveryWayABatchEnds)
{
    const BatchCounts partial{5, 2, 1, 1};
    const BatchCounts whole{5, 5, 4, 1};

    EXPECT_EQ(BatchOutcome::decide(R::None, whole).kind(), Kind::Summary);
    for (R reason : {R::User, R::Background, R::Relock}) {
        EXPECT_EQ(BatchOutcome::decide(reason, partial).kind(), Kind::Silent);
        // Stopped while the last item ran: every item was handled anyway.
        EXPECT_EQ(BatchOutcome::decide(reason, whole).kind(), Kind::Summary);
        EXPECT_EQ(BatchOutcome::decide(reason, whole).counts(), whole);
    }

    const BatchOutcome changed = BatchOutcome::decide(R::LibraryChanged, partial);
    EXPECT_EQ(changed.kind(), Kind::Summary);
    EXPECT_EQ(changed.counts(), (BatchCounts{5, 5, 1, 4}));

    EXPECT_EQ(BatchOutcome::decide(R::NetworkLost, partial).kind(), Kind::NetworkAlert);
    EXPECT_EQ(BatchOutcome::decide(R::NetworkLost, whole).kind(), Kind::NetworkAlert);
    EXPECT_EQ(BatchOutcome::decide(R::NetworkLost, partial).reason(), R::NetworkLost);

    // A lapsed sign-in: nothing, even when the lapse came with the last item.
    EXPECT_EQ(BatchOutcome::decide(R::SignInLapsed, partial).kind(), Kind::Silent);
    EXPECT_EQ(BatchOutcome::decide(R::SignInLapsed, whole).kind(), Kind::Silent);
}
