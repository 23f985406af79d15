// Points the user's "My Music" shell folder of the test Wine prefix at a folder of the test's
// own while it lives, and puts the old value back afterwards.
#pragma once
#include <windows.h>

#include <string>

namespace testpaths {

class MyMusicRedirect {
public:
    explicit MyMusicRedirect(const std::string& folder)
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &m_key, nullptr);
        char old[1024] = {};
        DWORD size = sizeof(old) - 1;
        DWORD type = 0;
        m_hadValue = RegQueryValueExA(m_key, kValue, nullptr, &type, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
        m_oldType = type;
        m_old.assign(old);
        RegSetValueExA(m_key, kValue, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>(folder.size() + 1));
    }
    ~MyMusicRedirect()
    {
        if (m_hadValue)
            RegSetValueExA(m_key, kValue, 0, m_oldType, reinterpret_cast<const BYTE*>(m_old.c_str()),
                           static_cast<DWORD>(m_old.size() + 1));
        else
            RegDeleteValueA(m_key, kValue);
        RegCloseKey(m_key);
    }
    MyMusicRedirect(const MyMusicRedirect&) = delete;
    MyMusicRedirect& operator=(const MyMusicRedirect&) = delete;

private:
    static constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    static constexpr const char* kValue = "My Music";
    HKEY m_key = nullptr;
    bool m_hadValue = false;
    DWORD m_oldType = REG_EXPAND_SZ;
    std::string m_old;
};

} // namespace testpaths
