// A stand-in encoder for the runner's tests: writes scripted progress output the way a real
// encoder does, on the stream the test asks for, and answers "q" on its standard input.
//   script_encoder silent              exits at once, writing nothing
//   script_encoder stdout N            N progress lines on standard output, 150 ms apart
//   script_encoder stderr N            the same on standard error only
//   script_encoder split               one progress line in two halves 300 ms apart, then one whole
// In the first three, when SCRIPT_ENCODER_TAKEN names an event, each piece waits for that event
// (set by the test when the runner has passed the previous piece on, at most 10 s) before the
// pause: pieces then stay apart however slowly a loaded machine runs the reader.
//   script_encoder waitq MARKER [LINE] writes LINE (or a progress line), then waits for "q" or the
//                                      end of its input and writes "q" or "eof" into MARKER
//   script_encoder exit CODE           one progress line, then exits with CODE
//   script_encoder linger MS           one progress line, then lives MS more, deaf to "q"
//   script_encoder closeexit MS CODE   one progress line, closes its output, lives MS more and
//                                      exits with CODE
//   script_encoder work FILE MS CODE   a progress line every 50 ms for MS, or until "q" comes on
//                                      its input; then writes into FILE and exits with CODE
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Write(HANDLE stream, const std::string& text)
{
    DWORD written = 0;
    WriteFile(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string ProgressLine(int n)
{
    char line[128];
    std::snprintf(line, sizeof(line), "frame=%5d q=5.0 size=%8dkB time=%.1f bitrate= 419.4kbits/s\r",
                  n * 25, n * 100, n * 1.0);
    return line;
}

// Waits until the test says the piece just written has reached the parser.
void WaitUntilTaken()
{
    char name[128] = {};
    if (!GetEnvironmentVariableA("SCRIPT_ENCODER_TAKEN", name, sizeof(name)))
        return;
    const HANDLE taken = OpenEventA(SYNCHRONIZE, FALSE, name);
    if (!taken)
        return;
    WaitForSingleObject(taken, 10000);
    CloseHandle(taken);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "silent";
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);

    if (mode == "stdout" || mode == "stderr") {
        const int count = argc > 2 ? std::atoi(argv[2]) : 3;
        for (int n = 1; n <= count; ++n) {
            Write(mode == "stdout" ? out : err, ProgressLine(n));
            WaitUntilTaken();
            Sleep(150);
        }
    } else if (mode == "split") {
        Write(err, "frame=   25 q=5.0 size=     256kB time=1");
        WaitUntilTaken();
        Sleep(300);
        Write(err, "2.5 bitrate= 419.4kbits/s\r");
        WaitUntilTaken();
        Sleep(300);
        Write(err, "frame=   50 q=5.0 size=     300kB time=13.0 bitrate= 419.4kbits/s\r");
    } else if (mode == "exit" && argc > 2) {
        Write(out, ProgressLine(1));
        return std::atoi(argv[2]);
    } else if (mode == "linger" && argc > 2) {
        Write(out, ProgressLine(1));
        Sleep(static_cast<DWORD>(std::atoi(argv[2])));
    } else if (mode == "closeexit" && argc > 3) {
        Write(out, ProgressLine(1));
        CloseHandle(out);
        CloseHandle(err);
        Sleep(static_cast<DWORD>(std::atoi(argv[2])));
        return std::atoi(argv[3]);
    } else if (mode == "work" && argc > 4) {
        const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
        const DWORD start = GetTickCount();
        for (int n = 1; GetTickCount() - start < static_cast<DWORD>(std::atoi(argv[3])); ++n) {
            Write(out, ProgressLine(n));
            DWORD waiting = 0;
            if (PeekNamedPipe(in, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0)
                break;
            Sleep(50);
        }
        if (FILE* file = std::fopen(argv[2], "wb")) {
            std::fputs("converted", file);
            std::fclose(file);
        }
        return std::atoi(argv[4]);
    } else if (mode == "waitq" && argc > 2) {
        Write(out, argc > 3 ? argv[3] : ProgressLine(1));
        const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
        std::string answer = "eof";
        char c = 0;
        DWORD got = 0;
        while (ReadFile(in, &c, 1, &got, nullptr) && got == 1) {
            if (c == 'q') {
                answer = "q";
                break;
            }
        }
        FILE* marker = std::fopen(argv[2], "wb");
        if (marker) {
            std::fputs(answer.c_str(), marker);
            std::fclose(marker);
        }
    }
    return 0;
}
