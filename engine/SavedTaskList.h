// The task list as it is kept on disk between runs of the program: the tasks' sources, trim
// ranges, titles, output names, profiles (index and title) and settings, and the current row. The text carries
// its format version and a checksum, so a file that was cut short, written by a newer
// version or is not such a file at all is refused as a whole. Pure C++, no windows.h.
#pragma once

#include <string>
#include <vector>

#include "engine/ConvertTask.h"

// The format this program writes; a file with a higher number is refused. Format 1 kept a
// task's profile by its index alone; format 2 adds the profile's title.
constexpr int kTaskListFormat = 2;

struct SavedTaskList {
    std::vector<ConvertTask> tasks;
    // Per task, the title of its profile when the list was saved; empty when unknown (a
    // format 1 file, or a profile the profile file did not hold).
    std::vector<std::string> profileTitles;
    int nCurrent = -1; // the current row, -1 for none
};

// The file's text for these tasks; profileTitles are the profile combo's titles, by index.
// Run-time fields are left out: a restored task starts as if never converted.
std::string FormatTaskList(const std::vector<ConvertTask>& tasks, int nCurrent,
                           const std::vector<std::string>& profileTitles);

// A task whose length was still being read is kept with that mark and read again at start.
// Reads a file's text. On success fills list (run-time fields 0, the intermediate flag taken
// from the source's name as when adding it) and returns true; otherwise leaves list empty and
// says why in strReason.
bool ParseTaskList(const std::string& text, SavedTaskList& list, std::string& strReason);

// Gives each restored task the profile of its saved title in profileTitles (the profile file
// as it is now), wherever that profile has moved to. A task without a saved title keeps its
// index if the file still has one there. A task whose profile has gone gets the profile a
// new task gets (0); the return value holds one line for the log per such task. With no
// profiles at all (no profile file) nothing is changed: there is nothing to match against.
std::vector<std::string> MatchSavedProfiles(SavedTaskList& list, const std::vector<std::string>& profileTitles);

// CRC-32 (the zip polynomial) of the bytes, for the file's last line.
unsigned Crc32(const char* data, size_t size);
