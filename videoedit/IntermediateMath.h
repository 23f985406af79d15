// The arithmetic of the intermediate step: its random file number, its progress figures and
// the choice of codecs from the control's lists. Pure logic, no Windows headers.
#pragma once

#include <string>
#include <vector>

namespace intermediate {

// An integer from a to b inclusive (a when b < a), from the C library's generator seeded
// with the current time.
int RandomInRange(int a, int b);

struct Progress {
    double dPercent = 0;  // 0 to 100
    double dRemain = 0;   // seconds left
};

// Position and total in seconds of the source, elapsed milliseconds since the step began.
// A total of 0 or no time elapsed yet gives finite figures, never a division by zero.
Progress ComputeProgress(double dPosition, double dTotal, unsigned long nElapsedMs);

// The index of the last name containing the preferred text, else of the last containing the
// fallback, else -1.
int ChooseCodec(const std::vector<std::string>& names, const char* pszPreferred, const char* pszFallback);

// "<dir><name>_<number>.avi" or ".mpg"; empty when it would not fit in 259 characters.
std::string IntermediatePath(const std::string& dir, const std::string& outputName, int nNumber, bool bAvi);

} // namespace intermediate
