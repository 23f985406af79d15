// Remembers what ffmpeg said about each file.
#include "standins/videoedit/media_info_cache.h"

namespace vedit {

std::string MediaInfoCache::Key(const std::string& path)
{
    std::string key = path;
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        else if (c == '/')
            c = '\\';
    }
    return key;
}

const MediaInfo* MediaInfoCache::Find(const FileIdentity& file) const
{
    const auto found = m_entries.find(Key(file.path));
    if (found == m_entries.end())
        return nullptr;
    const Entry& entry = found->second;
    if (entry.size != file.size || entry.modifiedTime != file.modifiedTime)
        return nullptr;
    return &entry.info;
}

void MediaInfoCache::Store(const FileIdentity& file, const MediaInfo& info)
{
    m_entries[Key(file.path)] = Entry{file.size, file.modifiedTime, info};
}

} // namespace vedit
