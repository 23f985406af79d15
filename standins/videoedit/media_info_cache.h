// Remembers what ffmpeg said about each file, so that asking again for an unchanged file
// (selecting a row, previewing) starts no process. Pure code: no windows.h.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <tuple>

#include "standins/videoedit/media_probe.h"

namespace vedit {

// A file as it is now on disk; a change of size or modification time makes it another file.
struct FileIdentity {
    std::string path;       // as given; compared without regard to ASCII case (Windows paths)
    uint64_t size = 0;
    uint64_t modifiedTime = 0;
};

class MediaInfoCache {
public:
    // The cached facts for this identity, or nullptr when the file is new or has changed.
    const MediaInfo* Find(const FileIdentity& file) const;
    void Store(const FileIdentity& file, const MediaInfo& info);
    size_t Size() const { return m_entries.size(); }

private:
    struct Entry {
        uint64_t size;
        uint64_t modifiedTime;
        MediaInfo info;
    };
    static std::string Key(const std::string& path);
    std::map<std::string, Entry> m_entries; // one entry per path: a changed file replaces it
};

} // namespace vedit
