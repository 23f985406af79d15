// The runner driving the shipped encoder front end on a real clip: the task's size, position
// and speed follow the encoder's progress, the Progress cell shows it, and the file is written.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "engine/ConversionState.h"
#include "engine/EncoderRunner.h"
#include "engine/TaskCell.h"
#include "tests/support/test_paths.h"

namespace {

class RecordingTarget : public ConversionTarget {
public:
    std::vector<ConvertTask> tasks;
    std::vector<ConvertTask> stored;
    int GetTaskCount() const override { return static_cast<int>(tasks.size()); }
    ConvertTask GetTask(int nIndex) const override { return tasks[nIndex]; }
    void SetTask(int nIndex, const ConvertTask& task) override
    {
        tasks[nIndex] = task;
        stored.push_back(task);
    }
    void InvalidateCells(int, int, int, bool) override {}
};

DWORD RunAndWait(std::string command)
{
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return 0xFFFFFFFF;
    WaitForSingleObject(pi.hProcess, 120000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

int CountProcesses(const char* exeName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        count += lstrcmpiA(entry.szExeFile, exeName) == 0;
    CloseHandle(snapshot);
    return count;
}

long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

} // namespace

TEST(RunnerWithVenc, TaskFollowsTheProgressOfARealConversion)
{
    const std::string app = testpaths::DistDir() + "app\\";
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof(temp), temp);
    const std::string dir = std::string(temp) + "runner_venc_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string clip = dir + "\\my clip.avi";
    const std::string output = dir + "\\my clip.mp4";
    ASSERT_EQ(RunAndWait("\"" + app + "ffmpeg.exe\" -v error -y -f lavfi -i testsrc=size=640x480:rate=25:duration=12 "
                         "-f lavfi -i sine=frequency=440:duration=12 -c:v mpeg4 -q:v 4 -c:a mp2 -ac 2 \"" + clip + "\""),
              0u);

    RecordingTarget target;
    ConvertTask task;
    task.strSourcePath = clip.c_str();
    task.strOutputName = "my clip";
    task.dEndTime = 12.0;
    target.tasks.push_back(task);
    g_pConversionTarget = &target;
    g_bStopConvert = false;

    char previousDir[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof(previousDir), previousDir);
    SetCurrentDirectoryA(app.c_str()); // as during a run: venc.exe is found here
    std::string command = "venc.exe -y -i \"" + clip + "\" -vcodec h264 -coder 0 -vlevel 13 -bufsize 256 -g 250 "
                          "-s 320x240 -b 640 -aspect 4:3 -ac 2 -ab 128 -ar 44100 -vol 256 -title \"my clip\" \"" +
                          output + "\"";
    std::vector<char> commandLine(2048, '\0');
    command.copy(commandLine.data(), commandLine.size() - 1);
    g_dwConvertStartTick = GetTickCount();
    RunEncoder(commandLine.data(), 0);
    EndEncoder(); // the run's end: q, handles closed
    SetCurrentDirectoryA(previousDir);
    g_pConversionTarget = nullptr;

    ASSERT_GE(target.stored.size(), 2u) << "progress arrives while the encoder works";
    double lastTime = -1;
    int lastSize = -1;
    for (const ConvertTask& seen : target.stored) {
        EXPECT_GE(seen.dEncodedTime, lastTime) << "the position only moves on";
        EXPECT_GE(seen.nOutputSizeKB, lastSize);
        lastTime = seen.dEncodedTime;
        lastSize = seen.nOutputSizeKB;
    }
    const ConvertTask& final = target.tasks[0];
    EXPECT_GT(final.dEncodedTime, 10.0);
    EXPECT_LE(final.dEncodedTime, 12.5);
    EXPECT_GT(final.nOutputSizeKB, 50);
    EXPECT_GT(final.dSpeed, 0.0);

    CellDisplayInfo cell;
    FillTaskCellInfo(final, 0, kColumnProgress, cell);
    EXPECT_NE(std::string(cell.strText).find("MB   Remain Time:"), std::string::npos) << cell.strText;
    EXPECT_GE(cell.nProgressPos, 80);

    const long long bytes = FileSize(output);
    EXPECT_GE(bytes, static_cast<long long>(final.nOutputSizeKB) * 1024 * 9 / 10) << "the file is written";

    const DWORD start = GetTickCount();
    while ((CountProcesses("venc.exe") || CountProcesses("ffmpeg.exe")) && GetTickCount() - start < 10000)
        Sleep(100);
    EXPECT_EQ(CountProcesses("venc.exe"), 0);
    EXPECT_EQ(CountProcesses("ffmpeg.exe"), 0);

    DeleteFileA(clip.c_str());
    DeleteFileA(output.c_str());
    RemoveDirectoryA(dir.c_str());
}
