// The encoder runner against small scripted encoders: output on either stream, split lines,
// silence, a missing encoder, stopping with "q", repainting between reads, and handles.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/ConversionLog.h"
#include "engine/ConversionState.h"
#include "engine/EncoderRunner.h"
#include "framework/MessagePump.h"
#include "framework/Wnd.h"
#include "tests/support/shell_folder_redirect.h"

namespace {

constexpr UINT kStopMessage = WM_APP + 1;

std::string TestBinDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string dir = path;
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

int CountProcesses(const char* exeName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, exeName) == 0)
            ++count;
    CloseHandle(snapshot);
    return count;
}

// Waits until no scripted encoder is left running (they all end by themselves or on "q").
bool NoEncoderLeft(DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (CountProcesses("script_encoder.exe") != 0) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

// Open kernel handles of this process, probed value by value (Wine's GetProcessHandleCount
// always answers 0).
int CountOpenHandles()
{
    int count = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

std::string WaitForFile(const std::string& path, DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        const std::string text = ReadWholeFile(path);
        if (!text.empty())
            return text;
        Sleep(50);
    }
    return std::string();
}

// The page's part, recorded: every task stored and every repaint asked for.
class RecordingTarget : public ConversionTarget {
public:
    std::vector<ConvertTask> tasks{ConvertTask()};
    std::vector<ConvertTask> stored;
    int invalidations = 0;
    HWND window = nullptr;     // invalidated with each repaint request, when set
    bool stopOnFirstRepaint = false;
    UINT stopAfterFirstRepaintMs = 0; // a stop asked for that long after the first piece

    int GetTaskCount() const override { return static_cast<int>(tasks.size()); }
    ConvertTask GetTask(int nIndex) const override { return tasks[nIndex]; }
    HANDLE pieceTaken = nullptr; // set for each piece parsed: the script encoder then writes on

    void SetTask(int nIndex, const ConvertTask& task) override
    {
        tasks[nIndex] = task;
        stored.push_back(task);
        if (pieceTaken)
            SetEvent(pieceTaken);
    }
    void InvalidateCells(int nFirstRow, int nLastRow, int nColumn, bool bErase) override
    {
        EXPECT_EQ(nFirstRow, 0);
        EXPECT_EQ(nLastRow, 0);
        EXPECT_EQ(nColumn, 4);
        EXPECT_FALSE(bErase);
        ++invalidations;
        if (window) {
            InvalidateRect(window, nullptr, FALSE);
            if (stopOnFirstRepaint && invalidations == 1)
                PostMessageA(window, kStopMessage, 0, 0);
            if (stopAfterFirstRepaintMs && invalidations == 1)
                SetTimer(window, 1, stopAfterFirstRepaintMs, nullptr);
        }
    }
};

// A real window: counts its paints and performs the stop sequence when asked to, as the Stop
// button does while the read loop pumps messages.
int g_paints = 0;
LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        ++g_paints;
        return 0;
    }
    if (msg == WM_TIMER)
        KillTimer(hwnd, wParam);
    if (msg == kStopMessage || msg == WM_TIMER) {
        g_bStopConvert = true;
        EndEncoder();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class EncoderRunnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof(temp), temp);
        m_dir = std::string(temp) + "runner_test_" + std::to_string(GetCurrentProcessId()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(m_dir.c_str(), nullptr);
        // The user's local application data is this test's folder: the log goes to its
        // "Varnello" sub-folder, whatever the working directory is.
        m_localAppData = std::make_unique<testpaths::ShellFolderRedirect>("Local AppData", m_dir);
        DeleteFileA(LogPath().c_str());
        GetCurrentDirectoryA(sizeof(m_oldDir), m_oldDir);
        SetCurrentDirectoryA(m_dir.c_str());

        CloseEncoderProcess();
        g_pConversionTarget = &m_target;
        g_bStopConvert = false;
        g_nConvertIndex = 0;
        g_dwConvertStartTick = GetTickCount();
        m_encoder = "\"" + TestBinDir() + "script_encoder.exe\"";
        const std::string takenName = "script_encoder_taken_" + std::to_string(GetCurrentProcessId());
        m_target.pieceTaken = CreateEventA(nullptr, FALSE, FALSE, takenName.c_str());
        SetEnvironmentVariableA("SCRIPT_ENCODER_TAKEN", takenName.c_str());
    }

    void TearDown() override
    {
        EndEncoder();
        CloseEncoderProcess();
        g_pConversionTarget = nullptr;
        g_bStopConvert = false;
        if (m_window)
            DestroyWindow(m_window);
        SetCurrentDirectoryA(m_oldDir);
        // Never in the working directory, which is the program's own, read-only folder.
        EXPECT_FALSE(FileExists(m_dir + "\\log.txt"));
        DeleteFileA(LogPath().c_str());
        RemoveDirectoryA((m_dir + "\\Varnello").c_str());
        m_localAppData.reset();
        DeleteFileA((m_dir + "\\marker.txt").c_str());
        RemoveDirectoryA(m_dir.c_str());
        EXPECT_TRUE(NoEncoderLeft()) << "an encoder was left running";
        SetEnvironmentVariableA("SCRIPT_ENCODER_TAKEN", nullptr);
        CloseHandle(m_target.pieceTaken);
    }

    void Run(const std::string& arguments)
    {
        std::vector<char> commandLine(2048, '\0');
        const std::string text = m_encoder + " " + arguments;
        text.copy(commandLine.data(), commandLine.size() - 1);
        RunEncoder(commandLine.data(), 0);
    }

    HWND MakeWindow()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = TestWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "RunnerTestWindow";
        RegisterClassA(&wc);
        m_window = CreateWindowA("RunnerTestWindow", "runner test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 0, 0, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
        PumpMessages(); // the first paint of a new window is not the runner's
        g_paints = 0;
        return m_window;
    }

    std::string LogPath() const { return m_dir + "\\Varnello\\log.txt"; }
    std::string LogText() const { return ReadWholeFile(LogPath()); }
    std::string Marker() const { return m_dir + "\\marker.txt"; }

    RecordingTarget m_target;
    std::string m_dir;
    std::unique_ptr<testpaths::ShellFolderRedirect> m_localAppData;
    std::string m_encoder;
    char m_oldDir[MAX_PATH] = {};
    HWND m_window = nullptr;
};

} // namespace

