// "log.txt" in the program's data folder of the user (UserDataFolder), which the user can
// always write even where the program's own folder is read-only: the only place where the
// run's failures go.
#pragma once

#include <string>
#include <vector>

// Appends one entry: a line break, then the text. Text mode turns "\n" into CR LF. When the
// file cannot be opened the entry is lost silently.
void AppendLog(const char* pszText);

// Appends a three-line error entry naming the failed call, the thread's last error code and
// the system's text for it.
void ReportApiError(const char* pszApiName);

// Appends the entry of a task that failed: the local time, the source, the output path and
// the encoder's last lines of output, so that the user can see why.
void LogFailedTask(const char* pszSource, const char* pszOutput, const std::vector<std::string>& encoderLines);
