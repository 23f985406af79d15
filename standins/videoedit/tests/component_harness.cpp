// What the component's tests need around it.
#include "standins/videoedit/tests/component_harness.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/test_paths.h"

namespace harness {

// --- Linux tools --------------------------------------------------------------------------

Scratch MakeScratch(const std::string& name)
{
    const char* dist = std::getenv("VARNELLO_DIST");
    std::string build = dist ? dist : "/tmp";
    const size_t slash = build.find_last_of('/');
    if (slash != std::string::npos && build.substr(slash + 1) == "dist")
        build.resize(slash);
    Scratch scratch;
    scratch.unixDir = build + "/tests/" + name;
    scratch.winDir = testpaths::UnixToWine(scratch.unixDir);
    CreateDirectoryA(testpaths::UnixToWine(build + "/tests").c_str(), nullptr);
    CreateDirectoryA(scratch.winDir.c_str(), nullptr);
    return scratch;
}

NativeResult RunNative(const std::string& shellCommand, DWORD timeoutMs)
{
    static Scratch commands = MakeScratch("native_commands");
    static int counter = 0;
    const std::string stem = "cmd" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    const std::string script = commands.Unix(stem + ".sh");
    const std::string out = commands.Unix(stem + ".out");
    const std::string rc = commands.Unix(stem + ".rc");
    // Names repeat across runs (Wine reuses process ids): clear what an earlier run left.
    DeleteFileA(commands.Win(stem + ".rc").c_str());
    DeleteFileA(commands.Win(stem + ".out").c_str());
    {
        std::ofstream file(commands.Win(stem + ".sh"), std::ios::binary);
        file << "#!/bin/sh\n( " << shellCommand << " ) >'" << out << "' 2>&1 </dev/null\n"
             << "echo $? >'" << rc << ".tmp'\nmv '" << rc << ".tmp' '" << rc << "'\n";
    }
    NativeResult result;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::string commandLine = "/bin/sh " + script;
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return result;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(commands.Win(stem + ".rc").c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > timeoutMs)
            return result;
        Sleep(20);
    }
    std::ifstream rcFile(commands.Win(stem + ".rc"));
    rcFile >> result.exitCode;
    std::ifstream outFile(commands.Win(stem + ".out"), std::ios::binary);
    std::stringstream text;
    text << outFile.rdbuf();
    result.output = text.str();
    return result;
}

std::vector<std::pair<std::string, std::string>> Probe(const std::string& unixPath)
{
    const NativeResult probe = RunNative(
        "ffprobe -v error -show_entries "
        "stream=codec_type,codec_name,width,height,r_frame_rate:format=duration,format_name "
        "-of default=nw=1 '" + unixPath + "'");
    std::vector<std::pair<std::string, std::string>> fields;
    std::istringstream lines(probe.output);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos)
            fields.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return fields;
}

std::string ProbeValue(const std::vector<std::pair<std::string, std::string>>& fields, const std::string& key,
                       int occurrence)
{
    for (const auto& field : fields)
        if (field.first == key && occurrence-- == 0)
            return field.second;
    return std::string();
}

// --- Calls through IDispatch --------------------------------------------------------------

Arg::Arg(const char* text)
{
    VariantInit(&v);
    const int chars = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], chars);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(wide.c_str());
}
Arg::Arg(double number) { VariantInit(&v); v.vt = VT_R8; v.dblVal = number; }
Arg::Arg(short number) { VariantInit(&v); v.vt = VT_I2; v.iVal = number; }
Arg::Arg(long number) { VariantInit(&v); v.vt = VT_I4; v.lVal = number; }
Arg::Arg(float number) { VariantInit(&v); v.vt = VT_R4; v.fltVal = number; }
Arg::Arg(bool flag) { VariantInit(&v); v.vt = VT_BOOL; v.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE; }
Arg::Arg(const Arg& other) { VariantInit(&v); VariantCopy(&v, const_cast<VARIANT*>(&other.v)); }
Arg::~Arg() { VariantClear(&v); }

HRESULT Invoke(IDispatch* target, DISPID member, WORD flags, const std::vector<Arg>& args, VARIANT* result)
{
    std::vector<VARIANTARG> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        reversed.push_back(it->v); // shallow: args keep ownership
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    UINT argErr = 0;
    return target->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, &argErr);
}

HRESULT Call(IDispatch* target, DISPID member, const std::vector<Arg>& args, VARIANT* result)
{
    return Invoke(target, member, DISPATCH_METHOD, args, result);
}

HRESULT Put(IDispatch* target, DISPID member, const Arg& value)
{
    return Invoke(target, member, DISPATCH_PROPERTYPUT, {value}, nullptr);
}

double CallDouble(IDispatch* target, DISPID member, const std::vector<Arg>& args)
{
    VARIANT result;
    VariantInit(&result);
    if (FAILED(Call(target, member, args, &result)) || FAILED(VariantChangeType(&result, &result, 0, VT_R8)))
        return -1;
    return result.dblVal;
}

