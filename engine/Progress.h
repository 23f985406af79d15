// Reading the encoder's progress text and turning it into a task's size, position and speed.
// Pure logic: the runner feeds it pieces of output, the page shows the result.
#pragma once

#include <cstdint>

#include "engine/ConvertTask.h"

// The two fields found in one piece of encoder output.
struct ProgressFields {
    bool bHasSize = false;
    int nSizeKB = 0;
    bool bHasTime = false;
    double dTime = 0.0; // seconds
};

// Finds the first "size=" and the first "time=" in a zero-terminated piece. A field whose value
// is cut off by the end of the piece is not reported; the next progress line brings it again.
// A time value shorter than five characters that runs to the end of the piece counts as cut.
ProgressFields ReadProgressFields(const char* pszPiece);

// Stores the fields in the task: size, encoded position and the speed since startTick (ticks in
// milliseconds, wrapping at 32 bits); a negative time is stored as 0. Returns true when the task's encoder runs on an
// intermediate file and has reached the trimmed length, so it must be told to stop now.
bool ApplyProgressFields(ConvertTask& task, const ProgressFields& fields, std::uint32_t nowTick,
                         std::uint32_t startTick);

// "hh:mm:ss" of a number of seconds, in one process-wide buffer that the next call overwrites.
// Negative seconds print with minus signs, as printf's %02d does.
const char* FormatHMS(int nSeconds);

// A double cut toward zero into an int; values beyond int's range stick to its ends, NaN is 0.
int TruncateToInt(double value);
