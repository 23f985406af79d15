// The task list's cells: texts, colours and progress bar of one cell, computed from its task
// every time the cell is painted. Pure logic; the page's WM_LIST_GETCELLINFO handler calls it.
#pragma once

#include <string>
#include <vector>

#include "engine/ConvertTask.h"
#include "framework/CellDisplayInfo.h"

// Columns of the task list, in the order the page inserts them.
enum TaskListColumn {
    kColumnSource = 0,
    kColumnBeginTime = 1,
    kColumnEndTime = 2,
    kColumnOutput = 3,
    kColumnProgress = 4,
};

// Fills the colours of row nRow and the text (and bar) of column nColumn for the task shown in
// that row. Fields it has nothing for keep the values the list put there.
void FillTaskCellInfo(const ConvertTask& task, int nRow, int nColumn, CellDisplayInfo& info);

// The list's type-ahead: the first task, from row nStart to the end and then from the top,
// whose Source text (the source's file name) begins with typed; letters are compared without
// case as far as they are ASCII, other characters byte for byte. -1 when none does.
int FindTaskBySourcePrefix(const std::vector<ConvertTask>& tasks, const std::string& typed, int nStart);