bool CallBool(IDispatch* target, DISPID member, const std::vector<Arg>& args)
{
    VARIANT result;
    VariantInit(&result);
    if (FAILED(Call(target, member, args, &result)) || FAILED(VariantChangeType(&result, &result, 0, VT_BOOL)))
        return false;
    return result.boolVal != VARIANT_FALSE;
}

std::vector<std::string> CodecNames(IDispatch* component, DISPID listGetter)
{
    // As the program does it: the list is fetched afresh for every item.
    std::vector<std::string> names;
    VARIANT list;
    VariantInit(&list);
    if (FAILED(Invoke(component, listGetter, DISPATCH_PROPERTYGET, {}, &list)) || list.vt != VT_DISPATCH)
        return names;
    VARIANT count;
    VariantInit(&count);
    Invoke(list.pdispVal, 1, DISPATCH_PROPERTYGET, {}, &count);
    VariantClear(&list);
    VariantChangeType(&count, &count, 0, VT_I2);
    for (short i = 0; i < count.iVal; ++i) {
        VariantInit(&list);
        Invoke(component, listGetter, DISPATCH_PROPERTYGET, {}, &list);
        VARIANT item;
        VariantInit(&item);
        if (SUCCEEDED(Call(list.pdispVal, 3, {Arg(i)}, &item)) && item.vt == VT_BSTR) {
            char name[256] = {};
            WideCharToMultiByte(CP_ACP, 0, item.bstrVal, -1, name, sizeof(name), nullptr, nullptr);
            names.push_back(name);
        }
        VariantClear(&item);
        VariantClear(&list);
    }
    return names;
}

// --- Events -------------------------------------------------------------------------------

bool EventRecorder::Connect(IUnknown* component)
{
    // As a host finds the events interface: through IProvideClassInfo2.
    IProvideClassInfo2* classInfo = nullptr;
    if (FAILED(component->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&classInfo))))
        return false;
    const HRESULT hr = classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &m_eventsIid);
    classInfo->Release();
    if (FAILED(hr))
        return false;
    IConnectionPointContainer* container = nullptr;
    if (FAILED(component->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))))
        return false;
    const HRESULT found = container->FindConnectionPoint(m_eventsIid, &m_point);
    container->Release();
    return SUCCEEDED(found) && SUCCEEDED(m_point->Advise(static_cast<IDispatch*>(this), &m_cookie));
}

void EventRecorder::Disconnect()
{
    if (m_point) {
        m_point->Unadvise(m_cookie);
        m_point->Release();
        m_point = nullptr;
    }
}

size_t EventRecorder::Count(DISPID id) const
{
    size_t count = 0;
    for (const Event& event : events)
        count += event.id == id;
    return count;
}

HRESULT EventRecorder::QueryInterface(REFIID riid, void** object)
{
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_eventsIid) {
        *object = static_cast<IDispatch*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT EventRecorder::GetTypeInfoCount(UINT* count)
{
    *count = 0;
    return S_OK;
}

HRESULT EventRecorder::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*)
{
    Event event{member, {}, GetCurrentThreadId(), static_cast<DWORD>(GetMessageTime())};
    for (UINT i = params->cArgs; i-- > 0;) {
        VARIANT value;
        VariantInit(&value);
        VariantChangeType(&value, &params->rgvarg[i], 0, VT_R8);
        event.args.push_back(value.dblVal);
    }
    events.push_back(event);
    return S_OK;
}

// --- A host window ------------------------------------------------------------------------

HostWindow::HostWindow(int width, int height)
{
    static const ATOM registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = "VideoEditTestHost";
        return RegisterClassA(&wc);
    }();
    (void)registered;
    m_hwnd = CreateWindowExA(WS_EX_TOPMOST, "VideoEditTestHost", "host", WS_POPUP | WS_VISIBLE, 10, 10, width, height,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

HostWindow::~HostWindow()
{
    if (m_hwnd)
        DestroyWindow(m_hwnd);
}

HRESULT HostWindow::QueryInterface(REFIID riid, void** object)
{
    if (riid == IID_IUnknown || riid == IID_IOleWindow) {
        *object = static_cast<IOleWindow*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT HostWindow::GetWindow(HWND* hwnd)
{
    *hwnd = m_hwnd;
    return S_OK;
}

COLORREF PixelAt(HWND hwnd, int x, int y)
{
    HDC dc = GetDC(hwnd);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return colour;
}

// --- Our processes ------------------------------------------------------------------------

int OwnFfmpegProcesses()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ParentProcessID == GetCurrentProcessId() && lstrcmpiA(entry.szExeFile, "ffmpeg.exe") == 0)
            ++count;
    CloseHandle(snapshot);
    return count;
}

} // namespace harness
