// venc.exe's texts are UTF-8 inside, whatever the system's ANSI code page: its arguments are
// read from the wide command line and everything it hands to Windows (file tests, ffmpeg's
// command line) goes back through the wide API. ffmpeg reads its own wide command line and
// works in UTF-8 too, so a name or title in any language arrives unchanged.
#pragma once

#include <string>
#include <vector>

namespace venc {

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

// The program's arguments (without its own name), split the way the C runtime splits them.
std::vector<std::string> Utf8Arguments();

} // namespace venc
