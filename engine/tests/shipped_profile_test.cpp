// The profile file as it ships: it fills the combo, and every profile's command line, built
// for a real clip, runs venc.exe from the app folder and writes a playable MP4.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/CommandLine.h"
#include "engine/ProfileIni.h"
#include "engine/ProfileList.h"
#include "framework/ComboBox.h"
#include "ui/ProfileCombo.h"
#include "tests/support/child_process.h"
#include "tests/support/test_paths.h"

namespace {

std::string AppDir() { return testpaths::DistDir() + "app"; }

// A blank in the folder's name, as in many real paths.
std::string TempDir() { return testproc::TempSubdir("varnello shipped profiles"); }

DWORD RunCommand(const std::string& commandLine, std::string& output)
{
    return testproc::RunAndCollect(commandLine, output);
}

std::string Ffmpeg() { return "\"" + AppDir() + "\\ffmpeg.exe\" -hide_banner "; }

double DurationOf(const std::string& path)
{
    std::string info;
    RunCommand(Ffmpeg() + "-i \"" + path + "\"", info);
    const auto at = info.find("Duration: ");
    int h = 0, m = 0;
    double s = -1;
    if (at != std::string::npos)
        std::sscanf(info.c_str() + at + 10, "%d:%d:%lf", &h, &m, &s);
    return h * 3600.0 + m * 60.0 + s;
}

} // namespace

TEST(ShippedProfiles, FillTheComboAndSelectTheSettingsProfile)
{
    HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    CComboBox combo;
    ASSERT_TRUE(combo.Attach(CreateWindowA("COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 200, parent,
                                           reinterpret_cast<HMENU>(1024), nullptr, nullptr)));
    LoadProfiles(combo, AppDir().c_str());

    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    EXPECT_STRCASEEQ(cwd, AppDir().c_str()) << "the app folder stays the working directory";

    CProfileIni ini;
    ASSERT_TRUE(ini.SetFile(".\\iPod_Profile.ini"));
    std::vector<CString> sections;
    const int nSections = ini.GetSectionNames(sections);
    ASSERT_GE(nSections, 6) << "Info, the settings profile and at least four more";
    EXPECT_EQ(sections[0], "Info");
    ASSERT_EQ(combo.GetCount(), nSections - 1);
    for (int i = 1; i < nSections; ++i) {
        CString expected;
        expected.Format("profile%d", i - 1);
        EXPECT_EQ(sections[i], expected) << "profiles must follow Info in order";
        CString item;
        combo.GetLBText(i - 1, item);
        EXPECT_FALSE(item.IsEmpty());
        EXPECT_EQ(item, ini.GetString(expected, "Title"));
        EXPECT_EQ(ini.GetString(expected, "Command0").Find("venc.exe "), 0);
    }
    EXPECT_EQ(combo.GetCurSel(), 0);
    const CString settings = ini.GetString("profile0", "Command0");
    for (const char* variable : {"$INPUT_FILE", "$START", "$LENGTH", "$TITLE", "$TIMESTAMP", "$OUTPUT_FILE", "$VCODEC",
                                 "$SIZE", "$FRAMERATE", "$VIDEOBITRATE", "$ASPECT", "$CHANNEL", "$AUDIOBITRATE",
                                 "$AUDIOSAMPLE", "$VOLUME"})
        EXPECT_GE(settings.Find(variable), 0) << variable;
    combo.Detach();
    DestroyWindow(parent);
}

TEST(ShippedProfiles, EveryProfileConvertsARealClipThroughVenc)
{
    const std::string clip = TempDir() + "holiday clip.avi";
    std::string output;
    ASSERT_EQ(RunCommand(Ffmpeg() + "-v error -y -f lavfi -i testsrc=size=640x480:rate=25:duration=8 -f lavfi "
                             "-i sine=frequency=440:duration=8 -c:v mpeg4 -q:v 4 -c:a mp2 -ac 2 \"" + clip + "\"",
                  output),
              0u)
        << output;

    CProfileIni ini;
    ini.SetFile((AppDir() + "\\iPod_Profile.ini").c_str());
    std::vector<CString> sections;
    const int nProfiles = ini.GetSectionNames(sections) - 1;
    ASSERT_GE(nProfiles, 5);

    CTaskArray tasks;
    for (int nProfile = 0; nProfile < nProfiles; ++nProfile) {
        ConvertTask task = MakeNewTask(clip.c_str(), 8.0);
        task.dStartTime = 1.5;
        task.dEndTime = 5.9; // 4.4 s: the line says 4 s
        task.nProfile = nProfile;
        task.strTitle.Format("Holiday %d", nProfile);
        tasks.Add(task);
    }
    // The settings profile once more, with every setting off its default.
    ConvertTask custom = tasks.GetAt(0);
    custom.nVideoCodec = 0;
    custom.nVideoSize = 6;
    custom.nFrameRate = 3;
    custom.nVideoBitrate = 3;
    custom.nVideoAspect = 1;
    custom.nChannels = 0;
    custom.nAudioBitrate = 5;
    custom.nSampleRate = 3;
    custom.nVolume = 2;
    tasks.Add(custom);

    for (int i = 0; i < tasks.GetCount(); ++i) {
        const std::string out = TempDir() + "out " + std::to_string(i) + ".mp4";
        DeleteFileA(out.c_str());
        const CString line = BuildCommandLine(tasks, i, out.c_str(), AppDir().c_str());
        EXPECT_LT(line.Find("$"), 0) << line.GetString();
        std::string log;
        EXPECT_EQ(RunCommand(line.GetString(), log), 0u) << line.GetString() << "\n" << log;
        EXPECT_NE(log.find("time=4.0"), std::string::npos) << "no final progress line: " << log;
        std::string errors;
        EXPECT_EQ(RunCommand(Ffmpeg() + "-v error -i \"" + out + "\" -f null -", errors), 0u);
        EXPECT_TRUE(errors.empty()) << out << " does not decode cleanly: " << errors;
        EXPECT_NEAR(DurationOf(out), 4.0, 0.1) << out;
    }
}
