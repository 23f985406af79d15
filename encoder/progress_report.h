// ffmpeg's machine-readable progress (key=value lines, one block per update ending in
// "progress=") turned into the classic one-line report the engine reads:
//   frame=  250 q=5.0 size=     512kB time=10.00 bitrate= 419.4kbits/s
// Pure code, no Windows calls.
#pragma once

#include <cstdint>
#include <string>

namespace venc {

struct ProgressSnapshot {
    long long frame = 0;
    double quality = 0.0;      // quantiser of the first video stream
    long long totalBytes = 0;  // output size so far
    double outSeconds = 0.0;   // position reached in the output
    double kbitsPerSecond = 0.0;
    bool end = false;          // "progress=end": the last block
};

// Collects blocks from arbitrary pieces of ffmpeg's progress output.
class ProgressReader {
public:
    // Appends a piece; returns true when it completed at least one block. The newest
    // complete block is then in Latest().
    bool Feed(const char* data, size_t length);
    const ProgressSnapshot& Latest() const { return m_latest; }

private:
    void TakeLine(const std::string& line);
    bool m_completed = false;
    std::string m_partialLine;
    ProgressSnapshot m_pending;
    ProgressSnapshot m_latest;
};

// The classic line without a line break: size right-aligned in 8 columns and followed by
// kB, time in seconds with two decimals (its point within the first five characters up to
// 9999.99 s).
std::string FormatProgressLine(const ProgressSnapshot& snapshot);

} // namespace venc
