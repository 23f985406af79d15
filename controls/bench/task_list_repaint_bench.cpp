// Benchmark (not a test): how long the task list takes to repaint one Progress cell, as the
// run asks after every piece of encoder output, for lists of several lengths.
//   task_list_repaint_bench.exe [ROWS...]     default: 20 1000 10000 100000
// For each length: a real CTaskListCtrl (virtual list, five columns, as the page sets it up)
// in a shown window, row 1 selected, its Progress cell a bar with text; the cell is
// invalidated and painted at once 1000 times. Prints the median and the fastest repaint in
// microseconds.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "framework/CellDisplayInfo.h"
#include "controls/TaskListCtrl.h"

namespace {

constexpr UINT kListId = 1022;
constexpr int kRepaints = 1000;
int g_cellRequests = 0;

// The page's part: every cell answered as a running task's row would be.
LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_LIST_GETCELLINFO) {
        auto* info = reinterpret_cast<CellDisplayInfo*>(lParam);
        ++g_cellRequests;
        switch (info->nColumn) {
        case 0: info->strText = "holiday.avi"; break;
        case 1: info->strText = "00:00:00"; break;
        case 2: info->strText = "00:01:30"; break;
        case 3: info->strText = "holiday.mp4"; break;
        default:
            info->strText = "42% 1234KB 00:00:51";
            info->nProgressMax = 100;
            info->nProgressPos = 42;
            break;
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct RepaintTimes {
    double median;
    double fastest;
};

// On a shared machine a repaint is now and then pre-empted: the median says more than the mean.
RepaintTimes MeasureRepaint(int rows)
{
    CWnd parent;
    parent.CreateEx(0, "RepaintBenchParent", "task list repaint", WS_POPUP | WS_VISIBLE, CRect(0, 0, 680, 360),
                    nullptr, 0);
    CTaskListCtrl list;
    list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA |
                    LVS_NOSORTHEADER,
                CRect(5, 5, 665, 345), &parent, kListId);
    list.SetExtendedStyle(0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const char* names[] = {"Source", "Begin Time", "End Time", "Output", "Progress"};
    const int widths[] = {170, 70, 70, 150, 190};
    for (int i = 0; i < 5; ++i)
        list.InsertColumn(i, names[i], LVCFMT_LEFT, widths[i]);
    list.SetItemCountEx(rows, 0);
    list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.SetSelectionMark(1);
    list.UpdateWindow();
    Pump();

    g_cellRequests = 0;
    std::vector<double> times;
    for (int i = 0; i < kRepaints; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        list.InvalidateCells(1, 1, 4, FALSE);
        list.UpdateWindow();
        QueryPerformanceCounter(&end);
        times.push_back(Seconds(start, end) * 1e6);
    }
    const int requests = g_cellRequests;
    list.DestroyWindow();
    parent.DestroyWindow();
    Pump();
    if (requests < kRepaints)
        std::fprintf(stderr, "warning: only %d cell requests for %d repaints\n", requests, kRepaints);
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front()};
}

} // namespace

int main(int argc, char** argv)
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc{};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "RepaintBenchParent";
    RegisterClassA(&wc);

    std::vector<int> lengths;
    for (int i = 1; i < argc; ++i)
        lengths.push_back(std::atoi(argv[i]));
    if (lengths.empty())
        lengths = {20, 1000, 10000, 100000};
    for (int rows : lengths) {
        const RepaintTimes t = MeasureRepaint(rows);
        std::printf("%7d tasks: one Progress cell repainted in %7.1f us (median of %d; fastest %.1f us)\n", rows,
                    t.median, kRepaints, t.fastest);
    }
    return 0;
}
