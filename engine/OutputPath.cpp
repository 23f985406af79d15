// Output file naming; see OutputPath.h.
#include "engine/OutputPath.h"

#include <cstdio>
#include <cstring>
#include <set>

#include "framework/TextBytes.h"

namespace outputpath {

std::string SafeFileName(const std::string& name)
{
    // Character by character: the forbidden characters are all ASCII, and a byte of a
    // longer character (a two-byte code page's trail byte may be 0x5C, "\\") is kept.
    std::string safe = name;
    for (std::size_t pos = 0; pos < safe.size();) {
        const std::size_t length = textbytes::CharLength(safe, pos);
        const unsigned char code = static_cast<unsigned char>(safe[pos]);
        if (length == 1 && (code < 32 || std::strchr("\\/:*?\"<>|", safe[pos]) != nullptr))
            safe[pos] = '_';
        pos += length;
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

std::string ReserveOutputPath(const std::string& folder, const std::string& outputName,
                              const std::function<bool(const std::string&)>& exists,
                              const std::function<Claim(const std::string&)>& claim)
{
    // Each name taken meanwhile counts as existing from then on; a folder that keeps making
    // files faster than names are tried is given up on.
    constexpr int kMaxAttempts = 1000;
    std::set<std::string> taken;
    const auto existsOrTaken = [&](const std::string& candidate) {
        return taken.count(candidate) != 0 || exists(candidate);
    };
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        const std::string candidate = ChooseOutputPath(folder, outputName, existsOrTaken);
        if (candidate.empty())
            return std::string();
        switch (claim(candidate)) {
        case Claim::Created:
            return candidate;
        case Claim::Taken:
            taken.insert(candidate);
            break;
        case Claim::Failed:
            return std::string();
        }
    }
    return std::string();
}

} // namespace outputpath
