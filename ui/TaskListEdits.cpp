#include "ui/TaskListEdits.h"

#include "ui/TaskNavigation.h"

namespace tasklist {

std::string FileNameOf(const CString& path)
{
    return static_cast<const char*>(path.Mid(path.ReverseFind('\\') + 1));
}

AddResult AddSources(CTaskArray& tasks, int& current, const std::vector<CString>& paths,
                     const LengthReader& readLength, const ReadNowRule& readNow)
{
    AddResult result;
    result.firstNew = tasks.GetCount();
    for (size_t i = 0; i < paths.size(); ++i) {
        const CString& path = paths[i];
        if (!readNow(i)) {
            ConvertTask task = MakeNewTask(path, 0.0);
            task.bLengthPending = 1;
            tasks.Add(task);
            continue;
        }
        double length = 0.0;
        if (!readLength(path, length) || length <= 0.0) {
            result.unreadable.push_back(FileNameOf(path));
            continue;
        }
        tasks.Add(MakeNewTask(path, length));
    }
    result.added = tasks.GetCount() - result.firstNew;
    if (result.added > 0)
        current = tasks.GetCount() - 1;
    return result;
}

LengthResult ApplyLength(CTaskArray& tasks, int& current, const CString& path, double length)
{
    LengthResult result;
    for (int i = 0; i < tasks.GetCount() && result.row < 0; ++i) {
        const ConvertTask& task = tasks.Items()[static_cast<size_t>(i)];
        if (task.bLengthPending == 1 && task.strSourcePath == path)
            result.row = i;
    }
    if (result.row < 0)
        return result;
    if (length > 0.0) {
        ConvertTask task = tasks.GetAt(result.row);
        task.bLengthPending = 0;
        task.dStartTime = 0.0;
        task.dEndTime = length;
        tasks.SetAt(result.row, task);
        result.currentShown = result.row == current; // the slider can now span the file
        return result;
    }
    const int wasCurrent = current;
    result.removed = true;
    current = RemoveRow(tasks, result.row, current);
    // The current task is another one now, or sits one row higher.
    result.currentShown = current >= 0 && result.row <= wasCurrent;
    return result;
}

std::vector<int> ApplyExists(CTaskArray& tasks, const CString& path, bool exists)
{
    std::vector<int> changed;
    for (int i = 0; i < tasks.GetCount(); ++i) {
        ConvertTask task = tasks.GetAt(i);
        if (task.strSourcePath != path || (task.bSourceMissing == 1) == !exists)
            continue;
        task.bSourceMissing = exists ? 0 : 1;
        tasks.SetAt(i, task);
        changed.push_back(i);
    }
    return changed;
}

int RemoveRow(CTaskArray& tasks, int row, int current)
{
    if (row < 0 || row >= tasks.GetCount())
        return current;
    tasks.RemoveAt(row);
    return tasknav::CurrentAfterRemoval(row, current, tasks.GetCount());
}

bool HasPendingLength(const CTaskArray& tasks)
{
    for (const ConvertTask& task : tasks.Items())
        if (task.bLengthPending == 1)
            return true;
    return false;
}

} // namespace tasklist
