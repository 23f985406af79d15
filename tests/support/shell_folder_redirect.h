// Points one of the user's shell folders of the test Wine prefix (a value of "User Shell
// Folders": "My Music", "Local AppData", ...) at a folder of the test's own while it lives,
// and puts the old value back afterwards.
#pragma once
#include <windows.h>

#include <string>

namespace testpaths {

class ShellFolderRedirect {
public:
    ShellFolderRedirect(const char* pszValue, const std::string& folder) : m_value(pszValue)
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &m_key, nullptr);
        char old[1024] = {};
        DWORD size = sizeof(old) - 1;
        DWORD type = 0;
        m_hadValue = RegQueryValueExA(m_key, m_value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(old), &size) ==
                     ERROR_SUCCESS;
        m_oldType = type;
        m_old.assign(old);
        RegSetValueExA(m_key, m_value.c_str(), 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>(folder.size() + 1));
    }
    ~ShellFolderRedirect()
    {
        if (m_hadValue)
            RegSetValueExA(m_key, m_value.c_str(), 0, m_oldType, reinterpret_cast<const BYTE*>(m_old.c_str()),
                           static_cast<DWORD>(m_old.size() + 1));
        else
            RegDeleteValueA(m_key, m_value.c_str());
        RegCloseKey(m_key);
    }
    ShellFolderRedirect(const ShellFolderRedirect&) = delete;
    ShellFolderRedirect& operator=(const ShellFolderRedirect&) = delete;

private:
    static constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    std::string m_value;
    HKEY m_key = nullptr;
    bool m_hadValue = false;
    DWORD m_oldType = REG_EXPAND_SZ;
    std::string m_old;
};

} // namespace testpaths
