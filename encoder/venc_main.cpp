// venc.exe: runs ffmpeg.exe (found beside this program) hidden, with options translated
// from the classic dialect, and reports its progress in the classic one-line form.
//
// Before the encode, ffmpeg describes the source: its frame rate, whether it says it is
// interlaced, its colours (HDR or not), its audio tracks and rates decide the output's rate,
// deinterlacing, tone map and audio; a second ffmpeg looks for black bars on frames spread
// through it.
//
// Threads: one reads ffmpeg's progress pipe, one forwards its error text, one watches our
// standard input for "q"; the main thread waits for ffmpeg and the two readers and returns
// ffmpeg's exit code.
// ffmpeg lives in a job that is killed when venc ends, however venc ends.
#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/ProcessStart.h"
#include "encoder/crop_detect.h"
#include "encoder/encode_plan.h"
#include "encoder/progress_report.h"
#include "encoder/venc_options.h"
#include "encoder/wide_text.h"
#include "encoder/win_handle.h"

namespace {

using venc::WinHandle;

enum ExitCode { kExitRefused = 2, kExitNoEncoder = 3, kExitNoPicture = 4 };

// Our standard output. The reader may go away at any time (the program closes its end
// before it sends "q"); from then on output is dropped and the conversion goes on.
class OutputLines {
public:
    OutputLines() : m_handle(GetStdHandle(STD_OUTPUT_HANDLE)) {}

    void Write(const std::string& line)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_gone || m_handle == nullptr || m_handle == INVALID_HANDLE_VALUE)
            return;
        const std::string text = line + "\r\n";
        DWORD written = 0;
        if (!WriteFile(m_handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
            m_gone = true;
    }

private:
    std::mutex m_mutex;
    HANDLE m_handle;
    bool m_gone = false;
};

std::string ProgramDirectory()
{
    wchar_t path[MAX_PATH * 4] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    const std::string dir = venc::WideToUtf8(std::wstring(path, length));
    const auto slash = dir.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
}

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(venc::Utf8ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string LocalTimestamp()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    wsprintfA(text, "%04d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
              now.wSecond);
    return text;
}

// Reads a pipe of ffmpeg's until ffmpeg has ended and the pipe is drained. It does not wait
// for the end of the pipe: under Wine a write end can outlive the process that held it, and
// a reader waiting for that end would keep venc from ever exiting.
template <typename Consume>
void ReadWhileRunning(HANDLE pipe, HANDLE ffmpeg, Consume consume)
{
    char buffer[4096];
    bool ended = false;
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr))
            return; // every write end is closed
        if (available > 0) {
            DWORD got = 0;
            if (!ReadFile(pipe, buffer, available < sizeof(buffer) ? available : sizeof(buffer), &got, nullptr) ||
                got == 0)
                return;
            consume(buffer, got);
            continue;
        }
        if (ended)
            return; // ffmpeg is gone and what it wrote has been read
        ended = WaitForSingleObject(ffmpeg, 20) == WAIT_OBJECT_0;
    }
}

// Reports each of ffmpeg's progress blocks as one classic line; `frames` ends as the number
// of video frames written.
void ReportProgress(HANDLE progressPipe, HANDLE ffmpeg, OutputLines& out, long long& frames)
{
    venc::ProgressReader reader;
    ReadWhileRunning(progressPipe, ffmpeg, [&](const char* data, DWORD length) {
        if (reader.Feed(data, length))
            out.Write(venc::FormatProgressLine(reader.Latest()));
    });
    frames = reader.Latest().frame;
}

// Passes ffmpeg's error text on, line by line, so that a failure says why.
void ForwardErrors(HANDLE errorPipe, HANDLE ffmpeg, OutputLines& out)
{
    std::string line;
    ReadWhileRunning(errorPipe, ffmpeg, [&](const char* data, DWORD length) {
        for (DWORD i = 0; i < length; ++i) {
            if (data[i] == '\n' || data[i] == '\r') {
                if (!line.empty())
                    out.Write(line);
                line.clear();
            } else if (line.size() < 2048) {
                line += data[i];
            }
        }
    });
    if (!line.empty())
        out.Write(line);
}

