// What the page's list operations do to the tasks and to the current row: an add (which files
// become tasks, which are read at once, which row is current), a length or existence answer of
// the source reader, a removal. Pure code on the task array, so the page only repaints and
// shows what these decide.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/ConvertTask.h"

namespace tasklist {

// Reads a source's length in seconds; false (or a length of 0) when the file cannot be read.
using LengthReader = std::function<bool(const CString& path, double& length)>;
// Whether the file at this position of an add is read at once (the rest wait for the reader).
using ReadNowRule = std::function<bool(size_t index)>;

struct AddResult {
    int firstNew = 0;                         // row of the first task added
    int added = 0;                            // tasks added (rows firstNew .. firstNew + added - 1)
    std::vector<std::string> unreadable;      // names (no folder) of files read and left out
};

// Appends a task for each path, in order. A path read at once joins with its length, or is
// left out and named when it cannot be read; one not read now joins with its length pending.
// The last added task becomes current (the panel shows it); nothing added leaves current as
// it was.
AddResult AddSources(CTaskArray& tasks, int& current, const std::vector<CString>& paths,
                     const LengthReader& readLength, const ReadNowRule& readNow);

struct LengthResult {
    int row = -1;         // the row the answer was for; -1 when no row waits for that file
    bool removed = false; // the source could not be read and its task left the list
    bool currentShown = false; // the current row's task changed or moved: the panel shows it anew
};

// A length read for path: the first row still waiting for that file takes it (rows removed or
// added meanwhile leave no stale row number), spanning the whole file; a length of 0 means the
// file cannot be read, and that task leaves the list as if never added.
LengthResult ApplyLength(CTaskArray& tasks, int& current, const CString& path, double length);

// Whether path's source exists: every row of that source is marked or unmarked (a list may
// hold one file twice, trimmed two ways). Returns the rows whose mark changed.
std::vector<int> ApplyExists(CTaskArray& tasks, const CString& path, bool exists);

// Removes row (nothing when it is not a row) and returns the new current row as
// tasknav::CurrentAfterRemoval gives it for the current row current.
int RemoveRow(CTaskArray& tasks, int row, int current);

// True while some task's length has not been read.
bool HasPendingLength(const CTaskArray& tasks);

// The file name of a path, without its folder.
std::string FileNameOf(const CString& path);

} // namespace tasklist
