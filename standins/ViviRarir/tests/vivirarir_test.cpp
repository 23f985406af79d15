// ViviRarir.exe as Varnello runs it: one path argument, the fallback folder, exit codes, and
// never a window. The test prefix has no iTunes, so the COM path reports "not installed".
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "tests/support/my_music_redirect.h"
#include "tests/support/test_paths.h"

namespace {

struct WindowSearch {
    DWORD processId;
    int visible;
};

BOOL CALLBACK CountVisible(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->processId && IsWindowVisible(hwnd))
        ++search->visible;
    return TRUE;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

constexpr char kStandInClsid[] = "{5B0C7A37-0E5D-4C3A-9A41-6D2B1F7C9E11}";

// Registers "iTunes.Application" in the test prefix, served by the recording stand-in DLL
// beside the test (or by nothing at all), and removes it again.
class ITunesRegistration {
public:
    explicit ITunesRegistration(bool withServer)
    {
        m_ok = Set("Software\\Classes\\iTunes.Application\\CLSID", nullptr, kStandInClsid);
        if (withServer) {
            char exe[MAX_PATH] = {};
            GetModuleFileNameA(nullptr, exe, sizeof(exe));
            std::string dll = exe;
            dll = dll.substr(0, dll.find_last_of('\\') + 1) + "itunes_standin.dll";
            const std::string key = std::string("Software\\Classes\\CLSID\\") + kStandInClsid + "\\InprocServer32";
            m_ok = Set(key.c_str(), nullptr, dll.c_str()) && m_ok;
            m_ok = Set(key.c_str(), "ThreadingModel", "Apartment") && m_ok;
        }
    }
    ~ITunesRegistration()
    {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Classes\\iTunes.Application");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string("Software\\Classes\\CLSID\\") + kStandInClsid).c_str());
    }
    ITunesRegistration(const ITunesRegistration&) = delete;
    ITunesRegistration& operator=(const ITunesRegistration&) = delete;

    // Every value was written and COM finds the name: a test that relies on the registration
    // must not pass because nothing was registered.
    bool Registered() const
    {
        CLSID clsid{}, expected{};
        std::wstring wide(kStandInClsid, kStandInClsid + strlen(kStandInClsid));
        return m_ok && CLSIDFromProgID(L"iTunes.Application", &clsid) == S_OK &&
               CLSIDFromString(wide.c_str(), &expected) == NOERROR && IsEqualCLSID(clsid, expected);
    }

private:
    static bool Set(const char* key, const char* name, const char* value)
    {
        HKEY hKey = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
            return false;
        const LONG written = RegSetValueExA(hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                            static_cast<DWORD>(strlen(value) + 1));
        RegCloseKey(hKey);
        return written == ERROR_SUCCESS;
    }

    bool m_ok = false;
};

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class ViviRarirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof(temp), temp);
        m_root = std::string(temp) + "vivirarir_test_" + std::to_string(GetCurrentProcessId());
        m_music = m_root + "\\Music";
        m_videos = m_root + "\\my videos";
        CreateDirectoryA(m_root.c_str(), nullptr);
        CreateDirectoryA(m_music.c_str(), nullptr);
        CreateDirectoryA(m_videos.c_str(), nullptr);
        m_redirect = std::make_unique<testpaths::MyMusicRedirect>(m_music);
        m_clip = m_videos + "\\my clip.mp4";
        std::ofstream(m_clip, std::ios::binary) << std::string(100000, 'v');
    }

    void TearDown() override
    {
        m_redirect.reset();
        std::string command = "cmd /c rmdir /s /q \"" + m_root + "\"";
        RunHidden(command);
    }

    static DWORD RunHidden(std::string command)
    {
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                            nullptr, &si, &pi))
            return 0xFFFFFFFF;
        WaitForSingleObject(pi.hProcess, 30000);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return code;
    }

    // Runs ViviRarir with the given arguments, watching for any window it shows meanwhile.
    DWORD Run(const std::string& arguments)
    {
        const std::string exe = testpaths::DistDir() + "app\\ViviRarir.exe";
        std::string command = "ViviRarir " + arguments;
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                            nullptr, nullptr, &si, &pi)) {
            ADD_FAILURE() << "cannot start " << exe;
            return 0xFFFFFFFF;
        }
        ResumeThread(pi.hThread);
        const DWORD start = GetTickCount();
        while (WaitForSingleObject(pi.hProcess, 1) == WAIT_TIMEOUT && GetTickCount() - start < 30000) {
            WindowSearch search{pi.dwProcessId, 0};
            EnumWindows(CountVisible, reinterpret_cast<LPARAM>(&search));
            m_windowsSeen += search.visible;
        }
        DWORD code = 0xFFFFFFFF;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
            GetExitCodeProcess(pi.hProcess, &code);
        else
            TerminateProcess(pi.hProcess, 99);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return code;
    }

    std::string AutoAdd(const char* media)
    {
        const std::string itunes = m_music + "\\iTunes";
        const std::string mediaDir = itunes + "\\" + media;
        const std::string folder = mediaDir + "\\Automatically Add to iTunes";
        CreateDirectoryA(itunes.c_str(), nullptr);
        CreateDirectoryA(mediaDir.c_str(), nullptr);
        CreateDirectoryA(folder.c_str(), nullptr);
        return folder;
    }

    std::string m_root, m_music, m_videos, m_clip;
    std::unique_ptr<testpaths::MyMusicRedirect> m_redirect;
    int m_windowsSeen = 0;
};

} // namespace

