// The task list's cells as the page answers them: texts, the Progress cell's formats, colours.
#include <gtest/gtest.h>

#include <string>

#include "engine/Progress.h"
#include "engine/TaskCell.h"

namespace {

ConvertTask Task(double start, double end)
{
    ConvertTask task;
    task.strSourcePath = "C:\\videos\\my clip.avi";
    task.strOutputName = "my clip";
    task.dStartTime = start;
    task.dEndTime = end;
    return task;
}

CellDisplayInfo Cell(const ConvertTask& task, int column, int row = 0)
{
    CellDisplayInfo info;
    info.nRow = row;
    info.nColumn = column;
    FillTaskCellInfo(task, row, column, info);
    return info;
}

std::string Text(const CellDisplayInfo& info) { return std::string(info.strText); }

// Feeds one line of encoder output the way the runner does.
void Feed(ConvertTask& task, const char* line, std::uint32_t elapsedMs)
{
    ApplyProgressFields(task, ReadProgressFields(line), 1000 + elapsedMs, 1000);
}

} // namespace

TEST(TaskCellText, SourceTimesAndOutputColumns)
{
    ConvertTask task = Task(3725.9, 7322.2);
    EXPECT_EQ(Text(Cell(task, 0)), "my clip.avi");
    EXPECT_EQ(Text(Cell(task, 1)), "01:02:05");
    EXPECT_EQ(Text(Cell(task, 2)), "02:02:02");
    EXPECT_EQ(Text(Cell(task, 3)), "my clip.mp4");
    EXPECT_EQ(Text(Cell(task, 5)), "");
    EXPECT_EQ(Cell(task, 3).nProgressMax, -1) << "only the Progress cell has a bar";

    task.strSourcePath = "clip.avi";
    EXPECT_EQ(Text(Cell(task, 0)), "clip.avi") << "a path without a folder is all name";
    task.strSourcePath = "C:\\videos\\";
    EXPECT_EQ(Text(Cell(task, 0)), "");
}

TEST(TaskCellProgress, DirectConversionFollowsTheEncoder)
{
    ConvertTask task = Task(0, 100);
    EXPECT_EQ(Text(Cell(task, 4)), "") << "empty until the encoder reports";
    EXPECT_EQ(Cell(task, 4).nProgressMax, -1);

    // 10 s of 100 encoded after 5 s: under 20 s encoded, the remaining media time is shown.
    Feed(task, "frame=  250 q=5.0 size=     512kB time=10.0 bitrate= 419.4kbits/s", 5000);
    CellDisplayInfo info = Cell(task, 4);
    EXPECT_EQ(Text(info), " 10.50%  0.50MB   Remain Time:00:01:30");
    EXPECT_EQ(info.nProgressMax, 100);
    EXPECT_EQ(info.nProgressPos, 10);
    EXPECT_EQ(info.crProgressBar, MakeColorRef(154, 30, 28));

    // At 40 s after 20 s the speed is 2.0: (100 - 40) / 2 = 30 s remain.
    Feed(task, "size=    2048kB time=40.0 ", 20000);
    info = Cell(task, 4);
    EXPECT_EQ(Text(info), " 40.50%  2.00MB   Remain Time:00:00:30");
    EXPECT_EQ(info.nProgressPos, 40);

    // 99.5 rounds up to a full bar.
    Feed(task, "size=    4096kB time=99.0 ", 50000);
    info = Cell(task, 4);
    EXPECT_EQ(Text(info).substr(0, 9), " 100.00% ");
    EXPECT_EQ(info.nProgressPos, 100);
}

