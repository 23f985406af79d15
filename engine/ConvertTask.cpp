// The task record's path rules and defaults, and the task array.
#include "engine/ConvertTask.h"

CString TitleFromPath(const CString& strPath)
{
    const int nSlash = strPath.ReverseFind('\\');
    const int nDot = strPath.ReverseFind('.');
    // A "." inside a directory name is no extension: no title then.
    if (nDot < 0 || nDot < nSlash)
        return CString();
    return strPath.Mid(nSlash + 1, nDot - nSlash - 1);
}

int NeedsIntermediate(const CString& strPath)
{
    const int nDot = strPath.ReverseFind('.');
    if (nDot < 0)
        return 0;
    return strPath.Find("rm", nDot) >= 0 ? 1 : 0;
}

ConvertTask MakeNewTask(const CString& strPath, double dDuration)
{
    ConvertTask task;
    task.strSourcePath = strPath;
    task.dStartTime = 0.0;
    task.dEndTime = dDuration;
    task.strTitle = TitleFromPath(strPath);
    task.strOutputName = task.strTitle;
    task.nVideoCodec = 1;   // AVC
    task.nVideoSize = 3;    // 320 x 240
    task.nFrameRate = 0;    // same as the input
    task.nVideoBitrate = 6; // 640 kbps
    task.nVideoAspect = 0;  // 4:3
    task.nChannels = 1;     // stereo
    task.nAudioBitrate = 2; // 64 kbps
    task.nSampleRate = 0;   // same as the input
    task.nVolume = 1;       // 100%
    task.nProfile = 0;
    task.bNeedIntermediate = NeedsIntermediate(strPath);
    return task;
}

ConvertTask CTaskArray::GetAt(int nIndex) const
{
    return IsValid(nIndex) ? m_tasks[static_cast<size_t>(nIndex)] : ConvertTask();
}

void CTaskArray::SetAt(int nIndex, const ConvertTask& task)
{
    if (IsValid(nIndex))
        m_tasks[static_cast<size_t>(nIndex)] = task;
}

int CTaskArray::Add(const ConvertTask& task)
{
    m_tasks.push_back(task);
    return GetCount() - 1;
}

void CTaskArray::RemoveAt(int nIndex)
{
    if (IsValid(nIndex))
        m_tasks.erase(m_tasks.begin() + nIndex);
}
