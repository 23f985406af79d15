// What the component learns from ffmpeg.exe about files and about itself.
#include "standins/videoedit/media_tools.h"

#include "encoder/crop_detect.h"
#include "standins/videoedit/child_process.h"
#include "standins/videoedit/ffmpeg_commands.h"
#include "standins/videoedit/win_util.h"

namespace vedit {
namespace {

constexpr DWORD kProbeTimeoutMs = 30000;
constexpr DWORD kMeasureTimeoutMs = 120000;

bool IdentifyFile(const std::wstring& path, FileIdentity& identity)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    identity.path = Utf8FromWide(path);
    identity.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    identity.modifiedTime = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                            data.ftLastWriteTime.dwLowDateTime;
    return true;
}

} // namespace

MediaInfo MediaTools::Inspect(const std::wstring& path)
{
    FileIdentity identity;
    if (!IdentifyFile(path, identity))
        return MediaInfo();
    if (const MediaInfo* known = m_cache.Find(identity))
        return *known;

    ++m_fileReads;
    const RunResult probe = RunToEnd(m_ffmpeg, ProbeArguments(identity.path), CapturedStream::Stderr, kProbeTimeoutMs);
    if (!probe.started)
        return MediaInfo(); // no ffmpeg: nothing learnt, nothing remembered
    MediaInfo info = ParseProbeOutput(probe.output);
    if (info.readable && !info.durationKnown) {
        // The container does not say how long it is: decode it once to find out.
        const RunResult measure = RunToEnd(m_ffmpeg, MeasureLengthArguments(identity.path),
                                           CapturedStream::Stderr, kMeasureTimeoutMs);
        const double seconds = ParseLastProgressTime(measure.output);
        if (measure.finished && seconds > 0) {
            info.durationKnown = true;
            info.durationSeconds = seconds;
        }
    }
    if (probe.finished)
        m_cache.Store(identity, info);
    return info;
}

MediaInfo MediaTools::InspectPicture(const std::wstring& path)
{
    MediaInfo info = Inspect(path);
    FileIdentity identity;
    if (!info.readable || !info.hasVideo || info.cropChecked || !IdentifyFile(path, identity))
        return info;
    const std::vector<double> positions =
        venc::CropSamplePositions(info.durationKnown ? info.durationSeconds : 0.0);
    bool finished = true;
    if (!positions.empty()) {
        ++m_fileReads;
        const RunResult found = RunToEnd(m_ffmpeg, venc::CropDetectArgs(identity.path, positions),
                                         CapturedStream::Stderr, kProbeTimeoutMs);
        const venc::CropBox box = venc::CropFromDetections(found.output, info.width, info.height,
                                                           static_cast<int>(positions.size()));
        finished = found.finished;
        info.hasCrop = box.found;
        info.cropX = box.x;
        info.cropY = box.y;
        info.cropWidth = box.width;
        info.cropHeight = box.height;
    }
    info.cropChecked = true;
    if (finished)
        m_cache.Store(identity, info);
    return info;
}

const std::set<std::string>& MediaTools::Encoders()
{
    if (!m_encodersKnown) {
        const RunResult listing = RunToEnd(m_ffmpeg, EncoderListArguments(), CapturedStream::Stdout, kProbeTimeoutMs);
        m_encoders = ParseEncoderList(listing.output);
        m_encodersKnown = listing.finished;
    }
    return m_encoders;
}

} // namespace vedit
