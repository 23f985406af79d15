// The intermediate step's choices and figures: codec preference, settings, the file name,
// progress and RandomInRange.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "videocontrol/IntermediateLogic.h"

namespace {
const char kMsMpeg4[] = "Microsoft MPEG-4 Video Codec V3";
}

TEST(IntermediateCodecs, PreferenceDoesNotDependOnListOrder)
{
    EXPECT_EQ(ChooseIntermediateCodec({"DivX Pro 5.0", "Cinepak", kMsMpeg4}, kMsMpeg4, "DivX"), 2);
    EXPECT_EQ(ChooseIntermediateCodec({kMsMpeg4, "Cinepak", "DivX Pro 5.0"}, kMsMpeg4, "DivX"), 0);
    EXPECT_EQ(ChooseIntermediateCodec({"Cinepak", "DivX Pro 5.0"}, kMsMpeg4, "DivX"), 1) << "DivX without MS MPEG-4";
    EXPECT_EQ(ChooseIntermediateCodec({"divx lower case", "Cinepak"}, kMsMpeg4, "DivX"), -1) << "case-sensitive";
    EXPECT_EQ(ChooseIntermediateCodec({}, kMsMpeg4, "DivX"), -1);
    // The last match wins among equals.
    EXPECT_EQ(ChooseIntermediateCodec({"PCM", "GSM 6.10", "PCM"}, "MPEG Layer-3", "PCM"), 2);
}

TEST(IntermediateSettingsTable, AviOnlyWithBothCodecs)
{
    const IntermediateSettings avi = MakeIntermediateSettings(1, 0);
    EXPECT_TRUE(avi.bAvi);
    EXPECT_EQ(avi.nFormat, 8);
    EXPECT_EQ(avi.fFrameRate, 25.0f);
    EXPECT_STREQ(avi.szNameFormat, "%s_%d.avi");
    EXPECT_EQ(avi.nWidth, 320);
    EXPECT_EQ(avi.nHeight, 240);
    EXPECT_EQ(avi.nColorDepth, 24);

    for (const auto& missing : {std::make_pair(-1, 0), std::make_pair(0, -1), std::make_pair(-1, -1)}) {
        const IntermediateSettings mpeg = MakeIntermediateSettings(missing.first, missing.second);
        EXPECT_FALSE(mpeg.bAvi);
        EXPECT_EQ(mpeg.nFormat, 6);
        EXPECT_EQ(mpeg.fFrameRate, 23.976f);
        EXPECT_STREQ(mpeg.szNameFormat, "%s_%d.mpg");
    }
}

TEST(IntermediatePath, DirectoryNameAndNumberAndTheLimit)
{
    char szPath[260];
    ASSERT_TRUE(FormatIntermediatePath("C:\\Tools\\", "clip", "%s_%d.avi", 23817, szPath, sizeof(szPath)));
    EXPECT_STREQ(szPath, "C:\\Tools\\clip_23817.avi");
    ASSERT_TRUE(FormatIntermediatePath("C:\\Tools\\", "my.holiday", "%s_%d.mpg", 10000, szPath, sizeof(szPath)));
    EXPECT_STREQ(szPath, "C:\\Tools\\my.holiday_10000.mpg");

    // A "%" in a name is text, not a format.
    ASSERT_TRUE(FormatIntermediatePath("C:\\", "100%s", "%s_%d.avi", 12345, szPath, sizeof(szPath)));
    EXPECT_STREQ(szPath, "C:\\100%s_12345.avi");

    const std::string dir = "C:\\" + std::string(200, 'd') + "\\";
    const std::string fits(259 - dir.size() - 10, 'n'); // + "_12345.avi" = 259 characters
    ASSERT_TRUE(FormatIntermediatePath(dir.c_str(), fits.c_str(), "%s_%d.avi", 12345, szPath, sizeof(szPath)));
    EXPECT_EQ(std::string(szPath).size(), 259u);

    const std::string tooLong(fits.size() + 1, 'n');
    EXPECT_FALSE(FormatIntermediatePath(dir.c_str(), tooLong.c_str(), "%s_%d.avi", 12345, szPath, sizeof(szPath)));
    EXPECT_STREQ(szPath, "");
    const std::string huge(400, 'n'); // longer than the buffer the name is joined in
    EXPECT_FALSE(FormatIntermediatePath(dir.c_str(), huge.c_str(), "%s_%d.avi", 12345, szPath, sizeof(szPath)));
    EXPECT_STREQ(szPath, "");
}

