// Byte strings that hold text in the ANSI code page, which is UTF-8 when the program's
// manifest makes it so (Windows 10 1903 and later, Wine) and a one- or two-byte code page on
// older Windows. Every limit the program keeps in bytes (fixed buffers, cut texts) goes
// through here, so that a cut never leaves half a character behind. Pure: no windows.h.
#pragma once

#include <cstddef>
#include <string>

namespace textbytes {

// Tells whether a byte begins a two-byte character of the code page in use.
using LeadByteTest = bool (*)(unsigned char byte);

// The program's code page, chosen once at start-up: a two-byte code page's lead-byte test,
// or nullptr (the default) for UTF-8 and the one-byte code pages.
void UseDoubleByteCodePage(LeadByteTest isLeadByte);

// The number of bytes of the character that begins at `pos` (pos < text.size()): 1 for
// ASCII and for a byte that starts no well-formed character, never past the end.
std::size_t CharLength(const std::string& text, std::size_t pos);

// The longest prefix of `text` that is at most `maxBytes` long and ends between characters.
std::string CutToFit(const std::string& text, std::size_t maxBytes);

// `text` without a last character that is missing bytes, as a system call that filled a
// buffer may leave it.
std::string DropBrokenEnd(const std::string& text);

// Copies `src` into the zero-terminated buffer `dest` of `destSize` bytes, cut between
// characters when it does not fit. Returns false when it had to be cut.
bool CopyToBuffer(char* dest, std::size_t destSize, const char* src);

} // namespace textbytes
