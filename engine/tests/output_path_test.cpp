// Output names: numbering around existing files, the trailing backslash, unsafe titles and
// paths too long for the program's buffers.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/OutputPath.h"
#include "framework/TextBytes.h"

using outputpath::ChooseOutputPath;

namespace {

struct FakeFolder {
    std::set<std::string> files;
    bool operator()(const std::string& path) const { return files.count(path) != 0; }
};

} // namespace

TEST(OutputPath, NumbersAroundExistingFilesAndWithinOneRun)
{
    FakeFolder folder{{"C:\\out\\clip.mp4"}};
    // Three tasks named "clip", each checked when its turn comes, each file then written.
    for (const char* expected : {"C:\\out\\clip_2.mp4", "C:\\out\\clip_3.mp4", "C:\\out\\clip_4.mp4"}) {
        const std::string path = ChooseOutputPath("C:\\out", "clip", folder);
        EXPECT_EQ(path, expected);
        folder.files.insert(path);
    }
    EXPECT_EQ(ChooseOutputPath("C:\\out", "other", folder), "C:\\out\\other.mp4");
}

TEST(OutputPath, ReservingPassesOverANameTakenMeanwhileAndNeverReplacesIt)
{
    using outputpath::Claim;
    FakeFolder folder{{"C:\\out\\clip.mp4"}};
    // Another program makes clip_2.mp4 after the look and before the claim: the run goes on to
    // clip_3, and clip_2 is never claimed again.
    std::vector<std::string> claimed;
    const auto claim = [&](const std::string& path) {
        claimed.push_back(path);
        if (path == "C:\\out\\clip_2.mp4")
            return Claim::Taken;
        folder.files.insert(path);
        return Claim::Created;
    };
    EXPECT_EQ(outputpath::ReserveOutputPath("C:\\out", "clip", folder, claim), "C:\\out\\clip_3.mp4");
    EXPECT_EQ(claimed, (std::vector<std::string>{"C:\\out\\clip_2.mp4", "C:\\out\\clip_3.mp4"}));
    // The reserved name is there at once: the next task of that title gets the one after.
    EXPECT_EQ(outputpath::ReserveOutputPath("C:\\out", "clip", folder, claim), "C:\\out\\clip_4.mp4");
    // A folder that refuses the file gives no name at all.
    EXPECT_EQ(outputpath::ReserveOutputPath("C:\\out", "x", folder, [](const std::string&) { return Claim::Failed; }),
              "");
}

TEST(OutputPath, TrailingBackslashOrNotGivesTheSamePath)
{
    FakeFolder none;
    EXPECT_EQ(ChooseOutputPath("D:\\videos", "a", none), ChooseOutputPath("D:\\videos\\", "a", none));
    EXPECT_EQ(ChooseOutputPath("D:\\", "a", none), "D:\\a.mp4");
}

TEST(OutputPath, ForbiddenCharactersBecomeUnderscores)
{
    FakeFolder none;
    EXPECT_EQ(ChooseOutputPath("C:\\out", "a/b: \"c\" -y", none), "C:\\out\\a_b_ _c_ -y.mp4");
    EXPECT_EQ(outputpath::SafeFileName("x\\..\\y*?<>|\t"), "x_.._y______");
    EXPECT_EQ(outputpath::SafeFileName("holiday 2008 (part 1)"), "holiday 2008 (part 1)");
    // An empty title still names a file in the output folder.
    EXPECT_EQ(ChooseOutputPath("C:\\out", "", none), "C:\\out\\.mp4");
}

TEST(OutputPath, RefusesPathsLongerThanTheBuffer)
{
    FakeFolder folder;
    const std::string dir = "C:\\" + std::string(240, 'd');
    // 3 + 240 + 1 + 11 + 4 = 259 characters: fits exactly.
    const std::string fits = ChooseOutputPath(dir, std::string(11, 'n'), folder);
    EXPECT_EQ(fits.size(), outputpath::kMaxPath);
    EXPECT_TRUE(ChooseOutputPath(dir, std::string(12, 'n'), folder).empty());
    // The suffix that a taken name needs can push it over the limit too.
    folder.files.insert(fits);
    EXPECT_TRUE(ChooseOutputPath(dir, std::string(11, 'n'), folder).empty());
}

TEST(OutputPath, NamesInAnyLanguageKeepEveryCharacter)
{
    FakeFolder none;
    // Japanese, Greek, Cyrillic, accented Latin and an emoji in UTF-8: nothing is replaced
    // but the forbidden ASCII characters between them.
    for (const char* name : {"\xE6\x97\xA5\xE6\x9C\xAC\xE3\x81\xAE\xE6\x97\x85", "\xCE\x9F\xCE\xB4\xCF\x8C\xCF\x82",
                             "\xD0\x9C\xD0\xB8\xD1\x80", "Caf\xC3\xA9", "\xF0\x9F\x8E\xAC clip"})
        EXPECT_EQ(outputpath::SafeFileName(name), name);
    EXPECT_EQ(outputpath::SafeFileName("\xE6\x97\xA5/\xE6\x9C\xAC?"), "\xE6\x97\xA5_\xE6\x9C\xAC_");
    EXPECT_EQ(ChooseOutputPath("C:\\out", "Caf\xC3\xA9: \xF0\x9F\x8E\xAC", none), "C:\\out\\Caf\xC3\xA9_ \xF0\x9F\x8E\xAC.mp4");
}

TEST(OutputPath, TwoByteCodePageNamesKeepTheirTrailBytes)
{
    // Japanese Windows before UTF-8: Shift-JIS, whose trail bytes include 0x5C ("\\") and 0x7C
    // ("|"). Replacing them would cut the character in half and change the name.
    textbytes::UseDoubleByteCodePage(
        [](unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); });
    const std::string table = "\x95\x5C";   // 表
    const std::string pipeTrail = "\x83\x7C"; // ポ
    EXPECT_EQ(outputpath::SafeFileName(table + pipeTrail), table + pipeTrail);
    EXPECT_EQ(outputpath::SafeFileName(table + "\\" + pipeTrail + "|"), table + "_" + pipeTrail + "_");
    // A lead byte with nothing after it is one character, and not a forbidden one.
    EXPECT_EQ(outputpath::SafeFileName("a\x95"), "a\x95");
    textbytes::UseDoubleByteCodePage(nullptr);
}