TEST(TaskCellProgress, DirectConversionEdgeCases)
{
    // Positions read as hh:mm:ss come out as 0: the cell stays empty.
    ConvertTask hms = Task(0, 100);
    Feed(hms, "size=     512kB time=00:01:23.45 bitrate=", 5000);
    EXPECT_EQ(Text(Cell(hms, 4)), "");
    EXPECT_EQ(Cell(hms, 4).nProgressMax, -1);

    // A position but no size yet: still empty.
    ConvertTask noSize = Task(0, 100);
    Feed(noSize, "time=10.0 ", 5000);
    EXPECT_EQ(Text(Cell(noSize, 4)), "");

    // Beyond the trimmed length the remaining time is negative and printed as such.
    ConvertTask beyond = Task(0, 100);
    beyond.dEncodedTime = 110;
    beyond.nOutputSizeKB = 1024;
    EXPECT_EQ(Text(Cell(beyond, 4)), " 100.00%  1.00MB   Remain Time:00:00:-10");

    // A zero-length task shows 0 % rather than dividing by zero.
    ConvertTask empty = Task(50, 50);
    empty.dEncodedTime = 1;
    empty.nOutputSizeKB = 1;
    EXPECT_EQ(Text(Cell(empty, 4)).substr(0, 7), " 0.00% ");
    EXPECT_EQ(Cell(empty, 4).nProgressPos, 0);

    // An absurdly slow encoder cannot push the remaining time out of range.
    ConvertTask slow = Task(0, 100000);
    slow.dEncodedTime = 21;
    slow.nOutputSizeKB = 1;
    slow.dSpeed = 1e-9;
    EXPECT_EQ(Text(Cell(slow, 4)), " 0.52%  0.00MB   Remain Time:596523:14:07");
}

TEST(TaskCellProgress, FinishedWinsOverEverything)
{
    ConvertTask task = Task(0, 100);
    task.bNeedIntermediate = 1;
    task.nPhase = 1;
    task.bFinished = 1;
    const CellDisplayInfo info = Cell(task, 4);
    EXPECT_EQ(Text(info), "Finished");
    EXPECT_EQ(info.nProgressMax, 100);
    EXPECT_EQ(info.nProgressPos, 100);
    EXPECT_EQ(info.crProgressBar, MakeColorRef(154, 30, 28));
}

TEST(TaskCellProgress, FailedShowsNoBarWhateverTheProgress)
{
    ConvertTask task = Task(0, 100);
    task.dEncodedTime = 50;
    task.nOutputSizeKB = 10;
    task.bFailed = 1;
    const CellDisplayInfo info = Cell(task, 4);
    EXPECT_EQ(Text(info), "Failed");
    EXPECT_LE(info.nProgressMax, 0);
}

TEST(TaskCellText, PendingLengthAndMissingSourceAreShownAsSuch)
{
    ConvertTask task = Task(0, 0);
    task.bLengthPending = 1;
    EXPECT_EQ(Text(Cell(task, 2)), "...");
    task.bLengthPending = 0;
    EXPECT_EQ(Text(Cell(task, 2)), "00:00:00");

    // A restored task whose source is gone says so until a run has tried it.
    task = Task(0, 100);
    task.bSourceMissing = 1;
    EXPECT_EQ(Text(Cell(task, 4)), "Source file not found");
    EXPECT_LE(Cell(task, 4).nProgressMax, 0);
    task.bFailed = 1;
    EXPECT_EQ(Text(Cell(task, 4)), "Failed");
}

TEST(TaskCellProgress, IntermediateTaskFillsTheBarInTwoHalves)
{
    ConvertTask task = Task(0, 100);
    task.bNeedIntermediate = 1;
    EXPECT_EQ(Text(Cell(task, 4)), "") << "phase 0: nothing started yet";

    // Transcoding 40 % done with 12 s left; the encoder run after it counts as half the length.
    task.nPhase = 1;
    task.dIntermediatePercent = 40;
    task.dIntermediateRemain = 12;
    CellDisplayInfo info = Cell(task, 4);
    EXPECT_EQ(Text(info), " 20.00%    Remain Time:00:01:02");
    EXPECT_EQ(info.nProgressPos, 20);

    // The encoder's half shows at once, before any size is known.
    task.nPhase = 2;
    info = Cell(task, 4);
    EXPECT_EQ(Text(info), " 50.25%  0.00MB   Remain Time:00:01:40");
    EXPECT_EQ(info.nProgressPos, 50);

    task.dEncodedTime = 50;
    task.nOutputSizeKB = 512;
    info = Cell(task, 4);
    EXPECT_EQ(Text(info), " 75.25%  0.50MB   Remain Time:00:00:50");
    EXPECT_EQ(info.nProgressPos, 75);

    task.nPhase = 3;
    EXPECT_EQ(Text(Cell(task, 4)), "");
    EXPECT_EQ(Cell(task, 4).nProgressMax, -1);
}

