// The task record: what adding a file makes of its path, the array's operations, and the
// settings tables' rows.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/ConvertTask.h"
#include "engine/SettingsTables.h"

TEST(TaskFromPath, TitleIsTheTextBetweenTheLastBackslashAndTheLastDot)
{
    EXPECT_EQ(TitleFromPath("C:\\Videos\\my.holiday.avi"), "my.holiday");
    EXPECT_EQ(TitleFromPath("C:\\Videos\\clip.rmvb"), "clip");
    EXPECT_EQ(TitleFromPath("clip.avi"), "clip") << "no directory at all";
    EXPECT_EQ(TitleFromPath("C:\\Videos\\noextension"), "");
    EXPECT_EQ(TitleFromPath("C:\\my.videos\\noextension"), "") << "a dot in a folder name is no extension";
    EXPECT_EQ(TitleFromPath("C:\\Videos\\.avi"), "");
}

TEST(TaskFromPath, OnlyRealMediaNeedsTheIntermediateStep)
{
    EXPECT_EQ(NeedsIntermediate("C:\\v\\a.rm"), 1);
    EXPECT_EQ(NeedsIntermediate("C:\\v\\a.rmvb"), 1);
    EXPECT_EQ(NeedsIntermediate("C:\\v\\a.RM"), 0) << "the test is case-sensitive";
    EXPECT_EQ(NeedsIntermediate("C:\\v\\a.avi"), 0);
    EXPECT_EQ(NeedsIntermediate("C:\\rm\\a.avi"), 0) << "only the text from the last dot counts";
    EXPECT_EQ(NeedsIntermediate("C:\\v\\noextension"), 0);
}

TEST(TaskFromPath, ANewTaskHasTheDefaultSettings)
{
    const ConvertTask t = MakeNewTask("C:\\Videos\\my.holiday.rm", 95.5);
    EXPECT_EQ(t.strSourcePath, "C:\\Videos\\my.holiday.rm");
    EXPECT_EQ(t.dStartTime, 0.0);
    EXPECT_EQ(t.dEndTime, 95.5);
    EXPECT_EQ(t.strTitle, "my.holiday");
    EXPECT_EQ(t.strOutputName, "my.holiday");
    EXPECT_STREQ(g_szVCodec[t.nVideoCodec], "-vcodec h264 -coder 0 -vlevel 13 -bufsize 256 -g 250");
    EXPECT_STREQ(g_szSize[t.nVideoSize], "320x240");
    EXPECT_STREQ(g_szFrameRate[t.nFrameRate], "");
    EXPECT_STREQ(g_szVideoBitrate[t.nVideoBitrate], "640");
    EXPECT_STREQ(g_szAspect[t.nVideoAspect], "4:3");
    EXPECT_STREQ(g_szChannel[t.nChannels], "2");
    EXPECT_STREQ(g_szAudioBitrate[t.nAudioBitrate], "64");
    EXPECT_STREQ(g_szAudioSample[t.nSampleRate], "");
    EXPECT_STREQ(g_szVolume[t.nVolume], "256");
    EXPECT_EQ(t.nProfile, 0);
    EXPECT_EQ(t.bNeedIntermediate, 1);
    EXPECT_TRUE(t.strIntermediatePath.IsEmpty());
    EXPECT_EQ(t.bFinished + t.nOutputSizeKB + t.nPhase + t.bIntermediateDone, 0);
    EXPECT_EQ(t.dSpeed + t.dEncodedTime + t.dIntermediatePos + t.dIntermediatePercent + t.dIntermediateRemain, 0.0);
}

TEST(SettingsTables, AudioRowsFourAndFiveRepeatFortyEightAndSixtyFour)
{
    EXPECT_STREQ(g_szAudioBitrate[4], "48");
    EXPECT_STREQ(g_szAudioBitrate[5], "64");
    EXPECT_STREQ(g_szAudioSample[0], "");
    EXPECT_STREQ(g_szAudioSample[3], "-ar 48000");
    EXPECT_STREQ(g_szFrameRate[3], "-r 29.97");
    EXPECT_STREQ(g_szSize[8], "480x160");
    EXPECT_STREQ(g_szVideoBitrate[8], "1500");
    EXPECT_STREQ(g_szVolume[0], "128");
    EXPECT_STREQ(g_szVolume[7], "1024");
    EXPECT_STREQ(g_szVCodec[0], "-vcodec xvid");
    EXPECT_STREQ(SettingsRow(g_szVolume, 8), "") << "past the end";
    EXPECT_STREQ(SettingsRow(g_szVolume, -1), "");
}

namespace {

CTaskArray ThreeTasks()
{
    CTaskArray tasks;
    tasks.Add(MakeNewTask("C:\\a.avi", 1));
    tasks.Add(MakeNewTask("C:\\b.avi", 2));
    tasks.Add(MakeNewTask("C:\\c.avi", 3));
    return tasks;
}

} // namespace

TEST(TaskArray, RemovingShiftsLaterTasksAndOutOfRangeIndicesDoNothing)
{
    CTaskArray tasks = ThreeTasks();
    ASSERT_EQ(tasks.GetCount(), 3);
    tasks.RemoveAt(1);
    ASSERT_EQ(tasks.GetCount(), 2);
    EXPECT_EQ(tasks.GetAt(0).strTitle, "a");
    EXPECT_EQ(tasks.GetAt(1).strTitle, "c");

    tasks.RemoveAt(2);
    tasks.RemoveAt(-1);
    tasks.SetAt(5, MakeNewTask("C:\\x.avi", 9));
    EXPECT_EQ(tasks.GetCount(), 2);
    EXPECT_TRUE(tasks.GetAt(7).strSourcePath.IsEmpty());

    tasks.RemoveAt(1);
    tasks.RemoveAt(0);
    EXPECT_EQ(tasks.GetCount(), 0);

    tasks = ThreeTasks();
    tasks.RemoveAll();
    EXPECT_EQ(tasks.GetCount(), 0);
}

TEST(TaskArray, TasksAreHeldByValue)
{
    CTaskArray tasks = ThreeTasks();
    ConvertTask copy = tasks.GetAt(2);
    copy.strTitle = "changed";
    copy.nProfile = 4;
    EXPECT_EQ(tasks.GetAt(2).strTitle, "c") << "a copy's change stays in the copy";
    tasks.SetAt(2, copy);
    EXPECT_EQ(tasks.GetAt(2).strTitle, "changed");
    EXPECT_EQ(tasks.GetAt(2).nProfile, 4);
    EXPECT_EQ(tasks.GetAt(2).strOutputName, "c") << "SetAt replaces the record as given";
    copy.strTitle = "again";
    EXPECT_EQ(tasks.GetAt(2).strTitle, "changed");
}