TEST_F(ViviRarirTest, CopiesIntoTheAutoAddFolderWithoutOverwriting)
{
    const std::string folder = AutoAdd("iTunes Media");
    EXPECT_EQ(Run("\"" + m_clip + "\" "), 1u) << "a quoted path with blanks is one argument";
    EXPECT_EQ(ReadWholeFile(folder + "\\my clip.mp4"), std::string(100000, 'v'));

    // A file of the same name still waiting there is kept; the new one gets a number.
    std::ofstream(m_clip, std::ios::binary) << "second";
    EXPECT_EQ(Run("\"" + m_clip + "\""), 1u);
    EXPECT_EQ(ReadWholeFile(folder + "\\my clip.mp4"), std::string(100000, 'v'));
    EXPECT_EQ(ReadWholeFile(folder + "\\my clip_2.mp4"), "second");
    EXPECT_TRUE(Exists(m_clip)) << "the converted file stays where it is";
    EXPECT_EQ(m_windowsSeen, 0);
}

TEST_F(ViviRarirTest, FindsTheOlderMediaFolderName)
{
    const std::string folder = AutoAdd("iTunes Music");
    EXPECT_EQ(Run("\"" + m_clip + "\""), 1u);
    EXPECT_TRUE(Exists(folder + "\\my clip.mp4"));
}

TEST_F(ViviRarirTest, DoesNothingWithoutITunesOrItsFolder)
{
    EXPECT_EQ(Run("\"" + m_clip + "\""), 2u);
    EXPECT_FALSE(Exists(m_music + "\\iTunes")) << "no folder is created";
    EXPECT_EQ(m_windowsSeen, 0);
}

TEST_F(ViviRarirTest, RefusesMissingFilesAndWrongArguments)
{
    const std::string folder = AutoAdd("iTunes Media");
    EXPECT_EQ(Run("\"" + m_videos + "\\missing.mp4\""), 4u);
    EXPECT_EQ(Run("\"" + m_videos + "\""), 4u) << "a folder is not a file";
    EXPECT_EQ(Run(""), 3u);
    EXPECT_EQ(Run("\"" + m_clip + "\" extra"), 3u);
    EXPECT_EQ(Run(m_clip), 3u) << "an unquoted path with a blank is two arguments";

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.mp4").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "nothing was copied";
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    EXPECT_EQ(m_windowsSeen, 0);
}

TEST_F(ViviRarirTest, AddsThroughITunesAndWaitsUntilTheOperationIsDone)
{
    const std::string folder = AutoAdd("iTunes Media");
    const std::string record = m_root + "\\itunes.txt";
    SetEnvironmentVariableA("VIVIRARIR_ITUNES_RECORD", record.c_str());
    {
        ITunesRegistration itunes(true);
        ASSERT_TRUE(itunes.Registered()) << "iTunes.Application could not be registered";
        EXPECT_EQ(Run("\"" + m_clip + "\""), 0u);
    }
    SetEnvironmentVariableA("VIVIRARIR_ITUNES_RECORD", nullptr);
    EXPECT_EQ(ReadWholeFile(record), "created\nAddFile " + m_clip + "\ndone after 4 questions\n");
    EXPECT_FALSE(Exists(folder + "\\my clip.mp4")) << "iTunes took it: no copy";
    EXPECT_EQ(m_windowsSeen, 0);
}

TEST_F(ViviRarirTest, FallsBackToTheFolderWhenITunesCannotBeStarted)
{
    const std::string folder = AutoAdd("iTunes Media");
    {
        ITunesRegistration itunes(false); // registered, but no server behind it
        ASSERT_TRUE(itunes.Registered()) << "iTunes.Application could not be registered";
        EXPECT_EQ(Run("\"" + m_clip + "\""), 1u);
    }
    EXPECT_TRUE(Exists(folder + "\\my clip.mp4"));
}

TEST_F(ViviRarirTest, GivesUpOnAStuckITunesAndExits)
{
    // iTunes never finishes adding: ViviRarir ends all the same once its time is up (shortened
    // here from its two minutes), so Varnello, which waits for it, goes on.
    SetEnvironmentVariableA("VIVIRARIR_ITUNES_STUCK", "1");
    SetEnvironmentVariableA("VIVIRARIR_TIME_LIMIT_MS", "1500");
    DWORD code = 0;
    DWORD took = 0;
    {
        ITunesRegistration itunes(true);
        const DWORD start = GetTickCount();
        code = Run("\"" + m_clip + "\"");
        took = GetTickCount() - start;
    }
    SetEnvironmentVariableA("VIVIRARIR_ITUNES_STUCK", nullptr);
    SetEnvironmentVariableA("VIVIRARIR_TIME_LIMIT_MS", nullptr);
    EXPECT_EQ(code, 6u) << "ViviRarir did not give up";
    EXPECT_LT(took, 10000u);
    EXPECT_EQ(m_windowsSeen, 0);
}
