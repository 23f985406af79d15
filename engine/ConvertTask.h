// ConvertTask: one entry of the conversion list (source, trim range, title, output name,
// profile and settings, and the run-time progress of the last run), and the page's growable
// array of them. Pure C++, no windows.h.
#pragma once

#include <vector>

#include "framework/CString.h"

struct ConvertTask {
    CString strSourcePath;
    double dStartTime = 0.0;
    double dEndTime = 0.0;
    CString strTitle;
    int nVideoCodec = 0;
    int nVideoSize = 0;
    int nFrameRate = 0;
    int nVideoBitrate = 0;
    int nVideoAspect = 0;
    int nChannels = 0;
    int nAudioBitrate = 0;
    int nSampleRate = 0;
    int nVolume = 0;
    int nProfile = 0;
    CString strOutputName;
    int bFinished = 0;
    int nOutputSizeKB = 0;
    double dSpeed = 0.0;
    double dEncodedTime = 0.0;
    int bNeedIntermediate = 0;
    CString strIntermediatePath;
    int nPhase = 0;
    int bIntermediateDone = 0;
    double dIntermediatePos = 0.0;
    double dIntermediatePercent = 0.0;
    double dIntermediateRemain = 0.0;
    // Set when the task's run ended without an output file (the encoder could not start or
    // wrote nothing, or the output path was too long): its row shows "Failed".
    int bFailed = 0;
    // Set when a restored task's source file no longer exists: its row says so.
    int bSourceMissing = 0;
    // Set while the source's length has not been read yet (files added many at once are
    // listed first and measured right after); dEndTime is then 0.
    int bLengthPending = 0;
};

// The file name without directory and extension: the text between the last "\" and the last
// "." of the path (empty when the path has no "." after its last "\").
CString TitleFromPath(const CString& strPath);

// 1 when the path, from its last "." on, contains "rm" (so .rm and .rmvb, case-sensitive):
// such sources go through the intermediate transcoding first.
int NeedsIntermediate(const CString& strPath);

// A task as adding a file makes it: whole length, default settings, profile 0.
ConvertTask MakeNewTask(const CString& strPath, double dDuration);

// The page's task list, held by value; an index is the task's row in the list view. Every
// index is checked: an index out of range reads as an empty task and writes nothing.
class CTaskArray {
public:
    int GetCount() const { return static_cast<int>(m_tasks.size()); }
    ConvertTask GetAt(int nIndex) const;
    void SetAt(int nIndex, const ConvertTask& task);
    int Add(const ConvertTask& task);
    void RemoveAt(int nIndex);
    void RemoveAll() { m_tasks.clear(); }
    const std::vector<ConvertTask>& Items() const { return m_tasks; }

private:
    bool IsValid(int nIndex) const { return nIndex >= 0 && nIndex < GetCount(); }
    std::vector<ConvertTask> m_tasks;
};
