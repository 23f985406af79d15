// ViviRarir: hands one finished MP4 file to iTunes. Varnello runs it after each converted task
// as  ViviRarir "<path>"  and waits for it. It never shows a window.
//
// Through iTunes' COM automation ("iTunes.Application") when iTunes is installed: the file is
// added to the library playlist and the program waits until iTunes has finished adding it.
// Without iTunes (or when its automation fails) the file is copied into the "Automatically Add
// to iTunes" folder of the user's iTunes media folder, which iTunes empties into its library
// at its next start. Otherwise nothing happens.
//
// However it goes, it gives up after two minutes and exits (code 6): Varnello waits for it
// without answering, so a stuck iTunes must not freeze Varnello's window for good. A file that
// iTunes was still adding may then be missing from the library.
//
// Exit codes:
//   0  added through iTunes
//   1  copied into the "Automatically Add to iTunes" folder
//   2  neither iTunes nor that folder exists: nothing done
//   3  not exactly one argument
//   4  the file is missing or cannot be read: nothing done
//   5  iTunes and the folder both failed to take the file
//   6  gave up after the time limit
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>

namespace {

enum ExitCode {
    kAddedToiTunes = 0,
    kCopiedToFolder = 1,
    kNothingToDo = 2,
    kBadArguments = 3,
    kUnreadableFile = 4,
    kFailed = 5,
    kGaveUp = 6,
};

// How long ViviRarir may take in all. The environment variable VIVIRARIR_TIME_LIMIT_MS may
// shorten it (for tests of a stuck iTunes); it can never lengthen it.
constexpr DWORD kTimeLimitMs = 120000;

DWORD TimeLimitMs()
{
    char text[32] = {};
    const DWORD length = GetEnvironmentVariableA("VIVIRARIR_TIME_LIMIT_MS", text, sizeof(text));
    if (length == 0 || length >= sizeof(text))
        return kTimeLimitMs;
    const unsigned long value = std::strtoul(text, nullptr, 10);
    return value > 0 && value < kTimeLimitMs ? static_cast<DWORD>(value) : kTimeLimitMs;
}

// Ends the whole process when the time is up, wherever the main thread is stuck (a call into
// iTunes that never returns included).
DWORD WINAPI GiveUpWhenTimeIsUp(LPVOID parameter)
{
    Sleep(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(parameter)));
    TerminateProcess(GetCurrentProcess(), kGaveUp);
    return 0;
}

void StartTimeLimit()
{
    const HANDLE watchdog = CreateThread(nullptr, 0, GiveUpWhenTimeIsUp,
                                         reinterpret_cast<LPVOID>(static_cast<ULONG_PTR>(TimeLimitMs())), 0, nullptr);
    if (watchdog)
        CloseHandle(watchdog);
}

// --- small owners --------------------------------------------------------------------------

