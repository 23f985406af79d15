// What the component's tests need around it: media made by the machine's own ffmpeg (a
// Linux program, started from inside Wine), late-bound calls through IDispatch as the
// program makes them, an event sink, a host window, and a look at our child processes.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

namespace harness {

// --- Linux tools --------------------------------------------------------------------------

struct NativeResult {
    int exitCode = -1;
    std::string output;
};

// Runs a shell command on the Linux side and waits for it. Wine cannot wait on a Linux
// process, so the command leaves its exit code in a file that is polled.
NativeResult RunNative(const std::string& shellCommand, DWORD timeoutMs = 120000);

// A scratch folder for this test program: its Linux path and its Windows path.
struct Scratch {
    std::string unixDir;
    std::string winDir;
    std::string Unix(const std::string& name) const { return unixDir + "/" + name; }
    std::string Win(const std::string& name) const { return winDir + "\\" + name; }
};
Scratch MakeScratch(const std::string& name);

// "key=value" lines of ffprobe's default writer, as (section prefix ignored) pairs.
std::vector<std::pair<std::string, std::string>> Probe(const std::string& unixPath);
std::string ProbeValue(const std::vector<std::pair<std::string, std::string>>& fields, const std::string& key,
                       int occurrence = 0);

// --- Calls through IDispatch --------------------------------------------------------------

struct Arg {
    VARIANT v;
    Arg(const char* text);
    Arg(const std::string& text) : Arg(text.c_str()) {}
    Arg(double number);
    Arg(short number);
    Arg(long number);
    Arg(float number);
    Arg(bool flag);
    Arg(const Arg& other);
    ~Arg();
    Arg& operator=(const Arg&) = delete;
};

// Invokes with the arguments in their natural order; the result converted to VT_R8 etc.
HRESULT Invoke(IDispatch* target, DISPID member, WORD flags, const std::vector<Arg>& args, VARIANT* result);
HRESULT Call(IDispatch* target, DISPID member, const std::vector<Arg>& args = {}, VARIANT* result = nullptr);
HRESULT Put(IDispatch* target, DISPID member, const Arg& value);
double CallDouble(IDispatch* target, DISPID member, const std::vector<Arg>& args);
bool CallBool(IDispatch* target, DISPID member, const std::vector<Arg>& args = {});
std::vector<std::string> CodecNames(IDispatch* component, DISPID listGetter);

// --- Events -------------------------------------------------------------------------------

struct Event {
    DISPID id;
    std::vector<double> args;
    DWORD threadId;
    // When the component's worker posted the message that brought it (GetMessageTime): its
    // own pace, whatever the delay before this thread came to the message. Meaningful for the
    // events fired from the component's worker reports, not for those a call fires at once.
    DWORD posted;
};

// Records every event; connects to the component's events interface as a host does.
class EventRecorder : public IDispatch {
public:
    EventRecorder() = default;
    EventRecorder(const EventRecorder&) = delete;
    EventRecorder& operator=(const EventRecorder&) = delete;
    ~EventRecorder() { Disconnect(); }

    bool Connect(IUnknown* component);
    void Disconnect();
    std::vector<Event> events;
    size_t Count(DISPID id) const;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

private:
    IConnectionPoint* m_point = nullptr;
    DWORD m_cookie = 0;
    IID m_eventsIid{};
};

// Dispatches window messages until done() or the time is up; true if done() came.
template <class Done>
bool PumpUntil(Done done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

// --- A host window, as the program's control container gives one -------------------------

class HostWindow : public IOleWindow {
public:
    HostWindow(int width, int height);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND Handle() const { return m_hwnd; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

private:
    HWND m_hwnd = nullptr;
};

// The colour at a point of a window's client area as it is on screen.
COLORREF PixelAt(HWND hwnd, int x, int y);

// --- Our processes ------------------------------------------------------------------------

// Running ffmpeg.exe processes started by this test program.
int OwnFfmpegProcesses();

} // namespace harness
