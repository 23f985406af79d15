#include "engine/MessageText.h"

#include <cstring>
#include <string>

CString CenterMessageText(const char* pszText)
{
    constexpr std::size_t kWidth = 100;
    const std::string text = pszText ? pszText : "";
    if (text.size() >= kWidth)
        return CString(text);
    std::string field(kWidth - 1, ' ');
    field.replace((kWidth - text.size()) / 2, text.size(), text);
    return CString(field);
}
