// The arithmetic and choices of the intermediate transcoding step, apart from any window or
// COM call: which codecs to ask the video-editing control for, the output settings that
// follow, the intermediate file's name, the progress figures, and RandomInRange.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// The last index whose name contains szPreferred (case-sensitive), else the last whose name
// contains szFallback, else -1: the list's order does not decide between the two.
int ChooseIntermediateCodec(const std::vector<std::string>& names, const char* szPreferred, const char* szFallback);

struct IntermediateSettings {
    bool bAvi = false;      // both codecs found: AVI with them; else MPEG
    short nWidth = 320;
    short nHeight = 240;
    short nColorDepth = 24;
    float fFrameRate = 23.976f;
    long nFormat = 6;
    const char* szNameFormat = "%s_%d.mpg";
};

IntermediateSettings MakeIntermediateSettings(int nVideoCodec, int nAudioCodec);

// The intermediate file's path: szFolder (with its trailing backslash) and the output name
// made safe for a file name as the output file's is, then formatted with the settings' name
// format and nRandom. So the file always lies in szFolder, whatever the title holds. False
// (and szPath empty) when the joined text does not fit the program's 260-character path
// buffers or the result is too long to be a path.
bool FormatIntermediatePath(const char* szFolder, const char* szOutputName, const char* szNameFormat,
                            int nRandom, char* szPath, size_t nPathSize);

// The lowest and highest numbers that an intermediate file's name carries.
constexpr int kIntermediateNumberMin = 10000;
constexpr int kIntermediateNumberMax = 50000;

// True for a name that FormatIntermediatePath makes (a name, "_", a number from
// kIntermediateNumberMin to kIntermediateNumberMax, ".avi" or ".mpg"): the files that a
// crashed run may have left, and the only ones that the clean-up at start removes.
bool IsIntermediateFileName(const std::string& fileName);

struct IntermediateProgress {
    double dPercent = 0; // 0 to 100
    double dRemain = 0;  // seconds, 0 or more
};

// From the control's position and total (seconds of the source) and the milliseconds since
// the step started: percent done, and the remaining time at the speed so far once more than
// 20 source seconds are done (before that, total - position, as if at real time). A total of
// 0 and an event in the step's first millisecond give sound figures, not a division by zero.
IntermediateProgress ComputeIntermediateProgress(double dPos, double dTotal, unsigned long nElapsedMs);

// True when an intermediate file of dWritten seconds holds the trimmed range of dWanted
// seconds: short by at most a second or 2 %, what the control's frame rate and the ends of
// the streams account for. A file cut off by a writer that died is shorter.
bool IntermediateCoversRange(double dWritten, double dWanted);

// A number from a to b inclusive from the C library's generator, seeded with the time in
// seconds; a when b < a.
int RandomInRange(int a, int b);
