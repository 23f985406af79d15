// The arithmetic and choices of the intermediate transcoding step.
#include "videoedit/IntermediateLogic.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {
constexpr size_t kPathBuffer = 260; // the program's path buffers, terminator included
}

int ChooseIntermediateCodec(const std::vector<std::string>& names, const char* szPreferred, const char* szFallback)
{
    int nPreferred = -1;
    int nFallback = -1;
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i].find(szPreferred) != std::string::npos)
            nPreferred = static_cast<int>(i);
        if (names[i].find(szFallback) != std::string::npos)
            nFallback = static_cast<int>(i);
    }
    return nPreferred >= 0 ? nPreferred : nFallback;
}

IntermediateSettings MakeIntermediateSettings(int nVideoCodec, int nAudioCodec)
{
    IntermediateSettings settings;
    if (nVideoCodec >= 0 && nAudioCodec >= 0) {
        settings.bAvi = true;
        settings.fFrameRate = 25.0f;
        settings.nFormat = 8;
        settings.szNameFormat = "%s_%d.avi";
    }
    return settings;
}

bool FormatIntermediatePath(const char* szModuleDir, const char* szOutputName, const char* szNameFormat,
                            int nRandom, char* szPath, size_t nPathSize)
{
    if (nPathSize > 0)
        szPath[0] = '\0';
    const size_t nDir = std::strlen(szModuleDir);
    const size_t nName = std::strlen(szOutputName);
    if (nDir + nName >= kPathBuffer)
        return false;
    char szBase[kPathBuffer];
    std::memcpy(szBase, szModuleDir, nDir);
    std::memcpy(szBase + nDir, szOutputName, nName + 1);
    const int nWritten = std::snprintf(szPath, nPathSize, szNameFormat, szBase, nRandom);
    if (nWritten < 0 || static_cast<size_t>(nWritten) >= nPathSize || static_cast<size_t>(nWritten) >= kPathBuffer) {
        if (nPathSize > 0)
            szPath[0] = '\0';
        return false;
    }
    return true;
}

IntermediateProgress ComputeIntermediateProgress(double dPos, double dTotal, unsigned long nElapsedMs)
{
    IntermediateProgress progress;
    if (!std::isfinite(dPos) || dPos < 0)
        dPos = 0;
    if (!std::isfinite(dTotal) || dTotal < 0)
        dTotal = 0;
    // No elapsed time yet means no speed yet, not an infinite one.
    const double dSpeed = nElapsedMs > 0 ? dPos * 1000.0 / static_cast<double>(nElapsedMs) : 0.0;
    if (dTotal > 0) {
        progress.dPercent = dPos * (100.0 / dTotal);
        if (progress.dPercent > 100)
            progress.dPercent = 100;
    }
    const double dLeft = dTotal > dPos ? dTotal - dPos : 0.0;
    progress.dRemain = (dSpeed > 0 && dPos > 20) ? dLeft / dSpeed : dLeft;
    return progress;
}

int RandomInRange(int a, int b)
{
    if (b < a)
        return a;
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    // In 64 bits: rand() * (b - a + 1) overflows an int for wide ranges.
    const long long nSpan = static_cast<long long>(b) - a + 1;
    return static_cast<int>(a + static_cast<long long>(std::rand()) * nSpan / (static_cast<long long>(RAND_MAX) + 1));
}
