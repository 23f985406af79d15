// faulty_encoder.exe: a test-only encoder put in place of venc.exe by the fault tests. The
// environment variable FAULTY_ENCODER_MODE chooses how it misbehaves:
//   (unset)   prints one progress-looking line, then crashes with an access violation before
//             writing anything: it never touches the output file, so the program must not
//             find one.
//   hold      prints a refusal, writes a few bytes of the output file (its last argument) and
//             exits with code 1, leaving a helper process that keeps the file open for
//             FAULTY_ENCODER_HOLD_MS (default 5000): a failed file that cannot be removed at once.
//   slowexit  prints a progress line, closes its output, writes the output file and lives on
//             for FAULTY_ENCODER_LINGER_MS (default 3000) before it exits with code 0.
//   console   behaves like an encoder that talks to its console besides its redirected
//             output: it opens CONOUT$, reads the screen buffer, writes to it, sets the title
//             and starts a console child of its own. Any of these failing, or a console window
//             showing, makes it print why and exit with code 1; else it writes the output file
//             and exits with code 0.
// With FAULTY_ENCODER_RECORD set, every start (the helper's excepted) appends "start" to that
// file.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

DWORD EnvironmentNumber(const char* name, DWORD fallback)
{
    char text[32] = {};
    const DWORD length = GetEnvironmentVariableA(name, text, sizeof(text));
    return length > 0 && length < sizeof(text) ? std::strtoul(text, nullptr, 10) : fallback;
}

std::string EnvironmentText(const char* name)
{
    char text[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(name, text, sizeof(text));
    return length > 0 && length < sizeof(text) ? text : "";
}

void RecordStart()
{
    const std::string record = EnvironmentText("FAULTY_ENCODER_RECORD");
    if (record.empty())
        return;
    if (FILE* f = std::fopen(record.c_str(), "ab")) {
        std::fputs("start\n", f);
        std::fclose(f);
    }
}

void WriteOutput(const char* path)
{
    if (FILE* f = std::fopen(path, "wb")) {
        std::fputs("not really a video", f);
        std::fclose(f);
    }
}

// The helper of "hold": opens the file without letting anyone delete it, and sleeps.
int HoldFile(const char* path, DWORD ms)
{
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    const HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, "faulty_encoder_holding");
    if (ready) {
        SetEvent(ready);
        CloseHandle(ready);
    }
    Sleep(ms);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return 0;
}

// Starts the helper without handing it any handle: the program's pipes must close when this
// process exits.
void StartHolder(const char* path)
{
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, sizeof(exe));
    std::string command = std::string("\"") + exe + "\" --hold-file \"" + path + "\" " +
                          std::to_string(EnvironmentNumber("FAULTY_ENCODER_HOLD_MS", 5000));
    const HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, "faulty_encoder_holding");
    // No standard handles either: a console child would otherwise get copies of ours.
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, &startup,
                       &process)) {
        WaitForSingleObject(ready, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(ready);
}

// A console child started with no flags shares its parent's console; it fails if it has
// none or if that console shows a window.
int ConsoleChild()
{
    const HWND window = GetConsoleWindow();
    if (GetConsoleOutputCP() == 0)
        return 2;
    return window && IsWindowVisible(window) ? 3 : 0;
}

// The reason the console misbehaved, or empty when it did all an encoder may ask of it.
std::string TryConsoleFunctions()
{
    const HWND window = GetConsoleWindow();
    if (window && IsWindowVisible(window))
        return "a console window is visible";
    const HANDLE screen = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (screen == INVALID_HANDLE_VALUE)
        return "CONOUT$ cannot be opened";
    CONSOLE_SCREEN_BUFFER_INFO info{};
    DWORD written = 0;
    const bool bufferOk = GetConsoleScreenBufferInfo(screen, &info) != FALSE;
    const bool writeOk = WriteConsoleA(screen, "working\r", 8, &written, nullptr) != FALSE;
    CloseHandle(screen);
    if (!bufferOk)
        return "GetConsoleScreenBufferInfo failed";
    if (!writeOk)
        return "WriteConsole failed";
    if (!SetConsoleTitleA("faulty encoder"))
        return "SetConsoleTitle failed";

    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, sizeof(exe));
    std::string command = std::string("\"") + exe + "\" --console-child";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return "the console child could not start";
    WaitForSingleObject(process.hProcess, 10000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code == 0 ? std::string() : "the console child failed with code " + std::to_string(code);
}

} // namespace

int main(int argc, char** argv)
{
    // No crash dialog: the system's error box would wait for a person.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    if (argc == 4 && std::string(argv[1]) == "--hold-file")
        return HoldFile(argv[2], std::strtoul(argv[3], nullptr, 10));
    if (argc == 2 && std::string(argv[1]) == "--console-child")
        return ConsoleChild();

    RecordStart();
    const std::string mode = EnvironmentText("FAULTY_ENCODER_MODE");
    const char* output = argc > 1 ? argv[argc - 1] : "";
    if (mode == "hold") {
        std::printf("faulty encoder: cannot make sense of this source, giving up\n");
        std::fflush(stdout);
        WriteOutput(output);
        StartHolder(output);
        return 1;
    }
    if (mode == "slowexit") {
        std::printf("frame=    1 q=0.0 size=       1kB time=0.0 bitrate=   0.0kbits/s\n");
        std::fflush(stdout);
        CloseHandle(GetStdHandle(STD_OUTPUT_HANDLE));
        CloseHandle(GetStdHandle(STD_ERROR_HANDLE));
        // The file appears only once the output has ended: a test that sees it knows that.
        WriteOutput(output);
        Sleep(EnvironmentNumber("FAULTY_ENCODER_LINGER_MS", 3000));
        return 0;
    }
    if (mode == "console") {
        const std::string fault = TryConsoleFunctions();
        if (!fault.empty()) {
            std::printf("faulty encoder: %s\n", fault.c_str());
            return 1;
        }
        std::printf("frame=    1 q=0.0 size=       1kB time=0.0 bitrate=   0.0kbits/s\n");
        WriteOutput(output);
        return 0;
    }

    std::printf("frame=    1 q=0.0 size=       0kB time=0.0 bitrate=   0.0kbits/s\n");
    std::fflush(stdout);
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return 0;
}
