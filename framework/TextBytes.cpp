// Character boundaries in ANSI byte strings; see TextBytes.h.
#include "framework/TextBytes.h"

#include <cstring>

namespace textbytes {

namespace {

LeadByteTest g_isLeadByte = nullptr;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

std::size_t Utf8Length(const std::string& text, std::size_t pos)
{
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    if (pos + length > text.size())
        return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(text[pos + i])))
            return 1;
    }
    return length;
}

} // namespace

void UseDoubleByteCodePage(LeadByteTest isLeadByte) { g_isLeadByte = isLeadByte; }

std::size_t CharLength(const std::string& text, std::size_t pos)
{
    if (g_isLeadByte == nullptr)
        return Utf8Length(text, pos);
    // A lead byte at the very end has no trail byte to pair with.
    return g_isLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

std::string CutToFit(const std::string& text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    // Walk from the start: in a two-byte code page a trail byte can look like a lead byte or
    // like ASCII, so only the walk knows where characters begin.
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + CharLength(text, end);
        if (next > maxBytes)
            break;
        end = next;
    }
    return text.substr(0, end);
}

std::string DropBrokenEnd(const std::string& text)
{
    std::size_t last = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos))
        last = pos;
    if (text.empty() || CharLength(text, last) > 1)
        return text;
    // The last character is one byte: broken when it is a lead byte with nothing after it,
    // or, in UTF-8, the end of a sequence whose lead byte promised more.
    const unsigned char byte = static_cast<unsigned char>(text[last]);
    if (g_isLeadByte != nullptr)
        return g_isLeadByte(byte) ? text.substr(0, last) : text;
    std::size_t start = last;
    while (start > 0 && last - start < 3 && IsContinuation(static_cast<unsigned char>(text[start])))
        --start;
    const unsigned char lead = static_cast<unsigned char>(text[start]);
    if (lead >= 0xC2 && lead <= 0xF4 && CharLength(text, start) == 1)
        return text.substr(0, start);
    return text;
}

bool CopyToBuffer(char* dest, std::size_t destSize, const char* src)
{
    if (destSize == 0)
        return false;
    const std::string text(src != nullptr ? src : "");
    const std::string fitted = CutToFit(text, destSize - 1);
    std::memcpy(dest, fitted.c_str(), fitted.size() + 1);
    return fitted.size() == text.size();
}

} // namespace textbytes
