// Output file naming; see OutputPath.h.
#include "engine/OutputPath.h"

#include <cstdio>
#include <cstring>

namespace outputpath {

std::string SafeFileName(const std::string& name)
{
    std::string safe = name;
    for (char& ch : safe) {
        const unsigned char code = static_cast<unsigned char>(ch);
        if (code < 32 || std::strchr("\\/:*?\"<>|", ch) != nullptr)
            ch = '_';
    }
    return safe;
}

std::string WithTrailingBackslash(const std::string& folder)
{
    if (folder.empty() || folder.back() != '\\')
        return folder + '\\';
    return folder;
}

std::string ChooseOutputPath(const std::string& folder, const std::string& outputName,
                             const std::function<bool(const std::string&)>& exists)
{
    const std::string base = WithTrailingBackslash(folder) + SafeFileName(outputName);
    std::string candidate = base + ".mp4";
    for (int k = 2; candidate.size() <= kMaxPath && exists(candidate); ++k)
        candidate = base + "_" + std::to_string(k) + ".mp4";
    if (candidate.size() > kMaxPath)
        return std::string();
    return candidate;
}

} // namespace outputpath
