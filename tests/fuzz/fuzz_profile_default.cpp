// The "DefaultProfile" value of the profile file: any text the file may hold. A number within
// int is taken as it is written; anything else selects item 0 (no number) or nothing (-1).
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/ProfileList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int n = ParseDefaultProfile(text.c_str());

    // The reading an ini value gets: leading blanks, a sign, decimal digits, anything after.
    const char* p = text.c_str();
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f')
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    long long value = 0;
    bool beyond = false;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > 1LL + INT_MAX) {
            beyond = true;
            break;
        }
    }
    if (negative)
        value = -value;
    const long long expected = (beyond || value > INT_MAX || value < INT_MIN) ? -1 : value;
    if (n != expected) {
        std::fprintf(stderr, "property broken: DefaultProfile [%s] read as %d, not %lld\n", text.c_str(), n, expected);
        std::abort();
    }
    return 0;
}
