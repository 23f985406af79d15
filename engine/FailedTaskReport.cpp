#include "engine/FailedTaskReport.h"

void EncoderOutputTail::Clear()
{
    m_lines.clear();
    m_current.clear();
}

void EncoderOutputTail::Add(const char* pszPiece)
{
    for (const char* p = pszPiece; p && *p; ++p) {
        if (*p == '\r' || *p == '\n') {
            EndLine();
        } else if (m_current.size() < kMaxLineLength) {
            // Control characters would garble the log; a tab reads as a blank.
            m_current += static_cast<unsigned char>(*p) < 0x20 ? ' ' : *p;
        }
    }
}

void EncoderOutputTail::EndLine()
{
    const std::size_t end = m_current.find_last_not_of(' ');
    if (end != std::string::npos) {
        m_lines.push_back(m_current.substr(0, end + 1));
        if (m_lines.size() > kMaxLines)
            m_lines.pop_front();
    }
    m_current.clear();
}

std::vector<std::string> EncoderOutputTail::Lines() const
{
    EncoderOutputTail copy = *this;
    copy.EndLine();
    return std::vector<std::string>(copy.m_lines.begin(), copy.m_lines.end());
}

std::string FormatFailedTaskEntry(const std::string& time, const std::string& source, const std::string& output,
                                  const std::vector<std::string>& encoderLines)
{
    std::string entry = "FAILED TASK:\n";
    entry += "       time            =   " + time + "\n";
    entry += "       source          =   " + source + "\n";
    entry += "       output          =   " + output + "\n";
    if (encoderLines.empty()) {
        entry += "       encoder output  =   (none)\n";
        return entry;
    }
    entry += "       encoder output  =   (last lines)\n";
    for (const std::string& line : encoderLines)
        entry += "           " + line + "\n";
    return entry;
}
