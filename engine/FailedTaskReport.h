// What "log.txt" says about a task that failed: when, which source, which output, and the
// last lines the encoder wrote (its refusal or its error). Pure text handling, no windows.
#pragma once

#include <deque>
#include <string>
#include <vector>

// Keeps the last few lines of everything an encoder wrote, from the pieces the read loop
// gets: a line may be split over pieces, and progress lines end in a carriage return.
class EncoderOutputTail {
public:
    static constexpr std::size_t kMaxLines = 8;
    static constexpr std::size_t kMaxLineLength = 200;

    void Clear();
    void Add(const char* pszPiece);
    // The kept lines, oldest first, the unfinished last line included; blank lines dropped.
    std::vector<std::string> Lines() const;

private:
    void EndLine();
    std::deque<std::string> m_lines;
    std::string m_current;
};

// One log entry for a failed task; every line ends in "\n".
std::string FormatFailedTaskEntry(const std::string& time, const std::string& source, const std::string& output,
                                  const std::vector<std::string>& encoderLines);