TEST(IntermediatePath, ATitleCannotLeadTheFileOutOfItsFolder)
{
    // Titles that name another folder, a drive, an alternate data stream or no
    // file at all: the file is always one plain name in the folder, and it is a name that the
    // clean-up at the next start recognises as the program's own.
    const char* const titles[] = {"a/b?c*d<e>f|g", "clip:stream", "..\\..\\outside", "../up", "C:\\Windows\\x",
                                  "\"quoted\"", ""};
    const std::string folder = "C:\\Users\\me\\AppData\\Local\\Varnello\\";
    for (const char* title : titles) {
        SCOPED_TRACE(title);
        for (const char* format : {"%s_%d.avi", "%s_%d.mpg"}) {
            char szPath[260];
            ASSERT_TRUE(FormatIntermediatePath(folder.c_str(), title, format, 23817, szPath, sizeof(szPath)));
            const std::string path = szPath;
            ASSERT_EQ(path.compare(0, folder.size(), folder), 0) << path;
            const std::string name = path.substr(folder.size());
            EXPECT_EQ(name.find_first_of("\\/:*?\"<>|"), std::string::npos) << path;
            EXPECT_TRUE(IsIntermediateFileName(name)) << name;
        }
    }
    char szPath[260];
    ASSERT_TRUE(FormatIntermediatePath(folder.c_str(), "..\\x:y", "%s_%d.avi", 23817, szPath, sizeof(szPath)));
    EXPECT_EQ(std::string(szPath), folder + ".._x_y_23817.avi");
}

TEST(IntermediatePath, OnlyTheProgramsOwnNamesAreLeftovers)
{
    for (const char* own : {"clip_10000.avi", "clip_50000.mpg", "a_b_12345.avi", "_23817.mpg", "x_1_23817.avi"})
        EXPECT_TRUE(IsIntermediateFileName(own)) << own;
    for (const char* other : {"log.txt", "clip_9999.avi", "clip_50001.avi", "clip_12345.mp4", "clip12345.avi",
                              "clip_1234a.avi", "clip_123456.avi", "clip_12345.avi.txt", "clip_12345.AVI", "_1234.avi"})
        EXPECT_FALSE(IsIntermediateFileName(other)) << other;
}

TEST(IntermediateFile, ACutOffFileDoesNotCoverItsRange)
{
    EXPECT_TRUE(IntermediateCoversRange(600.0, 600.0));
    EXPECT_TRUE(IntermediateCoversRange(599.2, 600.0)) << "the ends of the streams";
    EXPECT_TRUE(IntermediateCoversRange(5.1, 6.0)) << "a short range is allowed a second";
    EXPECT_FALSE(IntermediateCoversRange(21.0, 600.0)) << "a writer killed part-way";
    EXPECT_FALSE(IntermediateCoversRange(0.0, 6.0)) << "unreadable";
}

TEST(IntermediateProgressFigures, PercentAndRemainingTime)
{
    // Before 20 source seconds: remaining is simply total - position.
    IntermediateProgress early = ComputeIntermediateProgress(10, 100, 1000);
    EXPECT_NEAR(early.dPercent, 10, 1e-9);
    EXPECT_NEAR(early.dRemain, 90, 1e-9);

    // After: at the speed so far (40 s in 10 s = 4x).
    IntermediateProgress later = ComputeIntermediateProgress(40, 100, 10000);
    EXPECT_NEAR(later.dPercent, 40, 1e-9);
    EXPECT_NEAR(later.dRemain, 15, 1e-9);

    IntermediateProgress done = ComputeIntermediateProgress(100, 100, 20000);
    EXPECT_NEAR(done.dPercent, 100, 1e-9);
    EXPECT_NEAR(done.dRemain, 0, 1e-9);
}

TEST(IntermediateProgressFigures, NoDivisionByZeroOrNonsense)
{
    // The first event in the step's first millisecond.
    IntermediateProgress instant = ComputeIntermediateProgress(30, 100, 0);
    EXPECT_TRUE(std::isfinite(instant.dRemain));
    EXPECT_NEAR(instant.dRemain, 70, 1e-9);
    EXPECT_NEAR(instant.dPercent, 30, 1e-9);

    // A total of 0.
    IntermediateProgress empty = ComputeIntermediateProgress(0, 0, 500);
    EXPECT_EQ(empty.dPercent, 0);
    EXPECT_EQ(empty.dRemain, 0);
    IntermediateProgress overshoot = ComputeIntermediateProgress(5, 0, 500);
    EXPECT_EQ(overshoot.dPercent, 0);
    EXPECT_EQ(overshoot.dRemain, 0);

    IntermediateProgress nonsense = ComputeIntermediateProgress(std::nan(""), 50, 500);
    EXPECT_EQ(nonsense.dPercent, 0);
    EXPECT_NEAR(nonsense.dRemain, 50, 1e-9);
}

TEST(RandomNumbers, StayInTheirRange)
{
    for (int i = 0; i < 2000; ++i) {
        const int n = RandomInRange(10000, 50000);
        ASSERT_GE(n, 10000);
        ASSERT_LE(n, 50000);
    }
    EXPECT_EQ(RandomInRange(5, 3), 5);
    EXPECT_EQ(RandomInRange(7, 7), 7);
    // A range wider than an int's product with RAND_MAX does not overflow.
    const int wide = RandomInRange(-2000000000, 2000000000);
    EXPECT_GE(wide, -2000000000);
    EXPECT_LE(wide, 2000000000);
}
