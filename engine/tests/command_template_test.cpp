// Expanding command templates: times, the intermediate case, the settings of profile 0 and
// the replacement order.
#include <gtest/gtest.h>

#include "engine/CommandTemplate.h"

namespace {

const LocalDateTime kNow{2026, 3, 4, 5, 6, 7};

ConvertTask Task(double dStart, double dEnd)
{
    ConvertTask t = MakeNewTask("C:\\Videos\\clip.avi", dEnd);
    t.dStartTime = dStart;
    t.dEndTime = dEnd;
    return t;
}

CString Expand(const char* pszTemplate, const ConvertTask& task)
{
    return ExpandCommandTemplate(pszTemplate, task, "D:\\out\\clip.mp4", kNow);
}

} // namespace

TEST(CommandTimes, LengthTruncatesTheDifferenceNotTheEnds)
{
    const ConvertTask t = Task(65.9, 190.2);
    EXPECT_EQ(FormatStartOption(t), " -ss 00:01:05");
    EXPECT_EQ(FormatLengthOption(t), " -t 00:02:04") << "124.3 s; 190 - 65 would give 00:02:05";
    EXPECT_EQ(Expand("[$START][$LENGTH]", t), "[ -ss 00:01:05][ -t 00:02:04]");

    const ConvertTask hour = Task(0.0, 3725.0);
    EXPECT_EQ(FormatStartOption(hour), " -ss 00:00:00");
    EXPECT_EQ(FormatLengthOption(hour), " -t 01:02:05");

    EXPECT_EQ(FormatLengthOption(Task(0.0, 100 * 3600.0 + 59.99)), " -t 100:00:59") << "hours beyond 99";
    EXPECT_EQ(FormatStartOption(Task(0.999, 2.0)), " -ss 00:00:00");
    EXPECT_EQ(FormatLengthOption(Task(0.0, 1e300)), " -t 596523:14:07") << "held at the largest int";
}

TEST(CommandTimes, TimestampHasFourDigitYearAndTwoDigitFields)
{
    EXPECT_EQ(FormatTimestamp(kNow), "2026-03-04 05:06:07");
    EXPECT_EQ(FormatTimestamp(LocalDateTime{1999, 12, 31, 23, 59, 59}), "1999-12-31 23:59:59");
    EXPECT_EQ(Expand("-timestamp \"$TIMESTAMP\"", Task(0, 1)), "-timestamp \"2026-03-04 05:06:07\"");
}

TEST(CommandTemplate, IntermediateSourceStartsAtZeroButKeepsTheTrimLength)
{
    ConvertTask t = Task(30.5, 90.0);
    t.bNeedIntermediate = 1;
    t.strIntermediatePath = "C:\\Varnello\\clip_123.avi";
    EXPECT_EQ(Expand("-i \"$INPUT_FILE\" $START$LENGTH", t), "-i \"C:\\Varnello\\clip_123.avi\" -ss 00:00:00  -t 00:00:59");
    t.bNeedIntermediate = 0;
    EXPECT_EQ(Expand("-i \"$INPUT_FILE\" $START$LENGTH", t), "-i \"C:\\Videos\\clip.avi\"  -ss 00:00:30 -t 00:00:59");
}

TEST(CommandTemplate, SettingsApplyToProfileZeroOnly)
{
    const char* const pszTemplate =
        "$VCODEC|$SIZE|$FRAMERATE|$VIDEOBITRATE|$ASPECT|$CHANNEL|$AUDIOBITRATE|$AUDIOSAMPLE|$VOLUME";
    ConvertTask t = Task(0, 10);
    t.nVideoCodec = 0;
    t.nVideoSize = 8;
    t.nFrameRate = 2;
    t.nVideoBitrate = 0;
    t.nVideoAspect = 1;
    t.nChannels = 0;
    t.nAudioBitrate = 5;
    t.nSampleRate = 1;
    t.nVolume = 7;
    EXPECT_EQ(Expand(pszTemplate, t), "-vcodec xvid|480x160|-r 23.976|128|16:9|1|64|-ar 24000|1024");

    t.nFrameRate = 0;
    t.nSampleRate = 0;
    EXPECT_EQ(Expand("a $FRAMERATE b $AUDIOSAMPLE c", t), "a  b  c") << "the blanks around an empty value stay";

    t.nProfile = 1;
    EXPECT_EQ(Expand(pszTemplate, t), pszTemplate);
    EXPECT_EQ(Expand("-title \"$TITLE\" \"$OUTPUT_FILE\"", t), "-title \"clip\" \"D:\\out\\clip.mp4\"")
        << "the task's own variables still apply";
}

TEST(CommandTemplate, QuotesInTheTitleCannotEndTheTemplatesQuotes)
{
    ConvertTask t = Task(0, 10);
    t.strTitle = "a/b: \"c\" -y";
    EXPECT_EQ(Expand("-title \"$TITLE\" -y \"$OUTPUT_FILE\"", t),
              "-title \"a/b: 'c' -y\" -y \"D:\\out\\clip.mp4\"");
    EXPECT_EQ(t.strTitle, "a/b: \"c\" -y") << "the task keeps what was typed";

    // A title ending in a backslash: doubled, the runtime reads it back as typed and the closing
    // quote still closes, so the output file stays an argument of its own.
    t.strTitle = "AC\\DC\\";
    EXPECT_EQ(Expand("-title \"$TITLE\" \"$OUTPUT_FILE\"", t), "-title \"AC\\DC\\\\\" \"D:\\out\\clip.mp4\"");
}

TEST(CommandTemplate, ReplacementOrderDecidesWhatATitleMayCarry)
{
    ConvertTask t = Task(0, 10);
    t.strTitle = "see $OUTPUT_FILE and $INPUT_FILE and $VOLUME";
    EXPECT_EQ(Expand("$TITLE", t), "see D:\\out\\clip.mp4 and $INPUT_FILE and 256");
    t.strTitle = "Two";
    EXPECT_EQ(Expand("$TITLE-$TITLE", t), "Two-Two");
    t.strTitle = "$TITLE";
    EXPECT_EQ(Expand("[$TITLE]", t), "[$TITLE]") << "a replacement is not searched again";
    EXPECT_EQ(Expand("", t), "");
}

TEST(CommandTemplate, TheShippedSettingsTemplateExpandsToACompleteVencLine)
{
    const char* const pszTemplate =
        "venc.exe -y -i \"$INPUT_FILE\" $START$LENGTH $VCODEC -s $SIZE $FRAMERATE -b $VIDEOBITRATE -aspect $ASPECT "
        "-ac $CHANNEL -ab $AUDIOBITRATE $AUDIOSAMPLE -vol $VOLUME -title \"$TITLE\" -timestamp \"$TIMESTAMP\" "
        "\"$OUTPUT_FILE\"";
    const ConvertTask t = Task(65.9, 190.2);
    EXPECT_EQ(Expand(pszTemplate, t),
              "venc.exe -y -i \"C:\\Videos\\clip.avi\"  -ss 00:01:05 -t 00:02:04 -vcodec h264 -coder 0 -vlevel 13 "
              "-bufsize 256 -g 250 -s 320x240  -b 640 -aspect 4:3 -ac 2 -ab 64  -vol 256 -title \"clip\" "
              "-timestamp \"2026-03-04 05:06:07\" \"D:\\out\\clip.mp4\"");
}
