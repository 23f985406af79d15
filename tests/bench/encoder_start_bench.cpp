// Benchmark (not a test): what starting an encoder costs with each kind of console.
//
//   encoder_start_bench.exe [COUNT]     (a window program, as Varnello is; default 20)
//
// Starts console_child.exe (beside it) COUNT times the way the run starts an encoder, with
// its standard handles redirected to a pipe and its window hidden, once with a console of its
// own and a window, once with a console of its own and no window, and once with no console;
// the three kinds take turns. Prints, for each kind, the median and range of the time from
// the start until the child's output has ended and it has exited, and what the child found:
// whether it had a console and whether a console window was visible.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef CONSOLE_CHILD
int main()
{
    const HWND window = GetConsoleWindow();
    std::printf("console %s, window %s", GetConsoleOutputCP() != 0 ? "yes" : "no",
                window ? (IsWindowVisible(window) ? "visible" : "hidden") : "none");
    return 0;
}
#else
namespace {

struct ConsoleKind {
    const char* name;
    DWORD flags;
};

double Now()
{
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One start, as the run does it; returns the seconds taken and what the child printed.
double StartOnce(const std::string& child, DWORD flags, std::string& said)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inheritable, 0))
        return -1;
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = write;
    startup.hStdError = write;
    PROCESS_INFORMATION process{};
    std::string command = "\"" + child + "\"";
    const double start = Now();
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, flags, nullptr, nullptr, &startup, &process)) {
        CloseHandle(read);
        CloseHandle(write);
        return -1;
    }
    CloseHandle(write);
    said.clear();
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(read, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        said.append(buffer, got);
    WaitForSingleObject(process.hProcess, INFINITE);
    const double seconds = Now() - start;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(read);
    return seconds;
}

void Print(const std::string& text)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    const int count = std::max(1, std::atoi(commandLine));
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof(self));
    std::string child = self;
    child = child.substr(0, child.find_last_of("\\/") + 1) + "console_child.exe";

    const ConsoleKind kinds[] = {{"own console with a window (CREATE_NEW_CONSOLE)", CREATE_NEW_CONSOLE},
                                 {"own console, no window (CREATE_NO_WINDOW)", CREATE_NO_WINDOW},
                                 {"no console (DETACHED_PROCESS)", DETACHED_PROCESS}};
    std::vector<double> times[3];
    std::string said[3];
    for (int i = 0; i < count; ++i)
        for (int k = 0; k < 3; ++k) {
            const double seconds = StartOnce(child, kinds[k].flags, said[k]);
            if (seconds < 0) {
                Print("cannot start " + child + "\n");
                return 1;
            }
            times[k].push_back(seconds);
        }
    for (int k = 0; k < 3; ++k) {
        std::sort(times[k].begin(), times[k].end());
        char line[256];
        std::snprintf(line, sizeof(line), "%-48s median %.3f s (%.3f to %.3f) over %d; the child: %s\n",
                      kinds[k].name, times[k][times[k].size() / 2], times[k].front(), times[k].back(), count,
                      said[k].c_str());
        Print(line);
    }
    return 0;
}
#endif
