// The intermediate transcoding step of a conversion run.
#include "videocontrol/IntermediateTranscode.h"

#include <windows.h>

#include <string>
#include <vector>

#include "engine/ConversionState.h"
#include "framework/MessagePump.h"
#include "engine/TaskCell.h"
#include "videocontrol/IntermediateLogic.h"
#include "videocontrol/VideoEdit.h"

namespace {

// Longest sleep between two looks at the step's state while no message comes.
constexpr DWORD kStepPollMs = 50;

// The names of a codec list; the list object is fetched afresh for every item and released
// after it, as the control's lists are snapshots.
std::vector<std::string> CodecNames(CVideoEdit& videoEdit, LPDISPATCH (CVideoEdit::*getList)())
{
    std::vector<std::string> names;
    short nCount = 0;
    {
        CCodecList list((videoEdit.*getList)());
        nCount = list.GetCount();
    }
    for (short i = 0; i < nCount; ++i) {
        CCodecList list((videoEdit.*getList)());
        names.push_back(static_cast<const char*>(list.Item(i)));
    }
    return names;
}

// A directory search, closed when it goes out of scope.
class FileSearch {
public:
    explicit FileSearch(HANDLE search) : m_search(search) {}
    ~FileSearch()
    {
        if (IsOpen())
            FindClose(m_search);
    }
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;
    bool IsOpen() const { return m_search != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_search; }

private:
    HANDLE m_search;
};

bool ValidIndex(const ConversionTarget& target, int nIndex)
{
    return nIndex >= 0 && nIndex < target.GetTaskCount();
}

} // namespace

void TranscodeToIntermediate(CVideoEdit& videoEdit, ConversionTarget& target, const char* szFolder, int nIndex)
{
    if (!StartIntermediateStep(videoEdit, target, szFolder, nIndex))
        return;

    // 8. The control's events arrive while the messages are pumped. Between two looks the
    // thread sleeps until a message comes or a short time has passed: a busy loop here would
    // take a processor from the transcoding it waits for.
    while (!g_bStopConvert) {
        if (!ValidIndex(target, g_nConvertIndex) || target.GetTask(g_nConvertIndex).bIntermediateDone == 1)
            break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kStepPollMs, QS_ALLINPUT);
        PumpMessages();
    }
}

bool StartIntermediateStep(CVideoEdit& videoEdit, ConversionTarget& target, const char* szFolder, int nIndex)
{
    if (!ValidIndex(target, nIndex))
        return false;

    // 1. Codecs: MS MPEG-4 V3 before DivX, MP3 before PCM, whatever the lists' order.
    const int nVideo = ChooseIntermediateCodec(CodecNames(videoEdit, &CVideoEdit::GetVideoCodecs),
                                               "Microsoft MPEG-4 Video Codec V3", "DivX");
    const int nAudio = ChooseIntermediateCodec(CodecNames(videoEdit, &CVideoEdit::GetAudioCodecs), "MPEG Layer-3", "PCM");
    const IntermediateSettings settings = MakeIntermediateSettings(nVideo, nAudio);

    // 2. Settings, in this order.
    videoEdit.ClearClips();
    videoEdit.SetOutputWidth(settings.nWidth);
    videoEdit.SetOutputHeight(settings.nHeight);
    videoEdit.SetColorDepth(settings.nColorDepth);
    videoEdit.SetFrameRate(settings.fFrameRate);
    videoEdit.SetOutputFormat(settings.nFormat);
    if (settings.bAvi) {
        videoEdit.SetVideoCompression(TRUE);
        videoEdit.SetVideoCodecIndex(static_cast<short>(nVideo));
        videoEdit.SetAudioCompression(TRUE);
        videoEdit.SetAudioCodecIndex(static_cast<short>(nAudio));
    }

    // 3. The clips: the encoder later cuts the file to end - start, reading from its start.
    ConvertTask task = target.GetTask(nIndex);
    videoEdit.AddVideoClip(task.strSourcePath, task.dStartTime, task.dEndTime, 0);
    videoEdit.AddAudioClip(task.strSourcePath, task.dStartTime, task.dEndTime);

    // 4, 5. The file's name, in the task before writing starts. A name that does not fit a
    // path is refused like a start the control refused: phase 1, not done, no file.
    char szPath[MAX_PATH];
    const bool bPathFits =
        FormatIntermediatePath(szFolder, task.strOutputName, settings.szNameFormat,
                               RandomInRange(kIntermediateNumberMin, kIntermediateNumberMax), szPath, sizeof(szPath));
    task.strIntermediatePath = bPathFits ? szPath : "";
    task.nPhase = 1;
    task.bIntermediateDone = 0;
    target.SetTask(nIndex, task);
    if (!bPathFits)
        return false;

    // 6, 7.
    DeleteFileA(szPath);
    g_dwConvertStartTick = GetTickCount();
    if (!videoEdit.StartConvert(szPath)) {
        DeleteFileA(szPath);
        return false;
    }
    return true;
}

void OnIntermediateProgress(CVideoEdit& videoEdit, ConversionTarget& target, double dPos, double dTotal)
{
    const int nIndex = g_nConvertIndex;
    if (!ValidIndex(target, nIndex))
        return;
    const DWORD dwElapsed = GetTickCount() - g_dwConvertStartTick;
    const IntermediateProgress progress = ComputeIntermediateProgress(dPos, dTotal, dwElapsed);

    ConvertTask task = target.GetTask(nIndex);
    task.dIntermediatePos = dPos;
    task.dIntermediatePercent = progress.dPercent;
    task.dIntermediateRemain = progress.dRemain;
    target.SetTask(nIndex, task);
    target.InvalidateCells(nIndex, nIndex, kColumnProgress, false);

    PumpMessages();

    if (g_bStopConvert) {
        videoEdit.StopConvert();
        if (ValidIndex(target, nIndex)) {
            const ConvertTask stopped = target.GetTask(nIndex);
            if (!stopped.strIntermediatePath.IsEmpty())
                DeleteFileA(stopped.strIntermediatePath);
        }
    }
}

void OnIntermediateFinished(CVideoEdit& videoEdit, ConversionTarget& target)
{
    videoEdit.StopConvert();
    const int nIndex = g_nConvertIndex;
    if (!ValidIndex(target, nIndex))
        return;
    ConvertTask task = target.GetTask(nIndex);
    task.nPhase = 2;
    task.bIntermediateDone = 1;
    target.SetTask(nIndex, task);
}

void RemoveLeftoverIntermediateFiles(const char* szFolder)
{
    const std::string folder = szFolder;
    WIN32_FIND_DATAA found{};
    const FileSearch search(FindFirstFileA((folder + "*_*.*").c_str(), &found));
    if (!search.IsOpen())
        return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsIntermediateFileName(found.cFileName))
            DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search.Get(), &found));
}
