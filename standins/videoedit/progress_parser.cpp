// Reads the key=value report that "ffmpeg -progress pipe:1" writes while it converts.
#include "standins/videoedit/progress_parser.h"

#include <cstdlib>

#include "standins/videoedit/media_probe.h"

namespace vedit {

void ProgressParser::Feed(const std::string& chunk)
{
    for (char c : chunk) {
        if (c == '\n' || c == '\r') {
            if (!m_partialLine.empty())
                HandleLine(m_partialLine);
            m_partialLine.clear();
        } else {
            m_partialLine += c;
        }
    }
}

void ProgressParser::HandleLine(const std::string& line)
{
    const size_t equals = line.find('=');
    if (equals == std::string::npos)
        return;
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    double seconds = -1;
    // "out_time_ms" is in microseconds despite its name; newer versions add "out_time_us".
    if (key == "out_time_us" || key == "out_time_ms") {
        if (!value.empty() && value != "N/A")
            seconds = std::atof(value.c_str()) / 1e6;
    } else if (key == "out_time") {
        if (!ParseClockTime(value, seconds))
            seconds = -1;
    } else if (key == "progress") {
        if (value == "end")
            m_ended = true;
        return;
    }
    if (seconds > m_position)
        m_position = seconds;
}

} // namespace vedit
