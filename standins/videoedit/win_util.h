// Small owning wrappers and text conversions shared by the component's Windows side.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "common/ComPtr.h"
#include "common/UniqueHandle.h"

#include <string>
#include <utility>

namespace vedit {

// Kernel handles and COM references in the program's one owner of each.
using UniqueHandle = ::UniqueHandle;
template <class T>
using ComRef = ::ComPtr<T>;

std::string Utf8FromWide(const wchar_t* text, size_t length);
inline std::string Utf8FromWide(const std::wstring& text) { return Utf8FromWide(text.data(), text.size()); }
std::wstring WideFromUtf8(const std::string& text);

// The program's directory with a trailing backslash.
std::wstring ModuleDirectory();

} // namespace vedit
