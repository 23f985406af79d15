// venc.exe as the program runs it: hidden, its output and errors merged into one pipe that
// is read in pieces of up to 255 bytes, "q" on its input to stop. Media are made here with
// the staged ffmpeg.exe's test sources.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include "common/ProcessStart.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/test_paths.h"

namespace {

std::string AppDir() { return testpaths::DistDir() + "app\\"; }

std::string TempDir() { return testproc::TempSubdir("venc_process_test"); }

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

using testproc::RunAndCollect;

// A test clip from ffmpeg's own sources, made afresh once per test run.
std::string MakeClip(const std::string& name, int seconds)
{
    static std::set<std::string> made;
    const std::string path = TempDir() + name;
    if (made.count(path))
        return path;
    made.insert(path);
    std::string output;
    const std::string ffmpeg = "\"" + AppDir() + "ffmpeg.exe\" -v error -y ";
    // Beyond twenty seconds, ten are encoded and repeated by stream copy.
    const int encoded = seconds > 20 ? 10 : seconds;
    const std::string piece = seconds > 20 ? TempDir() + "piece_" + name : path;
    RunAndCollect(ffmpeg + "-f lavfi -i testsrc=size=640x480:rate=25:duration=" + std::to_string(encoded) +
                      " -f lavfi -i sine=frequency=440:duration=" + std::to_string(encoded) +
                      " -c:v mpeg4 -q:v 4 -c:a mp2 -ac 2 \"" + piece + "\"",
                  output);
    if (piece != path) {
        RunAndCollect(ffmpeg + "-stream_loop " + std::to_string((seconds + encoded - 1) / encoded - 1) + " -i \"" +
                          piece + "\" -c copy \"" + path + "\"",
                      output);
        DeleteFileA(piece.c_str());
    }
    return path;
}

// The program's reading of one piece: the first "size=" with 8 characters after it gives
// kilobytes, the first "time=" with at least 4 after it gives up to 5 characters of seconds.
struct EngineReading {
    bool hasSize = false;
    int sizeKB = 0;
    bool hasTime = false;
    double seconds = 0.0;
};

EngineReading ReadLikeTheProgram(const std::string& piece)
{
    EngineReading r;
    const auto size = piece.find("size=");
    if (size != std::string::npos && piece.size() - size >= 13) {
        r.hasSize = true;
        r.sizeKB = std::atoi(piece.substr(size + 5, 8).c_str());
    }
    const auto time = piece.find("time=");
    if (time != std::string::npos && piece.size() - time >= 9) {
        r.hasTime = true;
        r.seconds = std::atof(piece.substr(time + 5, 5).c_str());
    }
    return r;
}

// venc started the way the program starts its encoder.
class EncoderChild {
public:
    explicit EncoderChild(const std::string& arguments)
    {
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        HANDLE outWrite = nullptr, inRead = nullptr;
        CreatePipe(&m_outRead, &outWrite, &inherit, 0);
        CreatePipe(&inRead, &m_inWrite, &inherit, 0);
        SetHandleInformation(m_outRead, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(m_inWrite, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_HIDE;
        si.hStdOutput = outWrite;
        si.hStdError = outWrite;
        si.hStdInput = inRead;
        std::string cmd = "\"" + AppDir() + "venc.exe\" " + arguments;
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back('\0');
        PROCESS_INFORMATION pi{};
        // As the program starts venc: a start that fails for a passing reason is tried again.
        m_started = varnello::StartProcessRetrying([&] {
            return CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                                  &si, &pi);
        });
        if (!m_started)
            std::printf("venc.exe did not start: error %lu\n", static_cast<unsigned long>(GetLastError()));
        CloseHandle(outWrite);
        CloseHandle(inRead);
        if (m_started) {
            CloseHandle(pi.hThread);
            m_process = pi.hProcess;
            m_processId = pi.dwProcessId;
        }
    }
    ~EncoderChild()
    {
        if (m_process) {
            if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT)
                TerminateProcess(m_process, 99);
            CloseHandle(m_process);
        }
        CloseOutput();
        CloseInput();
    }
    EncoderChild(const EncoderChild&) = delete;
    EncoderChild& operator=(const EncoderChild&) = delete;

    bool Started() const { return m_started; }
    HANDLE Process() const { return m_process; }
    DWORD ProcessId() const { return m_processId; }

