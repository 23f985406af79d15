// Text conversions shared by the component's Windows side.
#include "standins/videoedit/win_util.h"

namespace vedit {

std::string Utf8FromWide(const wchar_t* text, size_t length)
{
    if (length == 0)
        return std::string();
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &result[0], bytes, nullptr, nullptr);
    return result;
}

std::wstring WideFromUtf8(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int chars = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(chars > 0 ? chars : 0), L'\0');
    if (chars > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], chars);
    return result;
}

std::wstring ModuleDirectory()
{
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring directory(path, length);
    const size_t slash = directory.find_last_of(L"\\/");
    directory.resize(slash == std::wstring::npos ? 0 : slash + 1);
    return directory;
}

} // namespace vedit