// Watches our standard input; a "q" asks ffmpeg to finish the file and stop. Owns its
// copy of ffmpeg's input handle, since it may still be blocked in a read when venc ends.
void WatchForQuit(HANDLE ffmpegInput)
{
    WinHandle input(ffmpegInput);
    const HANDLE ourInput = GetStdHandle(STD_INPUT_HANDLE);
    if (ourInput == nullptr || ourInput == INVALID_HANDLE_VALUE)
        return;
    char buffer[64];
    DWORD got = 0;
    while (ReadFile(ourInput, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        for (DWORD i = 0; i < got; ++i) {
            if (buffer[i] == 'q' || buffer[i] == 'Q') {
                DWORD written = 0;
                WriteFile(input.Get(), "q", 1, &written, nullptr);
                return;
            }
        }
    }
}

struct Pipe {
    WinHandle read;
    WinHandle write;
};

// A pipe whose child end (childReads says which) is inheritable and ours is not.
bool MakeChildPipe(Pipe& pipe, bool childReads)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    if (!CreatePipe(pipe.read.Receive(), pipe.write.Receive(), &inherit, 0))
        return false;
    const HANDLE ours = childReads ? pipe.write.Get() : pipe.read.Get();
    return SetHandleInformation(ours, HANDLE_FLAG_INHERIT, 0) != 0;
}

WinHandle MakeKillOnCloseJob()
{
    WinHandle job(CreateJobObjectA(nullptr, nullptr));
    if (!job)
        return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits)))
        job.Reset();
    return job;
}

std::string SystemMessage(DWORD error)
{
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, sizeof(text),
                   nullptr);
    std::string message(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message;
}

// Starts ffmpeg hidden with the given standard handles, inside `job` when there is one.
// Says why on `out` when it cannot.
bool StartFfmpeg(const std::string& ffmpegPath, const std::vector<std::string>& args, HANDLE input, HANDLE output,
                 HANDLE errors, HANDLE job, WinHandle& ffmpeg, OutputLines& out)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = errors;

    // Wide: the UTF-8 names and title reach ffmpeg whatever the ANSI code page is.
    const std::wstring commandLine = venc::Utf8ToWide(venc::JoinWindowsCommandLine(ffmpegPath, args));
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');

    PROCESS_INFORMATION process{};
    const std::wstring program = venc::Utf8ToWide(ffmpegPath);
    if (!varnello::StartProcessRetrying([&] {
            return CreateProcessW(program.c_str(), writable.data(), nullptr, nullptr, TRUE,
                                  CREATE_SUSPENDED | DETACHED_PROCESS, nullptr, nullptr, &startup, &process);
        })) {
        out.Write("venc: cannot start " + ffmpegPath + ": " + SystemMessage(GetLastError()));
        return false;
    }
    ffmpeg = WinHandle(process.hProcess);
    WinHandle mainThread(process.hThread);
    if (job)
        AssignProcessToJobObject(job, ffmpeg.Get());
    ResumeThread(mainThread.Get());
    return true;
}

// Our own standard handles must not leak into ffmpeg: the program's output pipe has to end
// when venc ends.
void KeepOurHandlesFromChildren()
{
    for (DWORD id : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        const HANDLE h = GetStdHandle(id);
        if (h && h != INVALID_HANDLE_VALUE)
            SetHandleInformation(h, HANDLE_FLAG_INHERIT, 0);
    }
}

// Runs ffmpeg with the given arguments and collects what it writes (both outputs), for at
// most `timeoutMs`; a late ffmpeg dies with its job.
std::string CollectFfmpegOutput(const std::string& ffmpegPath, const std::vector<std::string>& args, DWORD timeoutMs,
                                OutputLines& out)
{
    Pipe output;
    if (!MakeChildPipe(output, false))
        return {};
    WinHandle job = MakeKillOnCloseJob();
    WinHandle ffmpeg;
    if (!StartFfmpeg(ffmpegPath, args, nullptr, output.write.Get(), output.write.Get(), job.Get(), ffmpeg, out))
        return {};
    output.write.Reset();
    std::string text;
    const DWORD started = GetTickCount();
    bool ended = false;
    for (;;) {
        char buffer[4096];
        DWORD available = 0, got = 0;
        if (!PeekNamedPipe(output.read.Get(), nullptr, 0, nullptr, &available, nullptr))
            break;
        if (available > 0) {
            if (!ReadFile(output.read.Get(), buffer, available < sizeof(buffer) ? available : sizeof(buffer), &got,
                          nullptr) || got == 0)
                break;
            if (text.size() < 256 * 1024)
                text.append(buffer, got);
            continue;
        }
        if (ended || GetTickCount() - started > timeoutMs)
            break;
        ended = WaitForSingleObject(ffmpeg.Get(), 20) == WAIT_OBJECT_0;
    }
    return text;
}

// ffmpeg's description of the source: "ffmpeg -i FILE" without an output describes the
// file and stops. A source that takes longer than this to open is described as unknown.
constexpr DWORD kDescribeTimeoutMs = 30000;
// Looking for black bars is worth this long at most; without an answer nothing is cut.
constexpr DWORD kCropTimeoutMs = 20000;

