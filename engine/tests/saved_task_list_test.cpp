// The saved task list: what is written comes back, and a file that is cut, damaged, from a
// newer version or not a task list at all gives nothing rather than part of a list.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "engine/SavedTaskList.h"

namespace {

std::vector<ConvertTask> TwoTasks()
{
    ConvertTask first = MakeNewTask("Z:\\media\\my.holiday.rmvb", 93.5);
    first.dStartTime = 12.25;
    first.dEndTime = 60.125;
    first.strTitle = "Tab\there, 100% new\r\nline";
    first.strOutputName = first.strTitle;
    first.nProfile = 2;
    first.nVideoSize = 8;
    first.nVolume = 7;
    // Run-time fields of the last run are not kept.
    first.bFinished = 1;
    first.nOutputSizeKB = 512;
    first.dEncodedTime = 30.0;
    first.bFailed = 1;
    first.strIntermediatePath = "Z:\\prog\\x_123.avi";
    ConvertTask second = MakeNewTask("C:\\v\\film.avi", 0.0);
    second.bLengthPending = 1; // added in a batch, its length not read yet
    return {first, second};
}

// The text with its checksum line made right again after an edit.
std::string Reseal(std::string text)
{
    const size_t lastStart = text.rfind('\n', text.size() - 2) + 1;
    text.resize(lastStart);
    char end[32];
    std::snprintf(end, sizeof(end), "end %08x\n", Crc32(text.data(), text.size()));
    return text + end;
}

const std::vector<std::string> kProfiles = {"Custom", "iPod video", "iPod classic", "iPhone"};

bool Refused(const std::string& text)
{
    SavedTaskList list;
    std::string reason;
    const bool ok = ParseTaskList(text, list, reason);
    EXPECT_TRUE(list.tasks.empty());
    EXPECT_EQ(list.nCurrent, -1);
    return !ok && !reason.empty();
}

} // namespace

TEST(SavedTaskList, TasksAndCurrentRowComeBackWithoutRunTimeFields)
{
    const std::vector<ConvertTask> tasks = TwoTasks();
    SavedTaskList list;
    std::string reason;
    ASSERT_TRUE(ParseTaskList(FormatTaskList(tasks, 1, kProfiles), list, reason)) << reason;
    ASSERT_EQ(list.tasks.size(), 2u);
    EXPECT_EQ(list.nCurrent, 1);
    const ConvertTask& back = list.tasks[0];
    EXPECT_STREQ(back.strSourcePath, "Z:\\media\\my.holiday.rmvb");
    EXPECT_EQ(back.dStartTime, 12.25);
    EXPECT_EQ(back.dEndTime, 60.125);
    EXPECT_STREQ(back.strTitle, "Tab\there, 100% new\r\nline");
    EXPECT_STREQ(back.strOutputName, back.strTitle);
    EXPECT_EQ(back.nProfile, 2);
    EXPECT_EQ(back.nVideoCodec, 1);
    EXPECT_EQ(back.nVideoSize, 8);
    EXPECT_EQ(back.nVideoBitrate, 6);
    EXPECT_EQ(back.nAudioBitrate, 2);
    EXPECT_EQ(back.nVolume, 7);
    EXPECT_EQ(back.bNeedIntermediate, 1);
    EXPECT_EQ(back.bFinished, 0);
    EXPECT_EQ(back.nOutputSizeKB, 0);
    EXPECT_EQ(back.dEncodedTime, 0.0);
    EXPECT_EQ(back.bFailed, 0);
    EXPECT_TRUE(back.strIntermediatePath.IsEmpty());
    EXPECT_STREQ(list.tasks[1].strTitle, "film");
    EXPECT_EQ(list.tasks[1].bNeedIntermediate, 0);
    EXPECT_EQ(back.bLengthPending, 0);
    EXPECT_EQ(list.tasks[1].bLengthPending, 1);

    ASSERT_TRUE(ParseTaskList(FormatTaskList({}, -1, kProfiles), list, reason)) << reason;
    EXPECT_TRUE(list.tasks.empty());
    EXPECT_EQ(list.nCurrent, -1);
}

TEST(SavedTaskList, EveryCutAndEveryChangedByteIsRefused)
{
    const std::string text = FormatTaskList(TwoTasks(), 0, kProfiles);
    for (size_t length = 0; length < text.size(); ++length)
        EXPECT_TRUE(Refused(text.substr(0, length))) << "cut to " << length;
    for (size_t i = 0; i < text.size(); ++i) {
        std::string changed = text;
        changed[i] = static_cast<char>(changed[i] ^ 0x04);
        EXPECT_TRUE(Refused(changed)) << "byte " << i;
    }
}