TEST_F(EncoderRunnerTest, ReadsProgressWrittenToStandardErrorOnly)
{
    Run("stderr 3");
    ASSERT_GE(m_target.stored.size(), 1u);
    const ConvertTask& last = m_target.tasks[0];
    EXPECT_EQ(last.nOutputSizeKB, 300);
    EXPECT_DOUBLE_EQ(last.dEncodedTime, 3.0);
    EXPECT_GT(last.dSpeed, 0.0);
    EXPECT_EQ(m_target.invalidations, static_cast<int>(m_target.stored.size()));
    EXPECT_FALSE(FileExists(LogPath())) << "a normal run writes no log";
}

TEST_F(EncoderRunnerTest, ParsesEachPieceOfASplitLineOnItsOwn)
{
    Run("split");
    // The first half carries the size but a cut time; the second half nothing; then a whole line.
    ASSERT_EQ(m_target.stored.size(), 3u);
    EXPECT_EQ(m_target.stored[0].nOutputSizeKB, 256);
    EXPECT_DOUBLE_EQ(m_target.stored[0].dEncodedTime, 0.0);
    EXPECT_EQ(m_target.stored[1].nOutputSizeKB, 256);
    EXPECT_DOUBLE_EQ(m_target.stored[1].dEncodedTime, 0.0);
    EXPECT_EQ(m_target.stored[2].nOutputSizeKB, 300);
    EXPECT_DOUBLE_EQ(m_target.stored[2].dEncodedTime, 13.0);
}

TEST_F(EncoderRunnerTest, SilentEncoderEndsTheRunWithoutALogEntry)
{
    Run("silent");
    EXPECT_TRUE(m_target.stored.empty());
    EXPECT_FALSE(FileExists(LogPath()));
}

TEST_F(EncoderRunnerTest, KeepsTheWindowPaintingBetweenReads)
{
    m_target.window = MakeWindow();
    Run("stdout 4");
    EXPECT_GE(m_target.stored.size(), 3u) << "pieces 150 ms apart are read one by one";
    EXPECT_GE(g_paints, static_cast<int>(m_target.stored.size()));
}

TEST_F(EncoderRunnerTest, MissingEncoderWritesExactlyOneCreateProcessEntry)
{
    std::vector<char> commandLine(2048, '\0');
    std::string("no_such_encoder.exe -i clip.avi out.mp4").copy(commandLine.data(), 2000);
    RunEncoder(commandLine.data(), 0);

    char* message = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, ERROR_FILE_NOT_FOUND, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<LPSTR>(&message), 0, nullptr);
    std::string systemText = message ? message : "";
    LocalFree(message);
    while (!systemText.empty() && (systemText.back() == '\n' || systemText.back() == '\r'))
        systemText.pop_back();

    const std::string expected = "\r\nERROR:   API         =   CreateProcess.\r\n"
                                 "       error   code   =   2.\r\n"
                                 "       message         =   " + systemText + ".\r\n";
    EXPECT_EQ(LogText(), expected);
    EXPECT_TRUE(m_target.stored.empty());
    EXPECT_EQ(g_hChildStdoutRead != nullptr, true) << "closed by the run's end, not by the runner";

    // A second failure appends; the entries are separated by an empty line.
    EndEncoder();
    RunEncoder(commandLine.data(), 0);
    EXPECT_EQ(LogText(), expected + expected);
}

