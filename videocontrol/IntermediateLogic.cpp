// The arithmetic and choices of the intermediate transcoding step.
#include "videocontrol/IntermediateLogic.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "engine/OutputPath.h"

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

bool FormatIntermediatePath(const char* szFolder, const char* szOutputName, const char* szNameFormat,
                            int nRandom, char* szPath, size_t nPathSize)
{
    if (nPathSize > 0)
        szPath[0] = '\0';
    // The same safe name as the output file's: a title cannot lead the file into another
    // folder ("..\"), an alternate data stream (":") or no file at all ("?", "*", "<", ...).
    const std::string safeName = outputpath::SafeFileName(szOutputName);
    const size_t nDir = std::strlen(szFolder);
    const size_t nName = safeName.size();
    if (nDir + nName >= kPathBuffer)
        return false;
    char szBase[kPathBuffer];
    std::memcpy(szBase, szFolder, nDir);
    std::memcpy(szBase + nDir, safeName.c_str(), nName + 1);
    const int nWritten = std::snprintf(szPath, nPathSize, szNameFormat, szBase, nRandom);
    if (nWritten < 0 || static_cast<size_t>(nWritten) >= nPathSize || static_cast<size_t>(nWritten) >= kPathBuffer) {
        if (nPathSize > 0)
            szPath[0] = '\0';
        return false;
    }
    return true;
}

bool IsIntermediateFileName(const std::string& fileName)
{
    const size_t nExtension = 4; // ".avi" or ".mpg"
    const size_t nDigits = 5;    // 10000 to 50000
    if (fileName.size() < 1 + nDigits + nExtension)
        return false;
    const std::string extension = fileName.substr(fileName.size() - nExtension);
    if (extension != ".avi" && extension != ".mpg")
        return false;
    const size_t nUnderscore = fileName.size() - nExtension - nDigits - 1;
    if (fileName[nUnderscore] != '_')
        return false;
    int nNumber = 0;
    for (size_t i = nUnderscore + 1; i < nUnderscore + 1 + nDigits; ++i) {
        if (fileName[i] < '0' || fileName[i] > '9')
            return false;
        nNumber = nNumber * 10 + (fileName[i] - '0');
    }
    return nNumber >= kIntermediateNumberMin && nNumber <= kIntermediateNumberMax;
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

bool IntermediateCoversRange(double dWritten, double dWanted)
{
    if (!(dWritten > 0.0))
        return false;
    const double dAllowance = std::max(1.0, dWanted * 0.02);
    return dWritten >= dWanted - dAllowance;
}
