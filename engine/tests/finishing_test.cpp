// The finishing actions: ViviRarir run on a finished file (the real one, staged in dist/app)
// and the shut-down sequence recorded through its seam.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/FinishingActions.h"
#include "ui/ShutdownWarning.h"
#include "framework/AfxSeams.h"
#include "tests/support/my_music_redirect.h"
#include "tests/support/test_paths.h"

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class AddToiTunesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof(temp), temp);
        m_root = std::string(temp) + "finishing_test_" + std::to_string(GetCurrentProcessId());
        m_auto = m_root + "\\Music\\iTunes\\iTunes Media\\Automatically Add to iTunes";
        for (const char* part : {"", "\\Music", "\\Music\\iTunes", "\\Music\\iTunes\\iTunes Media",
                                 "\\Music\\iTunes\\iTunes Media\\Automatically Add to iTunes", "\\out dir"})
            CreateDirectoryA((m_root + part).c_str(), nullptr);
        m_redirect = std::make_unique<testpaths::MyMusicRedirect>(m_root + "\\Music");
        m_output = m_root + "\\out dir\\my clip.mp4";
        std::ofstream(m_output, std::ios::binary) << "mp4 data";
        GetCurrentDirectoryA(sizeof(m_oldDir), m_oldDir);
    }

    void TearDown() override
    {
        SetCurrentDirectoryA(m_oldDir);
        m_redirect.reset();
        DeleteFileA((m_auto + "\\my clip.mp4").c_str());
        DeleteFileA(m_output.c_str());
        for (const char* part : {"\\Music\\iTunes\\iTunes Media\\Automatically Add to iTunes",
                                 "\\Music\\iTunes\\iTunes Media", "\\Music\\iTunes", "\\Music", "\\out dir", ""})
            RemoveDirectoryA((m_root + part).c_str());
    }

    std::string m_root, m_auto, m_output;
    std::unique_ptr<testpaths::MyMusicRedirect> m_redirect;
    char m_oldDir[MAX_PATH] = {};
};

// Records what the shut-down would do; the privilege answer is given or left to the system.
class RecordingSeam : public ShutdownSeam {
public:
    DWORD platform = VER_PLATFORM_WIN32_NT;
    enum class Privilege { Granted, Refused, System } privilege = Privilege::Granted;
    std::vector<std::string> calls;
    std::string text, caption;
    HWND owner = nullptr;
    UINT type = 0;
    UINT exitFlags = 0;

    DWORD GetPlatformId() override
    {
        calls.push_back("version");
        return platform;
    }
    bool EnableShutdownPrivilege() override
    {
        calls.push_back("privilege");
        if (privilege == Privilege::System)
            return ShutdownSeam::EnableShutdownPrivilege();
        return privilege == Privilege::Granted;
    }
    // The message box, answered through the framework's seam.
    int ShowMessage(HWND hOwner, const char* pszText, const char* pszCaption, UINT nType)
    {
        calls.push_back("message");
        owner = hOwner;
        text = pszText;
        caption = pszCaption;
        type = nType;
        return IDOK;
    }
    void ShutDown(UINT nFlags) override
    {
        calls.push_back("exit");
        exitFlags = nFlags;
    }
};

class ShutdownTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = SetShutdownSeam(&seam);
        m_previousBox = AfxSetMessageBoxSeam([this](HWND h, const char* t, const char* c, UINT n) {
            return seam.ShowMessage(h, t, c, n);
        });
    }
    void TearDown() override
    {
        SetShutdownSeam(m_previous);
        AfxSetMessageBoxSeam(m_previousBox);
    }
    RecordingSeam seam;
    HWND owner = reinterpret_cast<HWND>(0x1234);

private:
    ShutdownSeam* m_previous = nullptr;
    AfxMessageBoxSeam m_previousBox;
};

using Calls = std::vector<std::string>;

} // namespace

TEST_F(AddToiTunesTest, HandsThePathWithBlanksToViviRarirAndWaitsForIt)
{
    // During a run the working directory is the app folder, where ViviRarir lies.
    ASSERT_TRUE(SetCurrentDirectoryA((testpaths::DistDir() + "app").c_str()));
    AddToiTunes(m_output.c_str());
    // No polling: when AddToiTunes returns, ViviRarir has finished its copy.
    EXPECT_TRUE(Exists(m_auto + "\\my clip.mp4"));
}

TEST_F(AddToiTunesTest, SkipsAViviRarirThatCannotBeFound)
{
    ASSERT_TRUE(SetCurrentDirectoryA(m_root.c_str()));
    const DWORD start = GetTickCount();
    AddToiTunes(m_output.c_str());
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_FALSE(Exists(m_auto + "\\my clip.mp4"));
}

TEST_F(ShutdownTest, PowersOffAndForcesProgramsClosedOnTheNTFamily)
{
    ShutdownComputerOrWarn(owner);
    EXPECT_EQ(seam.calls, (Calls{"version", "privilege", "exit"}));
    EXPECT_EQ(seam.exitFlags, static_cast<UINT>(EWX_POWEROFF | EWX_FORCE));
    EXPECT_EQ(seam.exitFlags, 12u);
}

TEST_F(ShutdownTest, SaysSoWhenThePrivilegeIsRefused)
{
    seam.privilege = RecordingSeam::Privilege::Refused;
    ShutdownComputerOrWarn(owner);
    EXPECT_EQ(seam.calls, (Calls{"version", "privilege", "message"}));
    EXPECT_EQ(seam.text, std::string(35, ' ') + "Your computer cannot shutdown" + std::string(35, ' '));
    EXPECT_EQ(seam.caption, "Warning");
    EXPECT_EQ(seam.type, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(seam.owner, owner);
}

TEST_F(ShutdownTest, OtherPlatformFamilies)
{
    seam.platform = VER_PLATFORM_WIN32_WINDOWS;
    ShutdownComputerOrWarn(owner);
    EXPECT_EQ(seam.calls, (Calls{"version", "exit"})) << "no privileges on the Windows 95 family";
    EXPECT_EQ(seam.exitFlags, static_cast<UINT>(EWX_SHUTDOWN));

    seam.calls.clear();
    seam.platform = 3;
    ShutdownComputerOrWarn(owner);
    EXPECT_EQ(seam.calls, (Calls{"version"}));
}

TEST_F(ShutdownTest, RealVersionAndPrivilegeCallsReachTheShutDown)
{
    // The system's own answers (Wine is an NT-family system that grants the privilege); only
    // the shut-down itself is recorded.
    struct SystemAnswers : RecordingSeam {
        DWORD GetPlatformId() override
        {
            calls.push_back("version");
            return ShutdownSeam::GetPlatformId();
        }
    } system;
    system.privilege = RecordingSeam::Privilege::System;
    ShutdownSeam* previous = SetShutdownSeam(&system);
    ShutdownComputerOrWarn(owner);
    SetShutdownSeam(previous);
    EXPECT_EQ(system.calls, (Calls{"version", "privilege", "exit"}));
    EXPECT_EQ(system.exitFlags, 12u);
}
