// The task list as it is kept on disk between runs of the program: the tasks' sources, trim
// ranges, titles, output names, profiles and settings, and the current row. The text carries
// its format version and a checksum, so a file that was cut short, written by a newer
// version or is not such a file at all is refused as a whole. Pure C++, no windows.h.
#pragma once

#include <string>
#include <vector>

#include "engine/ConvertTask.h"

// The format this program writes; a file with a higher number is refused.
constexpr int kTaskListFormat = 1;

struct SavedTaskList {
    std::vector<ConvertTask> tasks;
    int nCurrent = -1; // the current row, -1 for none
};

// The file's text for these tasks. Run-time fields are left out: a restored task starts as if
// never converted.
std::string FormatTaskList(const std::vector<ConvertTask>& tasks, int nCurrent);

// A task whose length was still being read is kept with that mark and read again at start.
// Reads a file's text. On success fills list (run-time fields 0, the intermediate flag taken
// from the source's name as when adding it) and returns true; otherwise leaves list empty and
// says why in strReason.
bool ParseTaskList(const std::string& text, SavedTaskList& list, std::string& strReason);

// CRC-32 (the zip polynomial) of the bytes, for the file's last line.
unsigned Crc32(const char* data, size_t size);