    // One read of at most 255 bytes, as the program reads; false at the end of output.
    bool ReadPiece(std::string& piece)
    {
        char buffer[256] = {};
        DWORD got = 0;
        if (!m_outRead || !ReadFile(m_outRead, buffer, 255, &got, nullptr) || got == 0)
            return false;
        piece.assign(buffer, got);
        return true;
    }
    void CloseOutput()
    {
        if (m_outRead)
            CloseHandle(m_outRead);
        m_outRead = nullptr;
    }
    void SendQuit()
    {
        DWORD written = 0;
        WriteFile(m_inWrite, "q", 1, &written, nullptr);
        CloseInput();
    }
    void CloseInput()
    {
        if (m_inWrite)
            CloseHandle(m_inWrite);
        m_inWrite = nullptr;
    }
    DWORD ExitCode() const
    {
        DWORD code = 0xFFFFFFFF;
        GetExitCodeProcess(m_process, &code);
        return code;
    }

private:
    bool m_started = false;
    HANDLE m_outRead = nullptr;
    HANDLE m_inWrite = nullptr;
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
};

// The ffmpeg.exe that venc started, opened so that the test can wait for its end.
HANDLE OpenChildFfmpeg(DWORD parentId)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof(entry);
        DWORD childId = 0;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
            if (entry.th32ParentProcessID == parentId && _stricmp(entry.szExeFile, "ffmpeg.exe") == 0)
                childId = entry.th32ProcessID;
        CloseHandle(snapshot);
        if (childId)
            return OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, childId);
        Sleep(50);
    }
    return nullptr;
}

// ffmpeg.exe decodes the whole file without a complaint; returns its duration text.
// Decodes the whole file; returns what went wrong (the decoder's own words), or nothing.
// A file cut short by "q" may end on a frame the decoder conceals with a warning: it plays,
// so `warningsCount` false lets such words through (printed) and fails only a file that
// does not open or decode to its end.
std::string DecodeProblem(const std::string& path, std::string& durationLine, bool warningsCount = true)
{
    const std::string decode = "\"" + AppDir() + "ffmpeg.exe\" -hide_banner -v error -i \"" + path + "\" -f null -";
    std::string output;
    DWORD code = RunAndCollect(decode, output);
    if (code == 0xFFFFFFFF) { // the decoder itself did not start or did not end in time
        output.clear();
        code = RunAndCollect(decode, output);
    }
    if (code != 0 || (warningsCount && !output.empty()))
        return "decoder exit code " + std::to_string(code) + ": " + output;
    if (!output.empty())
        std::printf("decoder's words on %s: %s\n", path.c_str(), output.c_str());
    std::string info;
    RunAndCollect("\"" + AppDir() + "ffmpeg.exe\" -hide_banner -i \"" + path + "\"", info);
    const auto at = info.find("Duration: ");
    if (at == std::string::npos)
        return "no duration in: " + info;
    durationLine = info.substr(at + 10, 11);
    return {};
}

double ClockToSeconds(const std::string& hhmmss)
{
    int h = 0, m = 0;
    double s = 0;
    std::sscanf(hhmmss.c_str(), "%d:%d:%lf", &h, &m, &s);
    return h * 3600.0 + m * 60.0 + s;
}

} // namespace

