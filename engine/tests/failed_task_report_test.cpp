// The log entry of a failed task: the encoder's last lines as the read loop hands them over,
// in pieces of any size, and the entry's text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/FailedTaskReport.h"

using Lines = std::vector<std::string>;

TEST(EncoderOutputTail, KeepsTheLastLinesWhateverThePieces)
{
    EncoderOutputTail tail;
    // Progress lines end in a carriage return, messages in CR LF or LF; a line may be cut
    // between two reads.
    tail.Add("frame=   25 size=     256kB time=1.0\rframe=   50 size=     512kB time=2.0\r");
    tail.Add("[mp4 @ 0x1] Could not write hea");
    tail.Add("der for output file\r\n\r\nConversion failed!\n");
    EXPECT_EQ(tail.Lines(), (Lines{"frame=   25 size=     256kB time=1.0", "frame=   50 size=     512kB time=2.0",
                                   "[mp4 @ 0x1] Could not write header for output file", "Conversion failed!"}));

    for (int i = 0; i < 20; ++i)
        tail.Add(("line " + std::to_string(i) + "\n").c_str());
    tail.Add("unfinished");
    const Lines lines = tail.Lines();
    ASSERT_EQ(lines.size(), EncoderOutputTail::kMaxLines);
    EXPECT_EQ(lines.front(), "line 13");
    EXPECT_EQ(lines.back(), "unfinished") << "a last line without its end is kept";

    tail.Clear();
    EXPECT_TRUE(tail.Lines().empty());
}

TEST(EncoderOutputTail, KeepsTheLogReadable)
{
    EncoderOutputTail tail;
    tail.Add((std::string(1000, 'x') + "\n").c_str());
    tail.Add("\tcontrol\x07 characters   \n");
    const Lines lines = tail.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), EncoderOutputTail::kMaxLineLength) << "an endless line is cut";
    EXPECT_EQ(lines[1], " control  characters");
}

TEST(FailedTaskEntry, NamesTheTimeTheFilesAndWhatTheEncoderSaid)
{
    const std::string entry = FormatFailedTaskEntry("2026-12-08 05:31:07", "C:\\videos\\a b.avi", "D:\\out\\a b.mp4",
                                                     {"venc: cannot read the source", "Conversion failed!"});
    EXPECT_EQ(entry, "FAILED TASK:\n"
                     "       time            =   2026-12-08 05:31:07\n"
                     "       source          =   C:\\videos\\a b.avi\n"
                     "       output          =   D:\\out\\a b.mp4\n"
                     "       encoder output  =   (last lines)\n"
                     "           venc: cannot read the source\n"
                     "           Conversion failed!\n");
    const std::string silent = FormatFailedTaskEntry("t", "s", "o", {});
    EXPECT_NE(silent.find("encoder output  =   (none)\n"), std::string::npos) << silent;
}
