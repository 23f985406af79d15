// The task list drawing the engine's own cell answers, as the main page wires them: row
// colours, the running task's bar and text, a finished task's full bar.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "controls/TaskListCtrl.h"
#include "engine/TaskCell.h"

namespace {

class CTasksParent : public CWnd {
public:
    std::vector<ConvertTask> tasks;
    LRESULT OnGetCellInfo(WPARAM, LPARAM lParam)
    {
        auto& info = *reinterpret_cast<CellDisplayInfo*>(lParam);
        if (info.nRow >= 0 && info.nRow < static_cast<int>(tasks.size()))
            FillTaskCellInfo(tasks[info.nRow], info.nRow, info.nColumn, info);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTasksParent, CWnd)
    ON_MESSAGE(WM_LIST_GETCELLINFO, OnGetCellInfo)
END_MESSAGE_MAP()

COLORREF PixelAt(HWND hwnd, int x, int y)
{
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

int CountInRow(HWND hwnd, int y, int x0, int x1, COLORREF colour)
{
    HDC dc = GetDC(hwnd);
    int n = 0;
    for (int x = x0; x < x1; ++x)
        n += GetPixel(dc, x, y) == colour;
    ReleaseDC(hwnd, dc);
    return n;
}

} // namespace

TEST(TaskListCells, TheListDrawsWhatThePageAnswers)
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TaskCellsParent";
    RegisterClassA(&wc);

    CTasksParent parent;
    ConvertTask finished, running, waiting;
    finished.strSourcePath = "C:\\clips\\a.avi";
    finished.dEndTime = 60;
    finished.bFinished = 1;
    running.strSourcePath = "C:\\clips\\b.avi";
    running.dEndTime = 100;
    running.dEncodedTime = 10;
    running.nOutputSizeKB = 512;
    waiting.strSourcePath = "C:\\clips\\c.avi";
    waiting.dEndTime = 30;
    parent.tasks = {finished, running, waiting};

    ASSERT_TRUE(parent.CreateEx(0, "TaskCellsParent", "cells", WS_POPUP | WS_VISIBLE, CRect(0, 0, 700, 300), nullptr, 0));
    CTaskListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                                LVS_OWNERDATA | LVS_NOSORTHEADER,
                            CRect(0, 0, 690, 290), &parent, 1011));
    list.SetExtendedStyle(0, LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
    const char* names[] = {"Source", "Begin Time", "End Time", "Output", "Progress"};
    const int widths[] = {60, 50, 50, 60, 407}; // room for the running text beside the bar's start
    // The Progress column right-aligned here, so that the start of each bar is free of text.
    for (int i = 0; i < 5; ++i)
        list.InsertColumn(i, names[i], i == 4 ? LVCFMT_RIGHT : LVCFMT_LEFT, widths[i]);
    list.SetItemCount(3);
    list.UpdateWindow();

    CRect begin0, begin1, progress0, progress1, progress2;
    ASSERT_TRUE(list.GetCellRect(0, 1, begin0));
    ASSERT_TRUE(list.GetCellRect(1, 1, begin1));
    ASSERT_TRUE(list.GetCellRect(0, 4, progress0));
    ASSERT_TRUE(list.GetCellRect(1, 4, progress1));
    ASSERT_TRUE(list.GetCellRect(2, 4, progress2));
    const COLORREF bar = RGB(154, 30, 28);

    EXPECT_EQ(PixelAt(list, begin0.right - 5, (begin0.top + begin0.bottom) / 2), RGB(180, 180, 255));
    EXPECT_EQ(PixelAt(list, begin1.right - 5, (begin1.top + begin1.bottom) / 2), RGB(220, 220, 255));

    // 400 pixels inside the bar's frame: 10.5 % fills the first 40, a finished task all.
    const int inner = progress0.Width() - 7;
    ASSERT_EQ(inner, 400);
    const int left = progress0.left + 3;
    const int y0 = (progress0.top + progress0.bottom) / 2, y1 = (progress1.top + progress1.bottom) / 2;
    const int y2 = (progress2.top + progress2.bottom) / 2;
    EXPECT_EQ(CountInRow(list, y1, left, left + 40, bar), 40);
    EXPECT_EQ(PixelAt(list, left + 40, y1), RGB(220, 220, 255)) << "the odd row's background after the fill";
    EXPECT_EQ(CountInRow(list, y0, left, left + 300, bar), 300);
    EXPECT_EQ(PixelAt(list, left + inner - 1, y0 - 4), bar) << "full to the right edge";
    EXPECT_EQ(CountInRow(list, y2, progress2.left, progress2.right, bar), 0) << "not started: no bar";

    list.DestroyWindow();
    parent.DestroyWindow();
}
