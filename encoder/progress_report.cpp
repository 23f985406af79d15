// Reading ffmpeg's -progress blocks and writing the classic report line.
#include "encoder/progress_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace venc {

namespace {

// Numbers that ffmpeg may print as "N/A" keep their previous value.
bool ReadNumber(const std::string& text, double& value)
{
    const char* begin = text.c_str();
    while (*begin == ' ')
        ++begin;
    char* end = nullptr;
    const double parsed = std::strtod(begin, &end);
    // "inf", "nan" and 1e999 are no figures: converting them to an integer would be undefined.
    if (end == begin || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

// "hh:mm:ss.micro", possibly with a leading minus.
bool ReadClock(const std::string& text, double& seconds)
{
    int hours = 0, minutes = 0;
    double secs = 0.0;
    const bool negative = !text.empty() && text[0] == '-';
    if (std::sscanf(text.c_str() + (negative ? 1 : 0), "%d:%d:%lf", &hours, &minutes, &secs) != 3)
        return false;
    if (!std::isfinite(secs))
        return false;
    seconds = hours * 3600.0 + minutes * 60.0 + secs;
    if (negative)
        seconds = -seconds;
    return true;
}

// A count (frames, bytes) that fits a long long; negative ones are no counts.
bool ReadCount(const std::string& text, long long& count)
{
    double value = 0.0;
    if (!ReadNumber(text, value) || value < 0.0 || value >= 9.0e18)
        return false;
    count = static_cast<long long>(value);
    return true;
}

} // namespace

bool ProgressReader::Feed(const char* data, size_t length)
{
    m_completed = false;
    for (size_t i = 0; i < length; ++i) {
        const char c = data[i];
        if (c == '\n') {
            TakeLine(m_partialLine);
            m_partialLine.clear();
        } else if (c != '\r') {
            // A line this long is not progress; drop it rather than grow without bound.
            if (m_partialLine.size() < 4096)
                m_partialLine += c;
        }
    }
    return m_completed;
}

void ProgressReader::TakeLine(const std::string& line)
{
    const auto equals = line.find('=');
    if (equals == std::string::npos)
        return;
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    double number = 0.0;
    if (key == "frame") {
        ReadCount(value, m_pending.frame);
    } else if (key == "stream_0_0_q") {
        // The video stream is mapped first, so its quantiser is stream 0's.
        // -1 marks "no quantiser" (the last block); keep the last real one.
        if (ReadNumber(value, number) && number >= 0.0)
            m_pending.quality = number;
    } else if (key == "bitrate") {
        if (ReadNumber(value, number))
            m_pending.kbitsPerSecond = number;
    } else if (key == "total_size") {
        ReadCount(value, m_pending.totalBytes);
    } else if (key == "out_time_us" || key == "out_time_ms") {
        // Both are microseconds (the older name is misleading).
        if (ReadNumber(value, number))
            m_pending.outSeconds = number / 1e6;
    } else if (key == "out_time") {
        double seconds = 0.0;
        if (ReadClock(value, seconds))
            m_pending.outSeconds = seconds;
    } else if (key == "progress") {
        m_pending.end = (value == "end");
        if (m_pending.outSeconds < 0.0) // the first block may precede the first frame
            m_pending.outSeconds = 0.0;
        m_latest = m_pending;
        m_completed = true;
    }
}

std::string FormatProgressLine(const ProgressSnapshot& s)
{
    char line[160];
    const long long kilobytes = s.totalBytes / 1024;
    // A quantiser, time or bitrate beyond any real encode (1e300 is a finite number) would
    // print hundreds of digits and push size and time out of the line: hold them to what a
    // field can show.
    const double quality = std::min(std::max(s.quality, -1.0), 999.9);
    const double seconds = std::min(std::max(s.outSeconds, 0.0), 9.9e7);
    const double kbits = std::min(std::max(s.kbitsPerSecond, 0.0), 9.9e7);
    std::snprintf(line, sizeof(line), "frame=%5lld q=%.1f size=%8lldkB time=%.2f bitrate=%6.1fkbits/s", s.frame,
                  quality, kilobytes, seconds, kbits);
    return line;
}

} // namespace venc