TEST_F(EncoderRunnerTest, StopDuringTheRunSendsQToTheEncoder)
{
    m_target.window = MakeWindow();
    m_target.stopOnFirstRepaint = true;
    Run("waitq \"" + Marker() + "\"");
    EXPECT_TRUE(g_bStopConvert);
    EXPECT_EQ(g_hChildStdoutRead, nullptr);
    EXPECT_EQ(g_hChildStdinWrite, nullptr);
    EXPECT_EQ(WaitForFile(Marker()), "q");
    EXPECT_FALSE(FileExists(LogPath()));
}

TEST_F(EncoderRunnerTest, StopIsHandledWhileTheEncoderIsQuiet)
{
    // The encoder reports once, then says nothing for seconds (and ignores "q"): a click on
    // Stop in that silence must be handled then, not when the encoder next writes or ends.
    m_target.window = MakeWindow();
    m_target.stopAfterFirstRepaintMs = 300;
    Run("linger 8000");
    EXPECT_TRUE(g_bStopConvert);
    EXPECT_EQ(g_hChildStdoutRead, nullptr);
    EXPECT_EQ(CountProcesses("script_encoder.exe"), 1) << "the read loop waited for the encoder to end";
    EXPECT_TRUE(NoEncoderLeft(15000));
}

TEST_F(EncoderRunnerTest, IntermediateTaskIsStoppedAtTheTrimmedLength)
{
    m_target.tasks[0].bNeedIntermediate = 1;
    m_target.tasks[0].dStartTime = 5;
    m_target.tasks[0].dEndTime = 15;
    Run("waitq \"" + Marker() + "\" \"frame=  250 q=5.0 size=     100kB time=10.0 bitrate= 1\r\"");
    EXPECT_FALSE(g_bStopConvert) << "the early stop is not a stop of the run";
    EXPECT_EQ(g_hChildStdoutRead, nullptr);
    EXPECT_EQ(g_hChildStdinWrite, nullptr);
    EXPECT_EQ(WaitForFile(Marker()), "q");
    EXPECT_DOUBLE_EQ(m_target.tasks[0].dEncodedTime, 10.0);
    EXPECT_FALSE(FileExists(LogPath()));
}

