#include "engine/ConversionLog.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

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
    char entry[512];
    std::snprintf(entry, sizeof(entry),
                  "ERROR:   API         =   %s.\n"
                  "       error   code   =   %d.\n"
                  "       message         =   %s.\n",
                  pszApiName ? pszApiName : "", static_cast<int>(code), message.Text());
    AppendLog(entry);
}
