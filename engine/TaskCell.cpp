// Cell texts and colours of the task list, and the Progress cell's three running formats.
#include "engine/TaskCell.h"

#include <cstdio>

#include "engine/Progress.h"

namespace {

constexpr ColorRef kProgressBarColour = MakeColorRef(154, 30, 28);

struct RowColours {
    ColorRef text, back, textHot, textSelected, backSelected, backSelectedNoFocus;
};

// Alternate rows differ slightly so that long lists stay readable.
constexpr RowColours kEvenRow = {MakeColorRef(10, 5, 20),    MakeColorRef(180, 180, 255),
                                 MakeColorRef(170, 10, 150), MakeColorRef(240, 200, 128),
                                 MakeColorRef(30, 50, 96),   MakeColorRef(20, 20, 120)};
constexpr RowColours kOddRow = {MakeColorRef(40, 10, 40),    MakeColorRef(220, 220, 255),
                                MakeColorRef(170, 10, 150), MakeColorRef(240, 250, 128),
                                MakeColorRef(30, 50, 96),   MakeColorRef(20, 60, 120)};

CString TimeText(double seconds)
{
    const int s = TruncateToInt(seconds);
    char text[64];
    std::snprintf(text, sizeof(text), "%02d:%02d:%02d", s / 3600, (s % 3600) / 60, s % 60);
    return CString(text);
}

CString FileNamePart(const CString& path)
{
    const char* full = path;
    const char* name = full;
    for (const char* p = full; *p; ++p)
        if (*p == '\\')
            name = p + 1;
    return CString(name);
}

void ShowBar(CellDisplayInfo& info, int position)
{
    info.nProgressMax = 100;
    info.nProgressPos = position;
    info.crProgressBar = kProgressBarColour;
}

// " 10.50%  0.50MB   Remain Time:00:01:30"
CString EncodingText(double percent, int sizeKB, int remainSeconds)
{
    char text[160];
    std::snprintf(text, sizeof(text), " %.2f%%  %.02fMB   Remain Time:%s", percent,
                  sizeKB / 1024.0, FormatHMS(remainSeconds));
    return CString(text);
}

void FillProgressCell(const ConvertTask& task, CellDisplayInfo& info)
{
    if (task.bFailed == 1) {
        info.strText = "Failed"; // no bar: nothing was written
        return;
    }
    if (task.bFinished == 1) {
        info.strText = "Finished";
        ShowBar(info, 100);
        return;
    }
    if (task.bSourceMissing == 1 && task.dEncodedTime <= 0.0) {
        info.strText = "Source file not found";
        return;
    }

    const double length = task.dEndTime - task.dStartTime;
    double percent = 0.0;
    if (length > 0) {
        percent = task.dEncodedTime * 100.0 / length + 0.5;
        if (percent >= 99.0)
            percent = 100.0; // the last half per cent would otherwise never show as done
    }

    // Before 20 s of output the speed is too unsteady: assume real time until then.
    double remain = length - task.dEncodedTime;
    if (task.dSpeed > 0 && task.dEncodedTime > 20)
        remain = (length - task.dEncodedTime) / task.dSpeed;
    const int remainSeconds = TruncateToInt(remain);

    if (task.bNeedIntermediate == 0) {
        if (task.dEncodedTime > 0 && task.nOutputSizeKB >= 1) {
            info.strText = EncodingText(percent, task.nOutputSizeKB, remainSeconds);
            ShowBar(info, TruncateToInt(percent));
        }
        return;
    }

    // A source that goes through an intermediate file: the transcoding fills the first half of
    // the bar, the encoder run on the intermediate file the second.
    if (task.bNeedIntermediate == 1 && task.nPhase == 1) {
        const double shown = task.dIntermediatePercent * 0.5;
        char text[160];
        std::snprintf(text, sizeof(text), " %.2f%%    Remain Time:%s", shown,
                      FormatHMS(TruncateToInt(length * 0.5 + task.dIntermediateRemain)));
        info.strText = text;
        ShowBar(info, TruncateToInt(shown));
        return;
    }
    if (task.bNeedIntermediate == 1 && task.nPhase == 2) {
        const double shown = length > 0 ? percent * 0.5 + 50.0 : 0.0;
        info.strText = EncodingText(shown, task.nOutputSizeKB, remainSeconds);
        ShowBar(info, TruncateToInt(shown));
    }
}

} // namespace

void FillTaskCellInfo(const ConvertTask& task, int nRow, int nColumn, CellDisplayInfo& info)
{
    const RowColours& colours = (nRow % 2 == 0) ? kEvenRow : kOddRow;
    info.crText = colours.text;
    info.crBack = colours.back;
    info.crTextHot = colours.textHot;
    info.crTextSelected = colours.textSelected;
    info.crBackSelected = colours.backSelected;
    info.crBackSelectedNoFocus = colours.backSelectedNoFocus;

    switch (nColumn) {
    case kColumnSource:
        info.strText = FileNamePart(task.strSourcePath);
        break;
    case kColumnBeginTime:
        info.strText = TimeText(task.dStartTime);
        break;
    case kColumnEndTime:
        // A file added in a large batch has its length read shortly after it is listed.
        info.strText = task.bLengthPending == 1 ? CString("...") : TimeText(task.dEndTime);
        break;
    case kColumnOutput:
        info.strText = task.strOutputName + ".mp4";
        break;
    case kColumnProgress:
        FillProgressCell(task, info);
        break;
    default:
        break;
    }
}

int FindTaskBySourcePrefix(const std::vector<ConvertTask>& tasks, const std::string& typed, int nStart)
{
    const int nCount = static_cast<int>(tasks.size());
    if (typed.empty() || nCount == 0)
        return -1;
    const auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; };
    const int nFirst = nStart >= 0 && nStart < nCount ? nStart : 0;
    for (int i = 0; i < nCount; ++i) {
        const int nRow = (nFirst + i) % nCount;
        const std::string name = FileNamePart(tasks[static_cast<size_t>(nRow)].strSourcePath).str();
        if (name.size() < typed.size())
            continue;
        size_t n = 0;
        while (n < typed.size() && lower(name[n]) == lower(typed[n]))
            ++n;
        if (n == typed.size())
            return nRow;
    }
    return -1;
}
