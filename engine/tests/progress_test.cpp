// Reading the encoder's progress pieces into a task, and the hh:mm:ss helper.
#include <gtest/gtest.h>

#include <string>

#include "engine/Progress.h"

namespace {

constexpr char kTypicalLine[] = "frame=  250 q=5.0 size=     512kB time=10.0 bitrate= 419.4kbits/s";

ConvertTask TrimmedTask(double start, double end)
{
    ConvertTask task;
    task.dStartTime = start;
    task.dEndTime = end;
    return task;
}

} // namespace

TEST(ReadProgressFields, ReadsSizeAndTimeOfATypicalLine)
{
    const ProgressFields f = ReadProgressFields(kTypicalLine);
    EXPECT_TRUE(f.bHasSize);
    EXPECT_EQ(f.nSizeKB, 512);
    EXPECT_TRUE(f.bHasTime);
    EXPECT_DOUBLE_EQ(f.dTime, 10.0);
}

TEST(ReadProgressFields, UsesOnlyTheFirstOccurrenceOfEachField)
{
    const ProgressFields f =
        ReadProgressFields("size=     100kB time=1.0 bitrate=1\rsize=     200kB time=2.0 bitrate=1\r");
    EXPECT_EQ(f.nSizeKB, 100);
    EXPECT_DOUBLE_EQ(f.dTime, 1.0);
}

TEST(ReadProgressFields, IgnoresASizeCutByTheEndOfThePiece)
{
    EXPECT_FALSE(ReadProgressFields("frame= 5 size=  512kB").bHasSize); // 7 characters follow
    const ProgressFields eight = ReadProgressFields("frame= 5 size=   512kB"); // exactly 8
    EXPECT_TRUE(eight.bHasSize);
    EXPECT_EQ(eight.nSizeKB, 512);
    EXPECT_FALSE(ReadProgressFields("size=").bHasSize);
    // Only 8 characters are read: digits beyond them do not belong to the size.
    EXPECT_EQ(ReadProgressFields("size=123456789kB").nSizeKB, 12345678);
}

TEST(ReadProgressFields, ReadsTheTimeFromAtMostFiveCharacters)
{
    EXPECT_FALSE(ReadProgressFields("x time=10.").bHasTime); // 3 characters follow: cut
    EXPECT_DOUBLE_EQ(ReadProgressFields("time=10.0\r").dTime, 10.0);
    EXPECT_NEAR(ReadProgressFields("time=123.45 bitrate").dTime, 123.4, 1e-9);
    EXPECT_DOUBLE_EQ(ReadProgressFields("time=1234.56 bitrate").dTime, 1234.0);
    // An encoder printing hh:mm:ss gives no usable position: "00:01" reads as 0.
    const ProgressFields hms = ReadProgressFields("size=     512kB time=00:01:23.45 bitrate=");
    EXPECT_TRUE(hms.bHasTime);
    EXPECT_DOUBLE_EQ(hms.dTime, 0.0);
}

// The runner's pieces end anywhere: a time whose digits run to the end of a piece may be the
// start of a longer number, and reading it would move the position back.
TEST(ReadProgressFields, ATimeCutInsideItsDigitsIsNotRead)
{
    EXPECT_FALSE(ReadProgressFields("size=     512kB time=615.").bHasTime);    // of 615.60
    EXPECT_FALSE(ReadProgressFields("size=  900000kB time=1000").bHasTime);    // of 10000.00
    EXPECT_DOUBLE_EQ(ReadProgressFields("time=10000").dTime, 10000.0);         // five: complete
    EXPECT_DOUBLE_EQ(ReadProgressFields("time=5.5 bitrate").dTime, 5.5);       // ended by a blank

    ConvertTask task;
    task.dEndTime = 20000.0;
    ApplyProgressFields(task, ReadProgressFields("size=  800000kB time=9999.99 bitrate="), 2, 1);
    ApplyProgressFields(task, ReadProgressFields("size=  900000kB time=1000"), 3, 1);
    EXPECT_DOUBLE_EQ(task.dEncodedTime, 9999.0);
    EXPECT_EQ(task.nOutputSizeKB, 900000);
}

TEST(ApplyProgressFields, ANegativeTimeIsTheStart)
{
    ConvertTask task;
    task.dEndTime = 100.0;
    task.bNeedIntermediate = 1;
    task.nPhase = 2;
    ApplyProgressFields(task, ReadProgressFields("size=     100kB time=-50.0 "), 1001, 1);
    EXPECT_DOUBLE_EQ(task.dEncodedTime, 0.0);
    EXPECT_DOUBLE_EQ(task.dSpeed, 0.0);
}

