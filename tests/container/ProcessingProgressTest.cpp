#include "albums/batch/ProcessingProgress.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(ProcessingProgressTest, TheBarIsClampedToItsTrack)
{
    ProcessingProgress p(4);
    const std::pair<float, double> cases[] = {
        {0.f, 0.0}, {0.5f, 173.5}, {1.f, 347.0}, {-0.2f, 0.0}, {1.7f, 347.0},
        {std::numeric_limits<float>::quiet_NaN(), 0.0}, {std::numeric_limits<float>::infinity(), 347.0},
    };
    for (auto [in, width] : cases) {
        p.setProgress(in);
        EXPECT_DOUBLE_EQ(p.fillWidth(), width) << in;
        EXPECT_GE(p.progress(), 0.f);
        EXPECT_LE(p.progress(), 1.f);
    }
}

// The panel's own tests drive the counter and the cancel; an empty batch
// is the case it never meets.
TEST(ProcessingProgressTest, AnEmptyBatchHasNoFraction)
{
    ProcessingProgress empty(0);
    empty.setCompletedCount(0);
    EXPECT_EQ(empty.progress(), 0.f);
    EXPECT_EQ(empty.counterText(), "(0/0)");
}

}