TEST_F(EncoderRunnerTest, ClosesEveryHandleOnceAndLeaksNone)
{
    const int before = CountOpenHandles();

    for (int i = 0; i < 3; ++i) {
        Run("stdout 1");
        EndEncoder(); // the run's normal end
    }
    // The early stop closes the handles first; the run's end then must not close them again.
    m_target.tasks[0].bNeedIntermediate = 1;
    m_target.tasks[0].dEndTime = 1;
    Run("waitq \"" + Marker() + "\"");
    ASSERT_EQ(g_hChildStdoutRead, nullptr);
    // New handles now reuse the values the runner just closed: a second close of any of
    // them would take one of these events away.
    std::vector<HANDLE> sentinels;
    for (int i = 0; i < 64; ++i)
        sentinels.push_back(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    EndEncoder();
    EndEncoder(); // and a stop after the end
    CloseEncoderProcess();
    int closedByRunner = 0;
    for (HANDLE sentinel : sentinels) {
        if (WaitForSingleObject(sentinel, 0) != WAIT_TIMEOUT)
            ++closedByRunner;
        CloseHandle(sentinel);
    }
    EXPECT_EQ(closedByRunner, 0) << "a handle was closed twice";
    ASSERT_EQ(WaitForFile(Marker()), "q");
    ASSERT_TRUE(NoEncoderLeft());

    EXPECT_EQ(CountOpenHandles(), before) << "handles leaked by the runner";
}

TEST_F(EncoderRunnerTest, TellsAFailedEncoderFromOneThatSucceeded)
{
    // A crash or a kill shows only in the exit code: the output may look like any other.
    Run("exit 3");
    EndEncoder();
    EXPECT_EQ(WaitForEncoderExit(5000), EncoderExit::Failed);
    EXPECT_EQ(m_target.tasks[0].nOutputSizeKB, 100) << "its output was read all the same";

    Run("exit 0");
    EndEncoder();
    EXPECT_EQ(WaitForEncoderExit(5000), EncoderExit::Succeeded);
    EXPECT_EQ(WaitForEncoderExit(5000), EncoderExit::Unknown) << "the process is let go after one wait";

    // An encoder that never started has no exit to tell.
    std::vector<char> commandLine(2048, '\0');
    std::string("no_such_encoder.exe").copy(commandLine.data(), 2000);
    RunEncoder(commandLine.data(), 0);
    EndEncoder();
    EXPECT_EQ(WaitForEncoderExit(5000), EncoderExit::Unknown);
    // One entry, for the start that failed; waiting adds none.
    EXPECT_EQ(LogText().find("CreateProcess"), LogText().rfind("CreateProcess"));
}

TEST_F(EncoderRunnerTest, AnEncoderStillRunningWhenTheWaitEndsIsEndedAndLetGo)
{
    const int before = CountOpenHandles();
    // The early stop of an intermediate task gives the read loop up while the encoder lives on.
    m_target.tasks[0].bNeedIntermediate = 1;
    m_target.tasks[0].dEndTime = 1;
    // It would live on for a minute: a wait that let it end by itself would take that long,
    // far more than the 200 ms asked for and the end of the process, even on a loaded machine.
    Run("linger 60000");
    ASSERT_EQ(g_hChildStdoutRead, nullptr);
    const DWORD start = GetTickCount();
    // Its file could still change: the wait ends it rather than let it write on.
    EXPECT_EQ(WaitForEncoderExit(200), EncoderExit::Hung);
    EXPECT_LT(GetTickCount() - start, 20000u) << "the wait outlasted its limit";
    EXPECT_EQ(CountProcesses("script_encoder.exe"), 0) << "the hung encoder is still running";
    EXPECT_EQ(CountOpenHandles(), before) << "the process handle was kept";
}

TEST_F(EncoderRunnerTest, AStopDuringTheWaitStillTellsHowTheEncoderEnded)
{
    // The encoder has closed its output and is exiting normally when the Stop comes: its end
    // is judged all the same.
    HWND window = MakeWindow();
    Run("closeexit 700 0");
    EndEncoder();
    PostMessageA(window, kStopMessage, 0, 0);
    EXPECT_EQ(WaitForEncoderExit(5000), EncoderExit::Succeeded);
    EXPECT_TRUE(g_bStopConvert) << "the stop was not seen during the wait";

    // Once a stop is requested, no encoder is started.
    Run("waitq \"" + Marker() + "\"");
    EXPECT_EQ(CountProcesses("script_encoder.exe"), 0);
    EXPECT_EQ(WaitForEncoderExit(5000), EncoderExit::Unknown);
}

TEST_F(EncoderRunnerTest, KeepsTheEncodersLastLinesForTheLog)
{
    Run("stdout 3");
    EndEncoder();
    WaitForEncoderExit(5000);
    const std::vector<std::string> lines = LastEncoderLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines.back(), "frame=   75 q=5.0 size=     300kB time=3.0 bitrate= 419.4kbits/s");

    // A new encoder starts with a clean slate.
    Run("silent");
    EXPECT_TRUE(LastEncoderLines().empty());
}

TEST(PumpMessages, LeavesAQuitRequestForTheMainLoop)
{
    PostQuitMessage(3);
    PumpMessages();
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
}

// A window of the application layer that swallows keys in PreTranslateMessage.
class KeySwallower : public CWnd {
public:
    int seen = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message != WM_KEYDOWN)
            return FALSE;
        ++seen;
        return TRUE;
    }
};

int g_keysDispatched = 0;
LRESULT CALLBACK KeyCountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_KEYDOWN)
        ++g_keysDispatched;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST(PumpMessages, OffersEachMessageToTheWindowsFirstAsTheMainLoopDoes)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = KeyCountingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PumpTestWindow";
    RegisterClassA(&wc);
    KeySwallower window;
    ASSERT_TRUE(window.CreateEx(0, "PumpTestWindow", "pump", WS_POPUP, RECT{0, 0, 50, 50}, nullptr, 0));
    PostMessageA(window.GetSafeHwnd(), WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(window.GetSafeHwnd(), WM_KEYDOWN, VK_HOME, 0);
    PumpMessages();
    EXPECT_EQ(window.seen, 2);
    EXPECT_EQ(g_keysDispatched, 0) << "a key that PreTranslateMessage consumed reached the window";
    window.DestroyWindow();
}
