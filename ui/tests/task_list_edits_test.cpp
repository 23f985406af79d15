// The list operations' effect on the tasks and the current row, without a window: an add with
// unreadable and pending files, the reader's answers arriving after the list changed, a removal.
#include <gtest/gtest.h>

#include <map>

#include "ui/TaskListEdits.h"

using namespace tasklist;

namespace {

std::vector<CString> Paths(std::initializer_list<const char*> names)
{
    std::vector<CString> paths;
    for (const char* name : names)
        paths.emplace_back(name);
    return paths;
}

// Lengths by path; a path not listed cannot be read.
LengthReader Lengths(std::map<std::string, double> lengths)
{
    return [lengths](const CString& path, double& length) {
        const auto it = lengths.find(static_cast<const char*>(path));
        length = it == lengths.end() ? 0.0 : it->second;
        return length > 0.0;
    };
}

const ReadNowRule kReadAll = [](size_t) { return true; };

std::vector<std::string> Sources(const CTaskArray& tasks)
{
    std::vector<std::string> sources;
    for (const ConvertTask& task : tasks.Items())
        sources.emplace_back(static_cast<const char*>(task.strSourcePath));
    return sources;
}

} // namespace

TEST(TaskListEdits, AnAddAppendsReadableFilesAndMakesTheLastCurrent)
{
    CTaskArray tasks;
    tasks.Add(MakeNewTask("C:\\old.avi", 5.0));
    int current = 0;
    const AddResult added = AddSources(tasks, current, Paths({"C:\\a.avi", "D:\\bad.avi", "C:\\b.mp4"}),
                                       Lengths({{"C:\\a.avi", 10.0}, {"C:\\b.mp4", 20.0}}), kReadAll);
    EXPECT_EQ(Sources(tasks), (std::vector<std::string>{"C:\\old.avi", "C:\\a.avi", "C:\\b.mp4"}));
    EXPECT_EQ(added.firstNew, 1);
    EXPECT_EQ(added.added, 2);
    EXPECT_EQ(added.unreadable, (std::vector<std::string>{"bad.avi"}));
    EXPECT_EQ(current, 2);
    EXPECT_DOUBLE_EQ(tasks.GetAt(2).dEndTime, 20.0);
    EXPECT_STREQ(tasks.GetAt(2).strTitle, "b");

    // Nothing readable: nothing added, the current row stays.
    EXPECT_EQ(AddSources(tasks, current, Paths({"D:\\bad.avi"}), Lengths({}), kReadAll).added, 0);
    EXPECT_EQ(current, 2);
}

TEST(TaskListEdits, FilesNotReadAtOnceWaitAndTheirAnswersFindTheirRowsAfterChanges)
{
    CTaskArray tasks;
    int current = -1;
    // Only the first is read during the add; the same file added twice waits twice.
    AddSources(tasks, current, Paths({"C:\\a.avi", "C:\\gone.avi", "C:\\b.avi", "C:\\b.avi"}),
               Lengths({{"C:\\a.avi", 10.0}}), [](size_t i) { return i == 0; });
    ASSERT_EQ(tasks.GetCount(), 4);
    EXPECT_TRUE(HasPendingLength(tasks));
    EXPECT_EQ(tasks.GetAt(1).bLengthPending, 1);
    EXPECT_DOUBLE_EQ(tasks.GetAt(1).dEndTime, 0.0);
    EXPECT_EQ(current, 3);

    // Row 0 is removed while the reader works: the answer for b still reaches a b row.
    current = RemoveRow(tasks, 0, current);
    EXPECT_EQ(current, 2);
    LengthResult result = ApplyLength(tasks, current, "C:\\b.avi", 30.0);
    EXPECT_EQ(result.row, 1);
    EXPECT_FALSE(result.removed);
    EXPECT_FALSE(result.currentShown); // the current row is the second b, still waiting
    EXPECT_DOUBLE_EQ(tasks.GetAt(1).dEndTime, 30.0);
    EXPECT_EQ(tasks.GetAt(1).bLengthPending, 0);
    result = ApplyLength(tasks, current, "C:\\b.avi", 30.0);
    EXPECT_EQ(result.row, 2);
    EXPECT_TRUE(result.currentShown);

    // The unreadable one leaves; the current task moves up a row and is shown again.
    result = ApplyLength(tasks, current, "C:\\gone.avi", 0.0);
    EXPECT_TRUE(result.removed);
    EXPECT_TRUE(result.currentShown);
    EXPECT_EQ(Sources(tasks), (std::vector<std::string>{"C:\\b.avi", "C:\\b.avi"}));
    EXPECT_EQ(current, 1);
    EXPECT_FALSE(HasPendingLength(tasks));

    // An answer for a row that has gone changes nothing.
    EXPECT_EQ(ApplyLength(tasks, current, "C:\\gone.avi", 0.0).row, -1);
    EXPECT_EQ(tasks.GetCount(), 2);
}

TEST(TaskListEdits, TheLastUnreadableTaskLeavesAnEmptyListWithNoCurrentRow)
{
    CTaskArray tasks;
    int current = -1;
    AddSources(tasks, current, Paths({"C:\\x.avi"}), Lengths({}), [](size_t) { return false; });
    ASSERT_EQ(current, 0);
    const LengthResult result = ApplyLength(tasks, current, "C:\\x.avi", 0.0);
    EXPECT_TRUE(result.removed);
    EXPECT_FALSE(result.currentShown);
    EXPECT_EQ(current, -1);
    EXPECT_EQ(tasks.GetCount(), 0);
}

TEST(TaskListEdits, AnExistenceAnswerMarksEveryRowOfThatSourceOnce)
{
    CTaskArray tasks;
    for (const char* path : {"C:\\a.avi", "C:\\b.avi", "C:\\a.avi"})
        tasks.Add(MakeNewTask(path, 10.0));
    EXPECT_EQ(ApplyExists(tasks, "C:\\a.avi", false), (std::vector<int>{0, 2}));
    EXPECT_EQ(tasks.GetAt(2).bSourceMissing, 1);
    EXPECT_EQ(tasks.GetAt(1).bSourceMissing, 0);
    EXPECT_TRUE(ApplyExists(tasks, "C:\\a.avi", false).empty()); // already marked: no repaint
    EXPECT_EQ(ApplyExists(tasks, "C:\\a.avi", true), (std::vector<int>{0, 2}));
    EXPECT_EQ(tasks.GetAt(0).bSourceMissing, 0);
}

TEST(TaskListEdits, RemovingARowThatIsNotThereChangesNothing)
{
    CTaskArray tasks;
    tasks.Add(MakeNewTask("C:\\a.avi", 10.0));
    EXPECT_EQ(RemoveRow(tasks, 1, 0), 0);
    EXPECT_EQ(RemoveRow(tasks, -1, 0), 0);
    EXPECT_EQ(tasks.GetCount(), 1);
    EXPECT_EQ(RemoveRow(tasks, 0, 0), -1);
}