class ComApartment {
public:
    ComApartment() : m_ok(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComApartment()
    {
        if (m_ok)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_ok;
};

class DispatchPtr {
public:
    DispatchPtr() = default;
    ~DispatchPtr() { Reset(); }
    DispatchPtr(const DispatchPtr&) = delete;
    DispatchPtr& operator=(const DispatchPtr&) = delete;
    IDispatch** Out()
    {
        Reset();
        return &m_p;
    }
    IDispatch* Get() const { return m_p; }
    void Reset()
    {
        if (m_p)
            m_p->Release();
        m_p = nullptr;
    }

private:
    IDispatch* m_p = nullptr;
};

class Bstr {
public:
    explicit Bstr(const std::wstring& text) : m_b(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(m_b); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR Get() const { return m_b; }

private:
    BSTR m_b;
};

class Variant {
public:
    Variant() { VariantInit(&m_v); }
    ~Variant() { VariantClear(&m_v); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* operator&() { return &m_v; }
    const VARIANT& Get() const { return m_v; }

private:
    VARIANT m_v;
};

std::wstring Widen(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

// --- late-bound calls ----------------------------------------------------------------------

HRESULT Invoke(IDispatch* object, const wchar_t* name, WORD flags, VARIANT* args, UINT argCount,
               VARIANT* result)
{
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        return hr;
    DISPPARAMS params{args, nullptr, argCount, 0};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

bool GetDispatchProperty(IDispatch* object, const wchar_t* name, DispatchPtr& out)
{
    Variant result;
    if (FAILED(Invoke(object, name, DISPATCH_PROPERTYGET, nullptr, 0, &result)))
        return false;
    if (result.Get().vt != VT_DISPATCH || !result.Get().pdispVal)
        return false;
    *out.Out() = result.Get().pdispVal;
    out.Get()->AddRef();
    return true;
}

// True while iTunes is still adding; false when done or when it cannot be asked.
bool StillInProgress(IDispatch* operation)
{
    Variant result;
    if (FAILED(Invoke(operation, L"InProgress", DISPATCH_PROPERTYGET, nullptr, 0, &result)))
        return false;
    Variant asBool;
    if (FAILED(VariantChangeType(&asBool, const_cast<VARIANT*>(&result.Get()), 0, VT_BOOL)))
        return false;
    return asBool.Get().boolVal != VARIANT_FALSE;
}

// iTunes installed: its ProgID is registered. Looked up in the registry before COM is
// started, because starting COM is by far the dearest thing this program does (well over a
// second under Wine) and is wasted on every machine without iTunes.
bool ITunesProgIdRegistered()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"iTunes.Application\\CLSID", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool ITunesInstalled(CLSID& clsid)
{
    return SUCCEEDED(CLSIDFromProgID(L"iTunes.Application", &clsid));
}

bool AddThroughITunes(const CLSID& clsid, const std::string& path)
{
    DispatchPtr app;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER,
                                IID_IDispatch, reinterpret_cast<void**>(app.Out()))) ||
        !app.Get())
        return false;
    DispatchPtr library;
    if (!GetDispatchProperty(app.Get(), L"LibraryPlaylist", library))
        return false;

    Bstr file(Widen(path));
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = file.Get();
    Variant operation;
    if (FAILED(Invoke(library.Get(), L"AddFile", DISPATCH_METHOD, &arg, 1, &operation)))
        return false;
    // AddFile returns an operation status, or nothing when the file was taken at once.
    if (operation.Get().vt == VT_DISPATCH && operation.Get().pdispVal) {
        while (StillInProgress(operation.Get().pdispVal))
            Sleep(100);
    }
    return true;
}

// --- the folder iTunes watches -------------------------------------------------------------

bool IsDirectory(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// "Automatically Add to iTunes" inside the media folder: "iTunes Media" since iTunes 9,
// "iTunes Music" before. Empty when neither exists.
std::string AutoAddFolder()
{
    char music[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_MYMUSIC, nullptr, SHGFP_TYPE_CURRENT, music)))
        return std::string();
    for (const char* media : {"\\iTunes\\iTunes Media", "\\iTunes\\iTunes Music"}) {
        const std::string folder = std::string(music) + media + "\\Automatically Add to iTunes";
        if (IsDirectory(folder))
            return folder;
    }
    return std::string();
}

// Copies without overwriting: a file of the same name still waiting there gets a number.
bool CopyInto(const std::string& folder, const std::string& path)
{
    const std::string::size_type slash = path.find_last_of("\\/");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string::size_type dot = name.find_last_of('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);

    std::string target = folder + "\\" + name;
    for (int k = 2; GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES; ++k) {
        if (k > 9999)
            return false;
        target = folder + "\\" + stem + "_" + std::to_string(k) + extension;
    }
    return CopyFileA(path.c_str(), target.c_str(), TRUE) != FALSE;
}

bool IsReadableFile(const std::string& path)
{
    if (IsDirectory(path))
        return false;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    StartTimeLimit();
    if (__argc != 2)
        return kBadArguments;
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(__argv[1], sizeof(full), full, nullptr);
    if (length == 0 || length >= sizeof(full) || !IsReadableFile(full))
        return kUnreadableFile;
    const std::string path = full;

    bool tried = false;
    if (ITunesProgIdRegistered()) {
        ComApartment com;
        CLSID clsid{};
        if (ITunesInstalled(clsid)) {
            tried = true;
            if (AddThroughITunes(clsid, path))
                return kAddedToiTunes;
        }
    }
    const std::string folder = AutoAddFolder();
    if (!folder.empty()) {
        if (CopyInto(folder, path))
            return kCopiedToFolder;
        return kFailed;
    }
    return tried ? kFailed : kNothingToDo;
}