TEST(SavedTaskList, NewerVersionsRandomBytesAndBadValuesAreRefused)
{
    const std::string text = FormatTaskList(TwoTasks(), 0, kProfiles);
    std::string newer = text;
    const std::string format = " " + std::to_string(kTaskListFormat) + "\n";
    newer.replace(newer.find(format), format.size(), " " + std::to_string(kTaskListFormat + 1) + "\n");
    SavedTaskList list;
    std::string reason;
    EXPECT_FALSE(ParseTaskList(Reseal(newer), list, reason));
    EXPECT_EQ(reason, "written by a newer version");

    std::mt19937 random(20);
    for (int round = 0; round < 200; ++round) {
        std::string junk(static_cast<size_t>(random() % 400), '\0');
        for (char& ch : junk)
            ch = static_cast<char>(random());
        EXPECT_TRUE(Refused(junk));
        EXPECT_TRUE(Refused(text.substr(0, 40) + junk)); // a right beginning, then rubbish
    }

    // Well sealed but impossible: a settings index outside its table, a range backwards, a
    // current row past the end, a count that disagrees with the rows.
    const auto edited = [&](const std::string& from, const std::string& to) {
        std::string copy = FormatTaskList(TwoTasks(), 0, kProfiles);
        const size_t at = copy.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return Reseal(copy.replace(at, from.size(), to));
    };
    EXPECT_TRUE(Refused(edited("\tiPod classic\t1\t8\t", "\tiPod classic\t2\t8\t"))); // video codec 2 of 0..1
    EXPECT_TRUE(Refused(edited("12.25\t", "70\t")));                 // start after end
    EXPECT_TRUE(Refused(edited("current 0", "current 2")));
    EXPECT_TRUE(Refused(edited("tasks 2", "tasks 3")));
    EXPECT_TRUE(Refused(edited("C:\\v\\film.avi", "%00")));          // a zero inside a name
    // The editing itself is sound: a change that is allowed is read.
    EXPECT_TRUE(ParseTaskList(edited("current 0", "current 1"), list, reason)) << reason;
    EXPECT_EQ(list.nCurrent, 1);
}

// The profile is kept by title: a profile file that has changed since gives each task the
// profile it had, wherever that now stands, or the default profile with a line for the log.
TEST(SavedTaskList, ProfilesAreMatchedByTitleOnRestore)
{
    std::vector<ConvertTask> tasks = TwoTasks();
    tasks[1].nProfile = 3;
    tasks.push_back(MakeNewTask("C:\\v\\third.avi", 5.0)); // Custom
    const std::string text = FormatTaskList(tasks, 0, kProfiles);
    const auto restored = [&](const std::string& saved, const std::vector<std::string>& now,
                              std::vector<std::string>& gone) {
        SavedTaskList list;
        std::string reason;
        EXPECT_TRUE(ParseTaskList(saved, list, reason)) << reason;
        gone = MatchSavedProfiles(list, now);
        std::vector<int> profiles;
        for (const ConvertTask& task : list.tasks)
            profiles.push_back(task.nProfile);
        return profiles;
    };
    std::vector<std::string> gone;
    EXPECT_EQ(restored(text, kProfiles, gone), (std::vector<int>{2, 3, 0}));
    EXPECT_TRUE(gone.empty());

    // A profile put before the others moves "iPod classic" down by one; "iPhone" was removed.
    EXPECT_EQ(restored(text, {"Custom", "New", "iPod video", "iPod classic"}, gone), (std::vector<int>{3, 0, 0}));
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_NE(gone[0].find("\"iPhone\""), std::string::npos) << gone[0];
    EXPECT_NE(gone[0].find("film.avi"), std::string::npos) << gone[0];
    // No profile file: nothing to match against, the tasks are left as saved.
    EXPECT_EQ(restored(text, {}, gone), (std::vector<int>{2, 3, 0}));
    EXPECT_TRUE(gone.empty());

    // A file of the first format kept the index alone: kept where the profile file still has
    // that many profiles, the default profile where it has not.
    std::string old = text;
    old.replace(old.find("list 2\n"), 7, "list 1\n");
    for (const char* title : {"\tiPod classic\t", "\tiPhone\t", "\tCustom\t"})
        old.replace(old.find(title), std::string(title).size(), "\t");
    EXPECT_EQ(restored(Reseal(old), {"A", "B", "C"}, gone), (std::vector<int>{2, 0, 0}));
    EXPECT_EQ(gone.size(), 1u);
}
