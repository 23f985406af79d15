// Files deleted later: retried until gone, once each however often they are handed over,
// given up after a while, and the tick count's wrap does not end the wait early.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/LateDeletes.h"

TEST(LateDeletes, RetriesUntilGoneOrGivenUpOnceEach)
{
    LateDeletes late;
    std::set<std::string> held{"a.avi", "b.mp4"};
    int tries = 0;
    const auto remove = [&](const std::string& path) {
        ++tries;
        return held.count(path) == 0;
    };
    const unsigned long start = 0xFFFFF000UL; // the tick count wraps during the wait
    late.Add("a.avi", start);
    late.Add("a.avi", start + 500); // a second hand-over of the same file is the same wait
    late.Add("b.mp4", start);
    late.RetryDue(start + 200, remove);
    EXPECT_EQ(tries, 2);
    EXPECT_TRUE(late.Holds("a.avi") && late.Holds("b.mp4"));

    held.erase("a.avi"); // its holder let go
    late.RetryDue(start + 400, remove);
    EXPECT_FALSE(late.Holds("a.avi"));
    EXPECT_TRUE(late.Holds("b.mp4"));

    late.RetryDue(start + LateDeletes::kGiveUpAfterMs - 1, remove);
    EXPECT_TRUE(late.Holds("b.mp4")) << "still within its time, across the wrap";
    late.RetryDue(start + LateDeletes::kGiveUpAfterMs, remove);
    EXPECT_TRUE(late.Empty());
}
