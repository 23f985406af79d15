// Paths of the staged program and the source tree as a Windows test running under Wine sees
// them: ctest passes Unix paths in the environment; Wine's Z: drive is the Unix root.
#pragma once
#include <cstdlib>
#include <string>

namespace testpaths {

inline std::string UnixToWine(const std::string& unixPath)
{
    if (unixPath.size() >= 2 && unixPath[1] == ':')
        return unixPath; // already a Windows path
    std::string out = "Z:";
    for (char c : unixPath)
        out += (c == '/') ? '\\' : c;
    return out;
}

inline std::string FromEnv(const char* name)
{
    const char* value = std::getenv(name);
    return value ? UnixToWine(value) : std::string();
}

// The staged program folder (build/dist) with a trailing backslash.
inline std::string DistDir() { return FromEnv("VARNELLO_DIST") + "\\"; }
// The source tree's root with a trailing backslash.
inline std::string SourceDir() { return FromEnv("VARNELLO_SOURCE") + "\\"; }

} // namespace testpaths
