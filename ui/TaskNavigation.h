// Where the task list's navigation keys lead: pure arithmetic on the current row and the
// number of tasks, so the page's key handling is tested without a window.
#pragma once

namespace tasknav {

enum Key : unsigned {
    kPageUp = 0x21,
    kPageDown = 0x22,
    kEnd = 0x23,
    kHome = 0x24,
    kUp = 0x26,
    kDown = 0x28,
};

// True for Enter or Escape in a keyboard message (key or character): the page swallows these so
// that they never close it. Other messages carry flags in the same place (a mouse message's
// button and key flags can add up to the same numbers) and are left alone.
bool IsEnterOrEscapeKey(unsigned message, unsigned long long wParam);

// True for the six keys the page handles itself.
bool IsNavigationKey(unsigned key);

// The row the key moves to from current (the list's selection mark), with taskCount tasks
// and itemCount rows in the list; -1 when the key moves nowhere.
int TargetRow(unsigned key, int current, int taskCount, int itemCount);

// The current row once row removedRow has left a list that now has countAfter rows: the rows
// after it move up one, and when the current row itself went the one that took its place (or
// the new last row) becomes current; -1 when the list is empty.
int CurrentAfterRemoval(int removedRow, int current, int countAfter);

} // namespace tasknav
