// What the component learns from ffmpeg.exe about files and about itself: a file's length,
// picture size and streams (remembered per file as long as it is unchanged), and the
// encoders it has (asked once).
#pragma once
#include <windows.h>

#include <set>
#include <string>

#include "standins/videoedit/media_info_cache.h"
#include "standins/videoedit/media_probe.h"

namespace vedit {

class MediaTools {
public:
    explicit MediaTools(std::wstring ffmpegPath) : m_ffmpeg(std::move(ffmpegPath)) {}
    MediaTools(const MediaTools&) = delete;
    MediaTools& operator=(const MediaTools&) = delete;

    const std::wstring& Program() const { return m_ffmpeg; }

    // Facts about a file; a file that is missing or unreadable gives readable = false.
    MediaInfo Inspect(const std::wstring& path);
    // The same, with the black bars of the picture looked for (frames spread through the
    // file are decoded once, then remembered): what a preview shows.
    MediaInfo InspectPicture(const std::wstring& path);
    // Number of times a file had to be read by ffmpeg (the rest came from memory).
    unsigned FileReads() const { return m_fileReads; }

    const std::set<std::string>& Encoders();

private:
    std::wstring m_ffmpeg;
    MediaInfoCache m_cache;
    unsigned m_fileReads = 0;
    bool m_encodersKnown = false;
    std::set<std::string> m_encoders;
};

} // namespace vedit
