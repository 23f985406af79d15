// The intermediate step of a RealMedia task: the video control writes the trimmed range to
// an AVI (or MPEG) file in the program's folder, which the encoder then reads.
#include "ui/VarnelloDlg.h"

#include <string>
#include <vector>

#include "app/VarnelloApp.h"
#include "engine/MessagePump.h"
#include "videoedit/IntermediateMath.h"

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
    const int nVideo = intermediate::ChooseCodec(CodecNames(m_videoEdit.GetVideoCodecs()),
                                                 "Microsoft MPEG-4 Video Codec V3", "DivX");
    const int nAudio = intermediate::ChooseCodec(CodecNames(m_videoEdit.GetAudioCodecs()), "MPEG Layer-3", "PCM");
    const bool bAvi = nVideo >= 0 && nAudio >= 0;

    m_videoEdit.ClearClips();
    m_videoEdit.SetOutputWidth(320);
    m_videoEdit.SetOutputHeight(240);
    m_videoEdit.SetColorDepth(24);
    m_videoEdit.SetFrameRate(bAvi ? 25.0f : 23.976f);
    m_videoEdit.SetOutputFormat(bAvi ? 8 : 6);
    if (bAvi) {
        m_videoEdit.SetVideoCompression(true);
        m_videoEdit.SetVideoCodecIndex(static_cast<short>(nVideo));
        m_videoEdit.SetAudioCompression(true);
        m_videoEdit.SetAudioCodecIndex(static_cast<short>(nAudio));
    }

    ConvertTask task = m_arrTasks.GetAt(nIndex);
    m_videoEdit.AddVideoClip(task.strSourcePath, task.dStartTime, task.dEndTime, 0);
    m_videoEdit.AddAudioClip(task.strSourcePath, task.dStartTime, task.dEndTime);

    const std::string strPath = intermediate::IntermediatePath(
        g_szModuleDir, static_cast<const char*>(task.strOutputName), intermediate::RandomInRange(10000, 50000), bAvi);
    task.strIntermediatePath = strPath.c_str();
    task.nPhase = 1;
    task.bIntermediateDone = 0;
    m_arrTasks.SetAt(nIndex, task);
    if (strPath.empty())
        return; // too long a path for the program's buffers: the encoder then fails the task

    DeleteFileA(strPath.c_str());
    g_dwConvertStartTick = GetTickCount();
    if (!m_videoEdit.StartConvert(strPath.c_str())) {
        DeleteFileA(strPath.c_str());
        return;
    }
    while (!g_bStopConvert && IsValidTask(g_nConvertIndex) && m_arrTasks.GetAt(g_nConvertIndex).bIntermediateDone != 1)
        PumpMessages();
}

void CVarnelloDlg::OnIntermediateProgress(double dPosition, double dTotal)
{
    if (!IsValidTask(g_nConvertIndex))
        return;
    const intermediate::Progress progress =
        intermediate::ComputeProgress(dPosition, dTotal, GetTickCount() - g_dwConvertStartTick);
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