TEST(VencProcess, ProgressReadsAsTheProgramReadsItAtLeastOncePerSecond)
{
    const std::string clip = MakeClip("twenty.avi", 20);
    const std::string out = TempDir() + "twenty.mp4";
    DeleteFileA(out.c_str());
    const DWORD startTick = GetTickCount();
    EncoderChild venc("-i \"" + clip + "\" -ss 00:00:02 -t 00:00:15 -vcodec h264 -s 320x240 -b 640 \"" + out + "\"");
    ASSERT_TRUE(venc.Started());

    std::string piece;
    int readings = 0;
    double lastTime = -1.0;
    int lastSize = -1;
    // ffmpeg reports twice a second and venc passes each report on at once. The moments at
    // which lines arrive (lines within 100 ms of each other count as one) are therefore about
    // two a second; from venc's start to its last line at least one a second must be seen. A
    // pause of the whole machine costs a few of them, not the check; a venc that held its
    // lines back and let them out in bunches, or at its end, falls far short.
    DWORD lastTick = 0, longestGap = 0;
    int moments = 0;
    while (venc.ReadPiece(piece)) {
        const EngineReading r = ReadLikeTheProgram(piece);
        if (!r.hasTime || !r.hasSize)
            continue;
        const DWORD now = GetTickCount();
        if (readings == 0 || now - lastTick > 100)
            ++moments;
        if (readings > 0 && now - lastTick > longestGap)
            longestGap = now - lastTick;
        lastTick = now;
        ++readings;
        EXPECT_GE(r.seconds, lastTime) << piece;
        EXPECT_GE(r.sizeKB, lastSize) << piece;
        lastTime = r.seconds;
        lastSize = r.sizeKB;
    }
    ASSERT_EQ(WaitForSingleObject(venc.Process(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(venc.ExitCode(), 0u);
    EXPECT_GE(readings, 2);
    const DWORD span = lastTick - startTick;
    EXPECT_GE(moments, static_cast<int>(span / 1000))
        << readings << " lines arrived at " << moments << " moments over " << span
        << " ms (longest gap " << longestGap << " ms): fewer than one a second";
    std::printf("progress: %d lines at %d moments over %lu ms, longest gap %lu ms\n", readings, moments,
                static_cast<unsigned long>(span), static_cast<unsigned long>(longestGap));
    EXPECT_NEAR(lastTime, 15.0, 0.1) << "the last report is the trimmed length";
    EXPECT_GT(lastSize, 100) << "640 kbit/s for 15 s is over a megabyte";
    std::string duration;
    EXPECT_EQ(DecodeProblem(out, duration), "");
}

TEST(VencProcess, QuitAfterTheOutputIsClosedFinishesAPlayableFile)
{
    const std::string clip = MakeClip("long.avi", 120);
    const std::string out = TempDir() + "stopped.mp4";
    DeleteFileA(out.c_str());
    EncoderChild venc("-y -i \"" + clip + "\" -vcodec h264 -s 320x240 -b 640 \"" + out + "\"");
    ASSERT_TRUE(venc.Started());
    HANDLE ffmpeg = OpenChildFfmpeg(venc.ProcessId());
    ASSERT_NE(ffmpeg, nullptr) << "venc started no ffmpeg.exe";

    std::string piece;
    double reached = 0.0;
    while (reached < 3.0 && venc.ReadPiece(piece)) {
        const EngineReading r = ReadLikeTheProgram(piece);
        if (r.hasTime)
            reached = r.seconds;
    }
    ASSERT_GE(reached, 3.0);
    // The program's stop: close its end of the output first, then "q", then the input.
    venc.CloseOutput();
    const DWORD stopTick = GetTickCount();
    venc.SendQuit();
    // A fraction of a second on a quiet machine; the time is printed as a figure, not judged,
    // and the limit only tells a venc that does not end from a slow one. One that ignored "q"
    // and wrote the whole clip is caught by the file's length below.
    ASSERT_EQ(WaitForSingleObject(venc.Process(), 30000), WAIT_OBJECT_0) << "venc did not end after q";
    std::printf("venc ended %lu ms after q\n", static_cast<unsigned long>(GetTickCount() - stopTick));
    EXPECT_EQ(venc.ExitCode(), 0u) << "ffmpeg's own exit code after q";
    EXPECT_EQ(WaitForSingleObject(ffmpeg, 0), WAIT_OBJECT_0) << "ffmpeg outlived venc";
    CloseHandle(ffmpeg);

    std::string duration;
    ASSERT_EQ(DecodeProblem(out, duration, false), "") << "the stopped file does not decode";
    const double seconds = ClockToSeconds(duration);
    EXPECT_GT(seconds, 2.0);
    EXPECT_LT(seconds, 100.0) << "q did not stop the conversion early";
}

TEST(VencProcess, EndingVencEndsItsFfmpeg)
{
    const std::string clip = MakeClip("long.avi", 120);
    const std::string out = TempDir() + "killed.mp4";
    EncoderChild venc("-y -i \"" + clip + "\" -s 320x240 \"" + out + "\"");
    ASSERT_TRUE(venc.Started());
    HANDLE ffmpeg = OpenChildFfmpeg(venc.ProcessId());
    ASSERT_NE(ffmpeg, nullptr);
    BOOL inJob = FALSE;
    EXPECT_TRUE(IsProcessInJob(ffmpeg, nullptr, &inJob)) << "error " << GetLastError();
    EXPECT_TRUE(inJob) << "ffmpeg is not tied to venc's lifetime";
    std::string piece;
    ASSERT_TRUE(venc.ReadPiece(piece));
    TerminateProcess(venc.Process(), 7);
    EXPECT_EQ(WaitForSingleObject(ffmpeg, 3000), WAIT_OBJECT_0) << "ffmpeg was left running";
    CloseHandle(ffmpeg);
}

TEST(VencProcess, RefusalsAndFailuresSayWhyAndExitNonZero)
{
    const std::string clip = MakeClip("twenty.avi", 20);
    const std::string venc = "\"" + AppDir() + "venc.exe\" ";
    const std::string out = TempDir() + "refused.mp4";
    DeleteFileA(out.c_str());

    std::string output;
    EXPECT_NE(RunAndCollect(venc + "-i \"" + clip + "\" -preset fast \"" + out + "\"", output), 0u);
    EXPECT_NE(output.find("unknown option '-preset'"), std::string::npos) << output;
    EXPECT_EQ(output.find('\n'), output.size() - 1) << "more than one line: " << output;
    EXPECT_FALSE(FileExists(out));

    // An existing output is kept unless -y is given.
    HANDLE keep = CreateFileA(out.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(keep, "keep", 4, &written, nullptr);
    CloseHandle(keep);
    output.clear();
    EXPECT_NE(RunAndCollect(venc + "-i \"" + clip + "\" \"" + out + "\"", output), 0u);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(out.c_str(), GetFileExInfoStandard, &data);
    EXPECT_EQ(data.nFileSizeLow, 4u) << "the existing file was overwritten";
    DeleteFileA(out.c_str());

    // A file that is no video: ffmpeg's error comes through with its exit code.
    const std::string notVideo = TempDir() + "not_a_video.avi";
    HANDLE junk = CreateFileA(notVideo.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    WriteFile(junk, "this is not a video file at all", 31, &written, nullptr);
    CloseHandle(junk);
    output.clear();
    const DWORD code = RunAndCollect(venc + "-i \"" + notVideo + "\" \"" + out + "\"", output);
    EXPECT_EQ(code, 1u) << output;
    EXPECT_FALSE(output.empty()) << "no reason given";
}
