// Reading the Open dialog's multi-file answer, the video filter's extension test and the
// ordered walk of a dropped folder.
#include "ui/SourceFiles.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace sourcefiles {

const char kVideoFilter[] =
    "Support Video Files|*.rm;*rmvb;*.avi;*.mpg;*.mpeg;*.vob;*.wmv;*.wma;*.asf;*.mov;*.qt;*.3gp|"
    "RealMedia Files (*.rm,*.rmvb)|*.rm;*.rmvb|AVI Files (*.avi)|*.avi|"
    "Mpeg files (*.mpg, *.mpeg,*.vob)|*.mpg;*.mpeg;*.vob|"
    "Windows Media files (*.wmv, *.wma, *.asf)|*.wmv;*.wma;*.asf|"
    "Quick Time Files (*.mov, *.qt)|*.mov; *.qt|3GP Files (*.3gp)|*.3gp|"
    // What phones, cameras, camcorders and downloads give today, with the kinds above.
    "All Supported Video Files|*.mp4;*.m4v;*.mkv;*.webm;*.flv;*.f4v;*.ogv;*.ogm;*.ts;*.mts;*.m2ts;*.m2t;"
    "*.3g2;*.divx;*.dv;*.mxf;*.m2v;*.mod;*.tod;*.vro;*.rm;*.rmvb;*.avi;*.mpg;*.mpeg;*.vob;*.wmv;*.wma;*.asf;"
    "*.mov;*.qt;*.3gp|"
    "All files (*.*)|*.*|";

namespace {

char Lower(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; }

bool EndsWithNoCase(const std::string& text, const std::string& tail)
{
    if (tail.size() > text.size())
        return false;
    const size_t offset = text.size() - tail.size();
    for (size_t i = 0; i < tail.size(); ++i)
        if (Lower(text[offset + i]) != Lower(tail[i]))
            return false;
    return true;
}

// The suffixes the filter's patterns ask for: "*.avi" gives ".avi", "*rmvb" gives "rmvb".
// Only the pattern halves of the description|pattern pairs are read; spaces around a
// pattern ("*.mov; *.qt") are not part of it.
std::vector<std::string> FilterSuffixes(const char* filter)
{
    std::vector<std::string> suffixes;
    std::string text(filter ? filter : "");
    size_t start = 0;
    for (int part = 0; start < text.size(); ++part) {
        size_t end = text.find('|', start);
        if (end == std::string::npos)
            end = text.size();
        if (part % 2 == 1) {
            const std::string patterns = text.substr(start, end - start);
            size_t p = 0;
            while (p <= patterns.size()) {
                size_t q = patterns.find(';', p);
                if (q == std::string::npos)
                    q = patterns.size();
                std::string pattern = patterns.substr(p, q - p);
                pattern.erase(0, pattern.find_first_not_of(' '));
                pattern.erase(pattern.find_last_not_of(' ') + 1);
                // Only "*suffix" patterns with a plain suffix; a bare "*" or "*.*" matches
                // everything, which this filter never offers.
                if (pattern.size() > 1 && pattern[0] == '*' && pattern.find_first_of("*?", 1) == std::string::npos)
                    suffixes.push_back(pattern.substr(1));
                p = q + 1;
            }
        }
        start = end + 1;
    }
    return suffixes;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

void Walk(const std::string& folder, const FolderLister& list, int depthLeft, const std::vector<std::string>& suffixes,
          std::vector<std::string>& found)
{
    for (const FolderEntry& entry : list(folder)) {
        if (entry.name.empty() || entry.name == "." || entry.name == "..")
            continue;
        const std::string path = JoinPath(folder, entry.name);
        if (entry.isFolder) {
            if (depthLeft > 0)
                Walk(path, list, depthLeft - 1, suffixes, found);
        } else if (std::any_of(suffixes.begin(), suffixes.end(),
                               [&](const std::string& suffix) { return EndsWithNoCase(entry.name, suffix); })) {
            found.push_back(path);
        }
    }
}

} // namespace

std::vector<std::string> ParseOpenFileNames(const char* buffer, size_t size)
{
    std::vector<std::string> parts;
    if (!buffer)
        return parts;
    size_t pos = 0;
    while (pos < size && buffer[pos] != '\0') {
        const void* zero = std::memchr(buffer + pos, '\0', size - pos);
        const size_t end = zero ? static_cast<size_t>(static_cast<const char*>(zero) - buffer) : size;
        parts.emplace_back(buffer + pos, end - pos);
        pos = end + 1;
    }
    if (parts.size() <= 1)
        return parts; // one file: its full path
    std::vector<std::string> paths;
    for (size_t i = 1; i < parts.size(); ++i)
        paths.push_back(JoinPath(parts[0], parts[i]));
    return paths;
}

bool MatchesFilter(const std::string& fileName, const char* filter)
{
    for (const std::string& suffix : FilterSuffixes(filter))
        if (EndsWithNoCase(fileName, suffix))
            return true;
    return false;
}

bool PathLess(const std::string& a, const std::string& b)
{
    const auto key = [](char ch) {
        // "\" sorts first; every other character by its lower-case byte value, bytes above
        // 127 (UTF-8 names) after all ASCII.
        return ch == '\\' ? 0 : static_cast<unsigned char>(Lower(ch)) + 1;
    };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return key(x) < key(y); });
}

std::vector<std::string> CollectVideoFiles(const std::string& folder, const FolderLister& list, int depthLimit)
{
    std::vector<std::string> found;
    Walk(folder, list, depthLimit, FilterSuffixes(kVideoFilter), found);
    std::sort(found.begin(), found.end(), PathLess);
    return found;
}

std::vector<std::string> DroppedSources(const std::vector<std::string>& dropped,
                                        const std::function<bool(const std::string&)>& isFolder,
                                        const FolderLister& list)
{
    std::vector<std::string> sources;
    for (const std::string& path : dropped) {
        if (!isFolder(path)) {
            sources.push_back(path);
            continue;
        }
        for (std::string& file : CollectVideoFiles(path, list))
            sources.push_back(std::move(file));
    }
    return sources;
}

std::string UnreadableFilesMessage(const std::vector<std::string>& fileNames, size_t maxNames)
{
    std::string text = fileNames.size() == 1 ? "The length of this file could not be read, so it was not added:\n"
                                             : "The length of these files could not be read, so they were not added:\n";
    for (size_t i = 0; i < fileNames.size() && i < maxNames; ++i)
        text += "\n" + fileNames[i];
    if (fileNames.size() > maxNames)
        text += "\n... and " + std::to_string(fileNames.size() - maxNames) + " more";
    return text;
}

} // namespace sourcefiles
