// faulty_encoder.exe: a test-only encoder put in place of venc.exe by the fault tests. It prints
// one progress-looking line, then crashes with an access violation before writing anything:
// it never touches the output file, so the program must not find one.
#include <windows.h>

#include <cstdio>

int main()
{
    // No crash dialog: the system's error box would wait for a person.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    std::printf("frame=    1 q=0.0 size=       0kB time=0.0 bitrate=   0.0kbits/s\n");
    std::fflush(stdout);
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return 0;
}
