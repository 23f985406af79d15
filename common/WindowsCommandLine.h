// Windows command lines from argument lists, quoted so that the C runtime and
// CommandLineToArgvW both split them back into the same arguments. Pure code, no windows.h.
#pragma once

#include <string>
#include <vector>

namespace wincmd {

// One argument, quoted only where it needs to be.
inline std::string QuoteArgument(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos)
        return argument;
    // Backslashes are literal except before a quote, where each must be doubled.
    std::string quoted = "\"";
    size_t pendingBackslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++pendingBackslashes;
            continue;
        }
        if (c == '"')
            quoted.append(pendingBackslashes * 2 + 1, '\\');
        else
            quoted.append(pendingBackslashes, '\\');
        pendingBackslashes = 0;
        quoted += c;
    }
    quoted.append(pendingBackslashes * 2, '\\'); // they precede the closing quote
    quoted += '"';
    return quoted;
}

// Every argument quoted where needed, separated by one space.
inline std::string JoinCommandLine(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty())
            line += ' ';
        line += QuoteArgument(argument);
    }
    return line;
}

} // namespace wincmd