venc::SourceDescription DescribeSource(const std::string& ffmpegPath, const std::string& inputPath, OutputLines& out)
{
    venc::SourceDescription source = venc::ParseSourceDescription(
        CollectFfmpegOutput(ffmpegPath, {"-hide_banner", "-nostdin", "-i", inputPath}, kDescribeTimeoutMs, out));
    const std::vector<double> positions = venc::CropSamplePositions(source.durationSeconds);
    if (source.video.found && !positions.empty()) {
        const std::string found = CollectFfmpegOutput(ffmpegPath, venc::CropDetectArgs(inputPath, positions),
                                                      kCropTimeoutMs, out);
        source.video.crop = venc::CropFromDetections(found, source.video.width, source.video.height,
                                                     static_cast<int>(positions.size()));
    }
    return source;
}

int RunFfmpeg(const std::string& ffmpegPath, const std::vector<std::string>& args, OutputLines& out,
              long long& framesWritten)
{
    Pipe progress, errors, input;
    if (!MakeChildPipe(progress, false) || !MakeChildPipe(errors, false) || !MakeChildPipe(input, true)) {
        out.Write("venc: cannot create pipes: " + SystemMessage(GetLastError()));
        return kExitNoEncoder;
    }
    WinHandle job = MakeKillOnCloseJob();
    WinHandle ffmpeg;
    if (!StartFfmpeg(ffmpegPath, args, input.read.Get(), progress.write.Get(), errors.write.Get(), job.Get(), ffmpeg,
                     out))
        return kExitNoEncoder;

    // ffmpeg holds its own copies now; ours would keep its pipes from ever ending.
    progress.write.Reset();
    errors.write.Reset();
    input.read.Reset();

    std::thread progressThread(ReportProgress, progress.read.Get(), ffmpeg.Get(), std::ref(out),
                               std::ref(framesWritten));
    std::thread errorThread(ForwardErrors, errors.read.Get(), ffmpeg.Get(), std::ref(out));
    std::thread(WatchForQuit, input.write.Release()).detach();

    WaitForSingleObject(ffmpeg.Get(), INFINITE);
    progressThread.join();
    errorThread.join();
    DWORD exitCode = 1;
    GetExitCodeProcess(ffmpeg.Get(), &exitCode);
    return static_cast<int>(exitCode);
}

} // namespace

int main()
{
    OutputLines out;
    // From the wide command line: the C runtime's argv would be in the ANSI code page.
    const std::vector<std::string> args = venc::Utf8Arguments();
    const venc::ParseResult parsed = venc::ParseVencArguments(args);
    if (!parsed.ok) {
        out.Write(parsed.error);
        return kExitRefused;
    }
    venc::VencOptions options = parsed.options;
    if (!FileExists(options.inputPath)) {
        out.Write("venc: input file not found: " + options.inputPath);
        return kExitRefused;
    }
    if (!options.overwrite) {
        WIN32_FILE_ATTRIBUTE_DATA existing{};
        if (GetFileAttributesExW(venc::Utf8ToWide(options.outputPath).c_str(), GetFileExInfoStandard, &existing)) {
            // An empty file is a name its caller reserved for this output: nothing in it is lost.
            if (existing.nFileSizeHigh != 0 || existing.nFileSizeLow != 0) {
                out.Write("venc: output file exists (give -y to overwrite): " + options.outputPath);
                return kExitRefused;
            }
            options.overwrite = true;
        }
    }
    const std::string ffmpegPath = ProgramDirectory() + "ffmpeg.exe";
    if (!FileExists(ffmpegPath)) {
        out.Write("venc: ffmpeg.exe not found beside venc.exe: " + ffmpegPath);
        return kExitNoEncoder;
    }
    KeepOurHandlesFromChildren();
    const venc::SourceDescription source = DescribeSource(ffmpegPath, options.inputPath, out);
    venc::EncodePlan plan;
    if (!venc::MakeEncodePlan(options, source, LocalTimestamp(), plan)) {
        out.Write(plan.level.error);
        return kExitRefused;
    }
    for (const std::string& note : plan.notes)
        out.Write(note);
    long long framesWritten = 0;
    const int exitCode = RunFfmpeg(ffmpegPath, plan.ffmpegArgs, out, framesWritten);
    // A trim that starts past the last frame gives a file without a picture, which no device
    // plays: a failure, and the file goes.
    if (exitCode == 0 && source.video.found && framesWritten == 0) {
        out.Write("venc: no video frame was written: the start point lies past the end of the source's video");
        DeleteFileW(venc::Utf8ToWide(options.outputPath).c_str());
        return kExitNoPicture;
    }
    return exitCode;
}
