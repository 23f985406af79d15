// The order of a run with several tasks at once, how a task's end is judged, and how many
// tasks run at once: pure logic, no encoder.
#include <gtest/gtest.h>


#include "engine/RunSchedule.h"
#include "engine/TasksAtOnce.h"

TEST(RunSchedule, StartsInListOrderUpToTheLimit)
{
    RunSchedule schedule({false, false, false, false}, 2);
    EXPECT_EQ(schedule.NextToStart(), 0);
    schedule.Start(0);
    EXPECT_EQ(schedule.NextToStart(), 1);
    schedule.Start(1);
    EXPECT_EQ(schedule.NextToStart(), -1) << "two under way: the limit";
    // The second ends first: the third starts in its place, never a later one.
    schedule.OutputEnded(1);
    EXPECT_EQ(schedule.NextToStart(), -1) << "a task whose encoder is still exiting counts";
    schedule.End(1, TaskResult::Finished);
    EXPECT_EQ(schedule.NextToStart(), 2);
    schedule.Start(2);
    schedule.End(0, TaskResult::Failed);
    EXPECT_EQ(schedule.NextToStart(), 3);
    schedule.Start(3);
    EXPECT_FALSE(schedule.Over());
    schedule.End(2, TaskResult::Finished);
    schedule.End(3, TaskResult::Finished);
    EXPECT_TRUE(schedule.Over());
    EXPECT_EQ(schedule.Result(0), TaskResult::Failed) << "a failed task fails alone";
    EXPECT_EQ(schedule.Result(1), TaskResult::Finished);
}

TEST(RunSchedule, OneAtATimeWaitsForEachTaskToEnd)
{
    RunSchedule schedule({false, true, false}, 0); // less than one counts as one
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(schedule.NextToStart(), i);
        schedule.Start(i);
        EXPECT_EQ(schedule.NextToStart(), -1);
        if (i == 1) {
            EXPECT_EQ(schedule.Stage(1), TaskStage::Intermediate);
            schedule.IntermediateDone(1);
        }
        EXPECT_EQ(schedule.Stage(i), TaskStage::Encoding);
        schedule.OutputEnded(i);
        schedule.End(i, TaskResult::Finished);
    }
    EXPECT_TRUE(schedule.Over());
}

TEST(RunSchedule, TheVideoControlWritesOneIntermediateFileAtATime)
{
    // Two RealMedia tasks, then a plain one: the second RealMedia task waits for the first
    // one's step, and the plain task waits behind it, since no task starts before an earlier.
    RunSchedule schedule({true, true, false}, 3);
    schedule.Start(schedule.NextToStart());
    EXPECT_EQ(schedule.NextToStart(), -1);
    schedule.IntermediateDone(0);
    EXPECT_EQ(schedule.NextToStart(), 1) << "the first step is done; its encoder runs meanwhile";
    schedule.Start(1);
    EXPECT_EQ(schedule.NextToStart(), 2) << "a plain task does not need the control";
}

TEST(RunSchedule, AfterAStopNothingStartsAndTheRunEndsWithItsTasksUnderWay)
{
    RunSchedule schedule({false, true, false, false}, 2);
    schedule.Start(0);
    schedule.Start(1);
    schedule.OutputEnded(0);
    schedule.Stop();
    EXPECT_EQ(schedule.NextToStart(), -1);
    EXPECT_FALSE(schedule.Over()) << "two are still under way";
    EXPECT_FALSE(RunSchedule::IsStoppedBy(schedule.Stage(0))) << "its output had ended: it is judged";
    EXPECT_TRUE(RunSchedule::IsStoppedBy(schedule.Stage(1)));
    schedule.End(0, TaskResult::Finished);
    schedule.End(1, TaskResult::Stopped);
    EXPECT_TRUE(schedule.Over()) << "the waiting tasks never start";
    EXPECT_EQ(schedule.Stage(2), TaskStage::Waiting);
}

TEST(RunSchedule, AnEncoderEndIsFinishedOnlyWhenItExitedWellAndWroteAFile)
{
    EXPECT_EQ(JudgeEncoderEnd(EncoderExit::Succeeded, true), TaskResult::Finished);
    EXPECT_EQ(JudgeEncoderEnd(EncoderExit::Unknown, true), TaskResult::Finished)
        << "no process to ask: the file decides";
    EXPECT_EQ(JudgeEncoderEnd(EncoderExit::Succeeded, false), TaskResult::Failed);
    EXPECT_EQ(JudgeEncoderEnd(EncoderExit::Failed, true), TaskResult::Failed) << "a crash after part of a file";
    EXPECT_EQ(JudgeEncoderEnd(EncoderExit::Hung, true), TaskResult::Failed);
}

TEST(TasksAtOnce, APersonsSettingWinsWithinTheCapElseTheMachineDecides)
{
    EXPECT_EQ(ChooseTasksAtOnce("1", 16), 1) << "one after another, as the program always did";
    EXPECT_EQ(ChooseTasksAtOnce(" 3 ", 1), 3);
    EXPECT_EQ(ChooseTasksAtOnce("99", 2), kMaxTasksAtOnce);
    for (const char* unset : {"", "0", "-2", "two", "2x"}) {
        EXPECT_EQ(ChooseTasksAtOnce(unset, 2), 2 / kUsefulProcessorsPerEncoder) << unset;
        EXPECT_EQ(ChooseTasksAtOnce(unset, 1), 1) << unset;
        EXPECT_EQ(ChooseTasksAtOnce(unset, 64), kMaxTasksAtOnce) << unset;
    }
}

TEST(TasksAtOnce, EachEncoderGetsAnEvenShareOfTheProcessors)
{
    EXPECT_EQ(EncoderThreadsEach(8, 1), 0) << "one at a time: the command line as it always was";
    EXPECT_EQ(EncoderThreadsEach(8, 4), 2);
    EXPECT_EQ(EncoderThreadsEach(2, 2), 1);
    EXPECT_EQ(EncoderThreadsEach(2, 4), 1) << "never none";
}

TEST(TasksAtOnce, EveryMenuChoiceIsStoredAsTheSettingThatGivesIt)
{
    const std::vector<std::string> texts = TasksAtOnceChoiceTexts(2);
    ASSERT_EQ(texts.size(), static_cast<size_t>(kMaxTasksAtOnce + 1));
    EXPECT_EQ(texts[0], "&Automatic (2 on this computer)");
    EXPECT_EQ(TasksAtOnceChoiceTexts(64)[0], "&Automatic (4 on this computer)");
    for (int choice = 0; choice <= kMaxTasksAtOnce; ++choice) {
        const std::string setting = TasksAtOnceSettingOf(choice);
        EXPECT_EQ(TasksAtOnceChoiceOf(setting), choice) << setting;
        EXPECT_EQ(ChooseTasksAtOnce(setting, 3), choice == 0 ? 3 : choice) << setting;
    }
    // A value written by hand shows as the choice it acts as.
    EXPECT_EQ(TasksAtOnceChoiceOf("9"), kMaxTasksAtOnce);
    EXPECT_EQ(TasksAtOnceChoiceOf("two"), 0);
}
