// Progress fields of the encoder's output, speed and the hh:mm:ss helper.
#include "engine/Progress.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr char kSizeKey[] = "size=";
constexpr char kTimeKey[] = "time=";
constexpr std::size_t kKeyLength = 5;
constexpr std::size_t kSizeChars = 8; // the size value is right-aligned in 8 columns
constexpr std::size_t kTimeChars = 5; // "123.4" or "1234." — seconds read from 5 characters
constexpr std::size_t kMinTimeChars = 4;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Leading blanks skipped, then digits up to the first non-digit ("512kB" gives 512).
int ReadUnsignedInt(const char* text, std::size_t count)
{
    std::size_t i = 0;
    while (i < count && IsBlank(text[i]))
        ++i;
    int value = 0;
    for (; i < count && IsDigit(text[i]); ++i)
        value = value * 10 + (text[i] - '0'); // at most 8 digits: no overflow
    return value;
}

// A plain decimal number, optional sign, no exponent; "00:01" gives 0, as the digits stop at
// the colon. Anything that is not a number reads as 0, never as infinity or NaN.
double ReadDecimal(const char* text, std::size_t count)
{
    std::size_t i = 0;
    while (i < count && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < count && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    double value = 0.0;
    for (; i < count && IsDigit(text[i]); ++i)
        value = value * 10.0 + (text[i] - '0');
    if (i < count && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < count && IsDigit(text[i]); ++i, scale /= 10.0)
            value += (text[i] - '0') * scale;
    }
    return negative ? -value : value;
}

} // namespace

ProgressFields ReadProgressFields(const char* pszPiece)
{
    ProgressFields fields;
    if (!pszPiece)
        return fields;

    if (const char* size = std::strstr(pszPiece, kSizeKey)) {
        const char* value = size + kKeyLength;
        if (std::strlen(value) >= kSizeChars) {
            fields.bHasSize = true;
            fields.nSizeKB = ReadUnsignedInt(value, kSizeChars);
        }
    }
    if (const char* time = std::strstr(pszPiece, kTimeKey)) {
        const char* value = time + kKeyLength;
        const std::size_t available = std::strlen(value);
        // Fewer than five characters that are all part of the number may be the start of a
        // longer one ("time=615." of "time=615.60", "time=1000" of "time=10000.00"): reading
        // it would move the position back. Such a value is cut, like a short one.
        const bool cut = available < kTimeChars && std::strspn(value, "0123456789.+-") == available;
        if (available >= kMinTimeChars && !cut) {
            fields.bHasTime = true;
            fields.dTime = ReadDecimal(value, available < kTimeChars ? available : kTimeChars);
        }
    }
    return fields;
}

bool ApplyProgressFields(ConvertTask& task, const ProgressFields& fields, std::uint32_t nowTick,
                         std::uint32_t startTick)
{
    if (fields.bHasSize)
        task.nOutputSizeKB = fields.nSizeKB;
    if (!fields.bHasTime)
        return false;

    // A position before the start ("time=-0.5" from an encoder that starts early) is the
    // start: a negative one would show a negative percentage and bar.
    const double t = fields.dTime > 0.0 ? fields.dTime : 0.0;
    const bool stopNow = task.bNeedIntermediate == 1 && task.nOutputSizeKB > 0 &&
                         t >= task.dEndTime - task.dStartTime;
    task.dEncodedTime = t;
    // Unsigned difference: right across the tick counter's wrap after 49.7 days. A reading in
    // the very millisecond the encoder started counts as 1 ms rather than dividing by zero.
    std::uint32_t elapsed = nowTick - startTick;
    if (elapsed == 0)
        elapsed = 1;
    task.dSpeed = t * 1000.0 / static_cast<double>(elapsed);
    return stopNow;
}

const char* FormatHMS(int nSeconds)
{
    static char s_szHMS[64];
    std::snprintf(s_szHMS, sizeof(s_szHMS), "%02d:%02d:%02d", nSeconds / 3600,
                  (nSeconds % 3600) / 60, nSeconds % 60);
    return s_szHMS;
}

int TruncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}
