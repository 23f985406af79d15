// The "DefaultProfile" number of the profile file; pure, so it is also built natively.
#include <climits>
#include <cstdlib>

#include "engine/ProfileList.h"

int ParseDefaultProfile(const CString& strValue)
{
    const long lValue = std::strtol(strValue, nullptr, 10);
    if (lValue > INT_MAX || lValue < INT_MIN)
        return -1; // selects nothing, as any number beyond the list does
    return static_cast<int>(lValue);
}
