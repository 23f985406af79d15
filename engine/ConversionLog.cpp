#include "engine/ConversionLog.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "framework/TextBytes.h"

#include "engine/FailedTaskReport.h"
#include "engine/UserFolders.h"

void AppendLog(const char* pszText)
{
    // "a+t": read and write, created when missing, never truncated, every write at the end.
    const std::string path = UserDataFolder() + "log.txt";
    FILE* log = std::fopen(path.c_str(), "a+t");
    if (!log)
        return;
    std::fseek(log, 0, SEEK_END);
    std::fputs("\n", log);
    std::fputs(pszText ? pszText : "", log);
    std::fclose(log);
}

namespace {

// The system's message for an error code, owned by the system until freed.
class SystemMessage {
public:
    explicit SystemMessage(DWORD code)
    {
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                       reinterpret_cast<LPSTR>(&m_text), 0, nullptr);
        // System texts end in CR LF; the entry puts its own period and line break after them.
        if (m_text) {
            std::size_t n = std::strlen(m_text);
            while (n > 0 && (m_text[n - 1] == '\r' || m_text[n - 1] == '\n' || m_text[n - 1] == ' '))
                m_text[--n] = '\0';
        }
    }
    ~SystemMessage() { LocalFree(m_text); }
    SystemMessage(const SystemMessage&) = delete;
    SystemMessage& operator=(const SystemMessage&) = delete;
    const char* Text() const { return m_text ? m_text : ""; }

private:
    char* m_text = nullptr;
};

} // namespace

void ReportApiError(const char* pszApiName)
{
    // Taken first: looking up the message text must not change the code that is reported.
    const DWORD code = GetLastError();
    const SystemMessage message(code);
    // Formatted whole, then cut to the classic 511 bytes between characters: a message in
    // the system's language may be multi-byte text.
    const char* const pszFormat = "ERROR:   API         =   %s.\n"
                                  "       error   code   =   %d.\n"
                                  "       message         =   %s.\n";
    const char* const pszName = pszApiName ? pszApiName : "";
    const int nLength = std::snprintf(nullptr, 0, pszFormat, pszName, static_cast<int>(code), message.Text());
    std::string entry(nLength > 0 ? static_cast<size_t>(nLength) : 0, '\0');
    std::snprintf(&entry[0], entry.size() + 1, pszFormat, pszName, static_cast<int>(code), message.Text());
    AppendLog(textbytes::CutToFit(entry, 511).c_str());
}

void LogFailedTask(const char* pszSource, const char* pszOutput, const std::vector<std::string>& encoderLines)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char time[32];
    std::snprintf(time, sizeof(time), "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    AppendLog(FormatFailedTaskEntry(time, pszSource ? pszSource : "", pszOutput ? pszOutput : "", encoderLines).c_str());
}
