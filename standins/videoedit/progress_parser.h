// Reads the key=value report that "ffmpeg -progress pipe:1" writes while it converts.
// Pure code: no windows.h.
#pragma once
#include <string>

namespace vedit {

class ProgressParser {
public:
    // Feeds a piece of output as it arrives; pieces may split lines anywhere.
    void Feed(const std::string& chunk);

    // Seconds of output written so far (never decreases, never negative).
    double PositionSeconds() const { return m_position; }
    // True once ffmpeg has reported "progress=end".
    bool Ended() const { return m_ended; }

private:
    void HandleLine(const std::string& line);

    std::string m_partialLine;
    double m_position = 0;
    bool m_ended = false;
};

} // namespace vedit
