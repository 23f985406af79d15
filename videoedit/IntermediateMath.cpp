// See IntermediateMath.h.
#include "videoedit/IntermediateMath.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace intermediate {

int RandomInRange(int a, int b)
{
    if (b < a)
        return a;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    // RAND_MAX + 1 in long arithmetic: the product never overflows, the result stays in range.
    const long long span = static_cast<long long>(b) - a + 1;
    return static_cast<int>(a + static_cast<long long>(std::rand()) * span / (static_cast<long long>(RAND_MAX) + 1));
}

Progress ComputeProgress(double dPosition, double dTotal, unsigned long nElapsedMs)
{
    Progress progress;
    const double dSpeed = nElapsedMs > 0 ? dPosition * 1000.0 / nElapsedMs : 0.0;
    progress.dPercent = dTotal > 0 ? dPosition * (100.0 / dTotal) : 0.0;
    if (progress.dPercent > 100.0)
        progress.dPercent = 100.0;
    if (progress.dPercent < 0.0 || !std::isfinite(progress.dPercent))
        progress.dPercent = 0.0;
    if (dSpeed > 0 && dPosition > 20)
        progress.dRemain = (dTotal - dPosition) / dSpeed;
    else
        progress.dRemain = dTotal - dPosition;
    if (progress.dRemain < 0 || !std::isfinite(progress.dRemain))
        progress.dRemain = 0;
    return progress;
}

int ChooseCodec(const std::vector<std::string>& names, const char* pszPreferred, const char* pszFallback)
{
    int nPreferred = -1;
    int nFallback = -1;
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        if (names[i].find(pszPreferred) != std::string::npos)
            nPreferred = i;
        if (names[i].find(pszFallback) != std::string::npos)
            nFallback = i;
    }
    return nPreferred >= 0 ? nPreferred : nFallback;
}

std::string IntermediatePath(const std::string& dir, const std::string& outputName, int nNumber, bool bAvi)
{
    const std::string path = dir + outputName + "_" + std::to_string(nNumber) + (bAvi ? ".avi" : ".mpg");
    return path.size() <= 259 ? path : std::string();
}

} // namespace intermediate
