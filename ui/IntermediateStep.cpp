// The intermediate step of a RealMedia task: the video control writes the trimmed range to
// an AVI (or MPEG) file in the program's folder, which the encoder then reads.
#include "ui/VarnelloDlg.h"

#include <string>
#include <vector>

#include "app/VarnelloApp.h"
#include "engine/MessagePump.h"
#include "videoedit/IntermediateLogic.h"

namespace {

std::vector<std::string> CodecNames(IDispatch* pListDispatch)
{
    std::vector<std::string> names;
    if (!pListDispatch)
        return names;
    CCodecList list(pListDispatch);
    const short nCount = list.GetCount();
    for (short i = 0; i < nCount; ++i)
        names.push_back(static_cast<const char*>(list.Item(i)));
    return names;
}

} // namespace

void CVarnelloDlg::TranscodeToIntermediate(int nIndex)
{
    const int nVideo = ChooseIntermediateCodec(CodecNames(m_videoEdit.GetVideoCodecs()),
                                               "Microsoft MPEG-4 Video Codec V3", "DivX");
    const int nAudio = ChooseIntermediateCodec(CodecNames(m_videoEdit.GetAudioCodecs()), "MPEG Layer-3", "PCM");
    const IntermediateSettings settings = MakeIntermediateSettings(nVideo, nAudio);

    m_videoEdit.ClearClips();
    m_videoEdit.SetOutputWidth(settings.nWidth);
    m_videoEdit.SetOutputHeight(settings.nHeight);
    m_videoEdit.SetColorDepth(settings.nColorDepth);
    m_videoEdit.SetFrameRate(settings.fFrameRate);
    m_videoEdit.SetOutputFormat(settings.nFormat);
    if (settings.bAvi) {
        m_videoEdit.SetVideoCompression(TRUE);
        m_videoEdit.SetVideoCodecIndex(static_cast<short>(nVideo));
        m_videoEdit.SetAudioCompression(TRUE);
        m_videoEdit.SetAudioCodecIndex(static_cast<short>(nAudio));
    }

    ConvertTask task = m_arrTasks.GetAt(nIndex);
    m_videoEdit.AddVideoClip(task.strSourcePath, task.dStartTime, task.dEndTime, 0);
    m_videoEdit.AddAudioClip(task.strSourcePath, task.dStartTime, task.dEndTime);

    char szPath[MAX_PATH] = {};
    const bool bPathFits = FormatIntermediatePath(g_szModuleDir, task.strOutputName, settings.szNameFormat,
                                                  RandomInRange(10000, 50000), szPath, sizeof(szPath));
    task.strIntermediatePath = szPath;
    task.nPhase = 1;
    task.bIntermediateDone = 0;
    m_arrTasks.SetAt(nIndex, task);
    if (!bPathFits)
        return; // too long a path for the program's buffers: the encoder then fails the task

    DeleteFileA(szPath);
    g_dwConvertStartTick = GetTickCount();
    if (!m_videoEdit.StartConvert(szPath)) {
        DeleteFileA(szPath);
        return;
    }
    while (!g_bStopConvert && IsValidTask(g_nConvertIndex) && m_arrTasks.GetAt(g_nConvertIndex).bIntermediateDone != 1)
        PumpMessages();
}

void CVarnelloDlg::OnIntermediateProgress(double dPosition, double dTotal)
{
    if (!IsValidTask(g_nConvertIndex))
        return;
    const IntermediateProgress progress =
        ComputeIntermediateProgress(dPosition, dTotal, GetTickCount() - g_dwConvertStartTick);
    ConvertTask task = m_arrTasks.GetAt(g_nConvertIndex);
    task.dIntermediatePos = dPosition;
    task.dIntermediatePercent = progress.dPercent;
    task.dIntermediateRemain = progress.dRemain;
    m_arrTasks.SetAt(g_nConvertIndex, task);
    InvalidateCells(g_nConvertIndex, g_nConvertIndex, 4, false);

    PumpMessages();
    if (g_bStopConvert) {
        m_videoEdit.StopConvert();
        if (IsValidTask(g_nConvertIndex) && !m_arrTasks.GetAt(g_nConvertIndex).strIntermediatePath.IsEmpty())
            DeleteFileA(m_arrTasks.GetAt(g_nConvertIndex).strIntermediatePath);
    }
}

void CVarnelloDlg::OnIntermediateFinished()
{
    m_videoEdit.StopConvert();
    if (!IsValidTask(g_nConvertIndex))
        return;
    ConvertTask task = m_arrTasks.GetAt(g_nConvertIndex);
    task.nPhase = 2;
    task.bIntermediateDone = 1;
    m_arrTasks.SetAt(g_nConvertIndex, task);
}