TEST(ReadProgressFields, NeverReadsNonNumbersAsInfinityOrNaN)
{
    EXPECT_DOUBLE_EQ(ReadProgressFields("time=nan00").dTime, 0.0);
    EXPECT_DOUBLE_EQ(ReadProgressFields("time=inf00").dTime, 0.0);
    EXPECT_DOUBLE_EQ(ReadProgressFields("time=1e300").dTime, 1.0);
    EXPECT_NEAR(ReadProgressFields("time=-0.52").dTime, -0.52, 1e-12);
    EXPECT_FALSE(ReadProgressFields(nullptr).bHasTime);
}

TEST(ApplyProgressFields, StoresSizePositionAndSpeedFromTheStartTick)
{
    ConvertTask task = TrimmedTask(0, 100);
    EXPECT_FALSE(ApplyProgressFields(task, ReadProgressFields(kTypicalLine), 6000, 1000));
    EXPECT_EQ(task.nOutputSizeKB, 512);
    EXPECT_DOUBLE_EQ(task.dEncodedTime, 10.0);
    EXPECT_DOUBLE_EQ(task.dSpeed, 2.0); // 10 s of media in 5 s

    // The tick counter wraps after 49.7 days; the difference still counts 5 s.
    ConvertTask wrapped = TrimmedTask(0, 100);
    ApplyProgressFields(wrapped, ReadProgressFields(kTypicalLine), 0x00000388u, 0xFFFFF000u);
    EXPECT_DOUBLE_EQ(wrapped.dSpeed, 2.0);

    // A piece without fields changes nothing; a size alone leaves position and speed.
    ConvertTask before = task;
    ApplyProgressFields(task, ReadProgressFields("frame=  300 q=5.0"), 9000, 1000);
    ApplyProgressFields(task, ReadProgressFields("size=    1024kB"), 9000, 1000);
    EXPECT_EQ(task.nOutputSizeKB, 1024);
    EXPECT_DOUBLE_EQ(task.dEncodedTime, before.dEncodedTime);
    EXPECT_DOUBLE_EQ(task.dSpeed, before.dSpeed);

    // A reading in the encoder's first millisecond gives a finite speed.
    ConvertTask instant = TrimmedTask(0, 100);
    ApplyProgressFields(instant, ReadProgressFields(kTypicalLine), 500, 500);
    EXPECT_DOUBLE_EQ(instant.dSpeed, 10000.0);
}

TEST(ApplyProgressFields, StopsAnIntermediateTasksEncoderAtTheTrimmedLength)
{
    ConvertTask task = TrimmedTask(30, 40); // 10 s trimmed
    task.bNeedIntermediate = 1;
    EXPECT_FALSE(ApplyProgressFields(task, ReadProgressFields("size=     100kB time=9.9 "), 2, 1));
    EXPECT_TRUE(ApplyProgressFields(task, ReadProgressFields("size=     120kB time=10.0 "), 2, 1));
    EXPECT_DOUBLE_EQ(task.dEncodedTime, 10.0); // the position is stored all the same
    EXPECT_TRUE(ApplyProgressFields(task, ReadProgressFields("size=     130kB time=12.0 "), 2, 1));

    // The size read from the same piece counts; a task that has written nothing goes on.
    ConvertTask fresh = TrimmedTask(30, 40);
    fresh.bNeedIntermediate = 1;
    EXPECT_FALSE(ApplyProgressFields(fresh, ReadProgressFields("size=       0kB time=10.0 "), 2, 1));
    EXPECT_TRUE(ApplyProgressFields(fresh, ReadProgressFields("size=       1kB time=10.0 "), 2, 1));

    // A direct conversion is never cut short: the encoder trims it itself.
    ConvertTask direct = TrimmedTask(30, 40);
    EXPECT_FALSE(ApplyProgressFields(direct, ReadProgressFields("size=     120kB time=50.0 "), 2, 1));
}

TEST(FormatHMS, WritesHoursMinutesSecondsIntoOneSharedBuffer)
{
    EXPECT_STREQ(FormatHMS(0), "00:00:00");
    EXPECT_STREQ(FormatHMS(3661), "01:01:01");
    EXPECT_STREQ(FormatHMS(360000), "100:00:00");
    // Negative seconds print with minus signs, field by field.
    EXPECT_STREQ(FormatHMS(-30), "00:00:-30");
    EXPECT_STREQ(FormatHMS(-3661), "-1:-1:-1"); // the sign takes one of the two places

    const char* first = FormatHMS(90);
    const std::string kept = first;
    EXPECT_EQ(FormatHMS(7200), first) << "one buffer, reused";
    EXPECT_STREQ(first, "02:00:00");
    EXPECT_EQ(kept, "00:01:30");
}

TEST(TruncateToInt, CutsTowardZeroAndClampsWhatDoesNotFit)
{
    EXPECT_EQ(TruncateToInt(99.99), 99);
    EXPECT_EQ(TruncateToInt(-1.9), -1);
    EXPECT_EQ(TruncateToInt(1e12), 2147483647);
    EXPECT_EQ(TruncateToInt(-1e12), -2147483647 - 1);
    EXPECT_EQ(TruncateToInt(__builtin_nan("")), 0);
}
