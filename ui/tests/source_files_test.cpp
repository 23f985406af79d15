// The Open dialog's multi-file answer, the video filter's extension test and the order in
// which a dropped folder's videos are added.
#include <gtest/gtest.h>

#include <map>

#include "ui/SourceFiles.h"

using namespace sourcefiles;

namespace {
std::vector<std::string> Parse(const std::string& buffer) { return ParseOpenFileNames(buffer.data(), buffer.size()); }
} // namespace

TEST(OpenFileNames, SeveralFilesKeepTheDialogsOrder)
{
    const std::string answer("Z:\\clips\0b.avi\0a.mpg\0c d.rmvb\0\0", 30);
    EXPECT_EQ(Parse(answer), (std::vector<std::string>{"Z:\\clips\\b.avi", "Z:\\clips\\a.mpg", "Z:\\clips\\c d.rmvb"}));
    // A drive's root already ends in "\": no second one.
    const std::string root("C:\\\0x.avi\0y.avi\0\0", 17);
    EXPECT_EQ(Parse(root), (std::vector<std::string>{"C:\\x.avi", "C:\\y.avi"}));
}

TEST(OpenFileNames, OneFileIsItsFullPathAndNothingIsNothing)
{
    const std::string one("Z:\\clips\\film.avi\0\0", 19);
    EXPECT_EQ(Parse(one), (std::vector<std::string>{"Z:\\clips\\film.avi"}));
    EXPECT_TRUE(Parse(std::string("\0\0", 2)).empty());
    EXPECT_TRUE(ParseOpenFileNames(nullptr, 10).empty());
    // No ending zero inside the buffer: nothing is read past its end.
    const std::string cut = "Z:\\clips\\fi";
    EXPECT_EQ(Parse(cut), (std::vector<std::string>{"Z:\\clips\\fi"}));
}

TEST(VideoFilter, EveryListedExtensionAndNothingElse)
{
    for (const char* name : {"a.rm", "a.rmvb", "a.avi", "a.mpg", "a.mpeg", "a.vob", "a.wmv", "a.wma", "a.asf",
                             "a.mov", "a.qt", "a.3gp", "FILM.AVI", "Clip.Mov", "x.y.qt", "phone.MP4", "a.mkv",
                             "a.webm", "a.flv", "a.ogv", "a.ts", "cam.MTS", "a.m2ts", "a.m4v", "a.3g2", "a.dv"})
        EXPECT_TRUE(MatchesFilter(name)) << name;
    // "*rmvb" has no dot; "a.mov; *.qt" lists .qt after a space.
    EXPECT_TRUE(MatchesFilter("oddrmvb"));
    for (const char* name : {"a.txt", "avi", "a.avi.txt", "a.jpg", "a.rmx", "", "a.", "a.mp4.part"})
        EXPECT_FALSE(MatchesFilter(name)) << name;
    EXPECT_TRUE(MatchesFilter("x.abc", "Some|*.abc|"));
    // The dialog opens on the entry for every supported kind, which the catch-all follows.
    const std::string filter = kVideoFilter;
    size_t at = 0;
    for (unsigned bar = 0; bar < 2 * (kAllVideosFilterIndex - 1); ++bar)
        at = filter.find('|', at) + 1;
    EXPECT_EQ(filter.compare(at, 26, "All Supported Video Files|"), 0) << filter.substr(at);
    EXPECT_NE(filter.find("|All files (*.*)|*.*|"), std::string::npos);
    EXPECT_FALSE(MatchesFilter("x.abc", "Everything|*.*|Mask|*.a?c|"));
}

TEST(FolderWalk, SubFoldersAreWalkedAndFilesSortedByPath)
{
    const std::map<std::string, std::vector<FolderEntry>> tree = {
        {"D:\\v", {{"b.AVI", false}, {"notes.txt", false}, {"sub", true}, {"A.mpg", false}, {"a b.avi", false}}},
        {"D:\\v\\sub", {{"z.rm", false}, {"deep", true}, {"c.mp4", false}, {"cover.jpg", false}}},
        {"D:\\v\\sub\\deep", {{"y.vob", false}}},
        {"D:\\v\\a", {}},
    };
    const FolderLister list = [&](const std::string& folder) {
        const auto it = tree.find(folder);
        return it == tree.end() ? std::vector<FolderEntry>{} : it->second;
    };
    EXPECT_EQ(CollectVideoFiles("D:\\v", list),
              (std::vector<std::string>{"D:\\v\\a b.avi", "D:\\v\\A.mpg", "D:\\v\\b.AVI", "D:\\v\\sub\\c.mp4",
                                        "D:\\v\\sub\\deep\\y.vob", "D:\\v\\sub\\z.rm"}));
    EXPECT_TRUE(CollectVideoFiles("D:\\empty", list).empty());
}

TEST(FolderWalk, ADropKeepsItsOrderWithFilesAsTheyAreAndFoldersOpened)
{
    // A dropped file is added whatever its kind (its length decides); a folder gives its videos.
    const FolderLister list = [](const std::string& folder) {
        return folder == "C:\\clips" ? std::vector<FolderEntry>{{"b.avi", false}, {"a.txt", false}, {"a.mov", false}}
                                     : std::vector<FolderEntry>{};
    };
    const auto isFolder = [](const std::string& path) { return path == "C:\\clips" || path == "C:\\none"; };
    EXPECT_EQ(DroppedSources({"C:\\z.txt", "C:\\clips", "C:\\none", "C:\\a.avi"}, isFolder, list),
              (std::vector<std::string>{"C:\\z.txt", "C:\\clips\\a.mov", "C:\\clips\\b.avi", "C:\\a.avi"}));
}

TEST(FolderWalk, AFolderInsideItselfEndsAtTheDepthLimit)
{
    int calls = 0;
    const FolderLister loop = [&](const std::string&) {
        ++calls;
        return std::vector<FolderEntry>{{"self", true}, {"v.avi", false}};
    };
    EXPECT_EQ(CollectVideoFiles("L:\\x", loop, 3).size(), 4u);
    EXPECT_EQ(calls, 4);
}

TEST(FolderWalk, BackslashSortsBeforeEveryOtherCharacter)
{
    EXPECT_TRUE(PathLess("a\\z.avi", "a b.avi"));
    EXPECT_TRUE(PathLess("a\\z.avi", "a-b.avi"));
    EXPECT_TRUE(PathLess("A.avi", "b.avi"));
    EXPECT_TRUE(PathLess("b.avi", "\xc3\xa9.avi"));
    EXPECT_FALSE(PathLess("a.avi", "A.AVI"));
    EXPECT_FALSE(PathLess("A.AVI", "a.avi"));
}

TEST(UnreadableMessage, NamesEachFileOnceAndCountsTheRest)
{
    EXPECT_EQ(UnreadableFilesMessage({"x.avi"}),
              "The length of this file could not be read, so it was not added:\n\nx.avi");
    const std::string many = UnreadableFilesMessage({"1.avi", "2.avi", "3.avi", "4.avi"}, 2);
    EXPECT_NE(many.find("these files"), std::string::npos);
    EXPECT_NE(many.find("\n1.avi\n2.avi\n... and 2 more"), std::string::npos);
    EXPECT_EQ(many.find("3.avi"), std::string::npos);
}