TEST(TaskCellColours, AlternateRowsShareTheHotAndSelectedBackground)
{
    const ConvertTask task = Task(0, 10);
    const CellDisplayInfo even = Cell(task, 1, 0);
    const CellDisplayInfo odd = Cell(task, 1, 1);
    EXPECT_EQ(even.crBack, MakeColorRef(180, 180, 255));
    EXPECT_EQ(odd.crBack, MakeColorRef(220, 220, 255));
    EXPECT_EQ(even.crText, MakeColorRef(10, 5, 20));
    EXPECT_EQ(odd.crText, MakeColorRef(40, 10, 40));
    EXPECT_EQ(even.crTextSelected, MakeColorRef(240, 200, 128));
    EXPECT_EQ(odd.crTextSelected, MakeColorRef(240, 250, 128));
    EXPECT_EQ(even.crBackSelectedNoFocus, MakeColorRef(20, 20, 120));
    EXPECT_EQ(odd.crBackSelectedNoFocus, MakeColorRef(20, 60, 120));
    EXPECT_EQ(even.crTextHot, odd.crTextHot);
    EXPECT_EQ(even.crTextHot, MakeColorRef(170, 10, 150));
    EXPECT_EQ(even.crBackSelected, odd.crBackSelected);
    EXPECT_EQ(Cell(task, 4, 2).crBack, even.crBack) << "every column, every even row";
    // Fields the page has nothing for keep the list's defaults.
    EXPECT_EQ(even.crProgressText, kColorDefault);
    EXPECT_EQ(even.nProgressEdge, kProgressEdgeSunken);
}

// A letter typed in the list leads to the next task whose Source text begins with it, from
// the row the list names on and round to the top; nothing found leads nowhere.
TEST(TaskCellText, TypedTextFindsTheNextSourceThatBeginsWithIt)
{
    std::vector<ConvertTask> tasks;
    for (const char* path : {"C:\\x\\film.avi", "C:\\m\\Show.mpg", "D:\\film\\a.avi", "C:\\v\\spring.avi", "日本の旅.avi"})
        tasks.push_back(MakeNewTask(path, 1.0));
    EXPECT_EQ(FindTaskBySourcePrefix(tasks, "s", 0), 1);
    EXPECT_EQ(FindTaskBySourcePrefix(tasks, "S", 2), 3);    // case aside, from row 2 on
    EXPECT_EQ(FindTaskBySourcePrefix(tasks, "f", 1), 0);    // round to the top
    EXPECT_EQ(FindTaskBySourcePrefix(tasks, "sh", 2), 1);   // several letters typed quickly
    EXPECT_EQ(FindTaskBySourcePrefix(tasks, "x", 0), -1);   // the folder's name does not count
    EXPECT_EQ(FindTaskBySourcePrefix(tasks, "film.avi!", 0), -1);
    EXPECT_EQ(FindTaskBySourcePrefix(tasks, "日本", 0), 4);
    EXPECT_EQ(FindTaskBySourcePrefix(tasks, "", 0), -1);
    EXPECT_EQ(FindTaskBySourcePrefix(tasks, "a", 99), 2);   // a start outside the list: the top
    EXPECT_EQ(FindTaskBySourcePrefix({}, "a", 0), -1);
}
