// Expanding a profile's command template into the encoder's command line for one task.
// Pure C++, no windows.h: the caller reads the template and the clock.
#pragma once

#include "engine/ConvertTask.h"
#include "framework/CString.h"

struct LocalDateTime {
    int nYear = 0;
    int nMonth = 0; // 1 to 12
    int nDay = 0;
    int nHour = 0;  // 0 to 23
    int nMinute = 0;
    int nSecond = 0;
};

// " -ss hh:mm:ss" of the trim start, or "-ss 00:00:00 " when the source is an intermediate
// file that holds only the trimmed range.
CString FormatStartOption(const ConvertTask& task);
// " -t hh:mm:ss" of the trim length, the difference truncated (not the truncated difference).
CString FormatLengthOption(const ConvertTask& task);
// "YYYY-M-D h:m:s" with two-digit fields after the year: "%d-%02d-%02d %02d:%02d:%02d".
CString FormatTimestamp(const LocalDateTime& now);

// Replaces the template's variables in their fixed order, every occurrence each; the nine
// settings variables only for profile 0. No quoting is added.
CString ExpandCommandTemplate(const CString& strTemplate, const ConvertTask& task, const char* pszOutputFile,
                              const LocalDateTime& now);

