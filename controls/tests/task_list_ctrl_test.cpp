// CTaskListCtrl as a real list view under Wine: the cells it asks its parent for, the pixels
// it draws (bar, selection, focus, CLR_NONE, column 0 cut at column 1, literal "&"), its
// answers to the list view's notifications, and what InvalidateCells invalidates.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "controls/TaskListCtrl.h"

namespace {

constexpr UINT kListId = 1011;
constexpr int kColumnWidths[] = {150, 80, 80, 120, 207};
constexpr COLORREF kRed = RGB(200, 0, 0);
constexpr COLORREF kGreen = RGB(0, 180, 0);
constexpr COLORREF kBlue = RGB(0, 0, 190);
constexpr COLORREF kYellow = RGB(230, 230, 0);
constexpr COLORREF kGrey = RGB(90, 90, 90);
constexpr COLORREF kListBack = RGB(1, 120, 130);

// The list's parent: answers every cell request through a function the test sets.
class CTestParent : public CWnd {
public:
    std::function<void(CellDisplayInfo&)> fill;
    std::vector<std::pair<int, int>> requests;

    LRESULT OnGetCellInfo(WPARAM, LPARAM lParam)
    {
        auto& info = *reinterpret_cast<CellDisplayInfo*>(lParam);
        requests.emplace_back(info.nRow, info.nColumn);
        if (fill)
            fill(info);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestParent, CWnd)
    ON_MESSAGE(WM_LIST_GETCELLINFO, OnGetCellInfo)
END_MESSAGE_MAP()

// The list's client area, read back after painting.
class Pixels {
public:
    explicit Pixels(HWND hwnd)
    {
        RECT rc;
        ::GetClientRect(hwnd, &rc);
        m_width = rc.right;
        m_height = rc.bottom;
        HDC window = ::GetDC(hwnd);
        HDC memory = ::CreateCompatibleDC(window);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = m_width;
        bi.bmiHeader.biHeight = -m_height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP dib = ::CreateDIBSection(memory, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = ::SelectObject(memory, dib);
        ::BitBlt(memory, 0, 0, m_width, m_height, window, 0, 0, SRCCOPY);
        const auto* p = static_cast<const DWORD*>(bits);
        m_pixels.assign(p, p + m_width * m_height);
        ::SelectObject(memory, old);
        ::DeleteObject(dib);
        ::DeleteDC(memory);
        ::ReleaseDC(hwnd, window);
    }
    COLORREF At(int x, int y) const
    {
        const DWORD v = m_pixels[y * m_width + x]; // 0x00RRGGBB
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    // How many pixels of row y, from x0 to x1 (exclusive), have the colour.
    int CountInRow(int y, int x0, int x1, COLORREF colour) const
    {
        int n = 0;
        for (int x = x0; x < x1; ++x)
            n += At(x, y) == colour;
        return n;
    }
    // The rightmost x of row y in [x0, x1) with the colour, or -1.
    int RightmostInRow(int y, int x0, int x1, COLORREF colour) const
    {
        int found = -1;
        for (int x = x0; x < x1; ++x)
            if (At(x, y) == colour)
                found = x;
        return found;
    }

private:
    int m_width = 0, m_height = 0;
    std::vector<DWORD> m_pixels;
};

class TaskListCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = "TaskListTestParent";
        RegisterClassA(&wc);
        ASSERT_TRUE(parent.CreateEx(0, "TaskListTestParent", "task list test", WS_POPUP | WS_VISIBLE,
                                    CRect(0, 0, 780, 560), nullptr, 0));
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                    LVS_SHOWSELALWAYS | LVS_OWNERDATA | LVS_NOSORTHEADER,
                                CRect(10, 10, 770, 500), &parent, kListId));
        other = CreateWindowA("BUTTON", "other", WS_CHILD | WS_VISIBLE, 10, 510, 80, 30, parent.m_hWnd,
                                     reinterpret_cast<HMENU>(2), nullptr, nullptr);
        list.SetExtendedStyle(0, LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
        list.SetBkColor(kListBack);
        const char* names[] = {"Source", "Begin Time", "End Time", "Output", "Progress"};
        for (int i = 0; i < 5; ++i)
            list.InsertColumn(i, names[i], LVCFMT_LEFT, kColumnWidths[i]);
        list.SetItemCount(3);
        ::SetFocus(other);
    }

    void TearDown() override
    {
        list.DestroyWindow();
        parent.DestroyWindow();
    }

    void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    Pixels Paint()
    {
        list.Invalidate(TRUE);
        list.UpdateWindow();
        Pump();
        return Pixels(list.m_hWnd);
    }

    CRect Cell(int row, int column)
    {
        CRect rect;
        EXPECT_TRUE(list.GetCellRect(row, column, rect));
        return rect;
    }

    static int MiddleY(const CRect& r) { return (r.top + r.bottom) / 2; }

    CTestParent parent;
    CTaskListCtrl list;
    HWND other = nullptr;
};

} // namespace

TEST_F(TaskListCtrlTest, ProgressBarFillsItsShareOfTheInnerWidth)
{
    int position = 37;
    parent.fill = [&](CellDisplayInfo& info) {
        info.crBack = kYellow;
        if (info.nColumn == 4) {
            info.nProgressMax = 100;
            info.nProgressPos = position;
            info.crProgressBar = kRed;
        }
    };
    const CRect cell = Cell(0, 4);
    ASSERT_EQ(cell.Width(), 207);
    const int innerLeft = cell.left + 3, innerRight = cell.right - 4; // 200 pixels inside the frame
    const int y = MiddleY(cell);

    Pixels px = Paint();
    EXPECT_EQ(px.CountInRow(y, cell.left, cell.right, kRed), 74);
    EXPECT_EQ(px.At(innerLeft, y), kRed);
    EXPECT_EQ(px.At(innerLeft + 73, y), kRed);
    EXPECT_EQ(px.At(innerLeft + 74, y), kYellow) << "the rest of the bar shows the background";
    EXPECT_EQ(px.At(innerRight - 1, y), kYellow);
    EXPECT_NE(px.At(cell.left + 1, y), kYellow) << "the frame";

    for (int full : {100, 150}) {
        position = full;
        px = Paint();
        EXPECT_EQ(px.CountInRow(y, cell.left, cell.right, kRed), 200) << full;
    }

    position = 0;
    px = Paint();
    EXPECT_EQ(px.CountInRow(y, cell.left, cell.right, kRed), 0);
    EXPECT_EQ(px.CountInRow(y, innerLeft, innerRight, kYellow), 200) << "an empty inner area";
    EXPECT_NE(px.At(cell.left + 1, y), kYellow) << "the frame is drawn at 0 too";
}

TEST_F(TaskListCtrlTest, TextOverTheBarChangesColourWhereTheFillEnds)
{
    parent.fill = [&](CellDisplayInfo& info) {
        info.crBack = kYellow;
        info.crText = kGrey;
        info.crProgressText = kGreen;
        if (info.nColumn == 4) {
            info.strText = "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM";
            info.nProgressMax = 100;
            info.nProgressPos = 50;
            info.crProgressBar = kRed;
        }
    };
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED); // selection does not change the bar's text
    const CRect cell = Cell(0, 4);
    const int split = cell.left + 3 + 100;
    const Pixels px = Paint();
    int greenLeft = 0, greyLeft = 0, greenRight = 0, greyRight = 0;
    for (int y = cell.top; y < cell.bottom; ++y) {
        greenLeft += px.CountInRow(y, cell.left, split, kGreen);
        greyLeft += px.CountInRow(y, cell.left, split, kGrey);
        greenRight += px.CountInRow(y, split, cell.right, kGreen);
        greyRight += px.CountInRow(y, split, cell.right, kGrey);
    }
    EXPECT_GT(greenLeft, 5);
    EXPECT_EQ(greyLeft, 0);
    EXPECT_GT(greyRight, 5);
    EXPECT_EQ(greenRight, 0);
}

TEST_F(TaskListCtrlTest, ColumnZeroNeverPaintsOverColumnOne)
{
    parent.fill = [&](CellDisplayInfo& info) {
        info.crBack = info.nColumn == 0 ? kRed : kColorNone; // column 1 paints nothing itself
    };
    const CRect first = Cell(0, 0), second = Cell(0, 1);
    EXPECT_EQ(first.right, second.left);
    const Pixels px = Paint();
    const int y = MiddleY(first);
    EXPECT_EQ(px.At(first.right - 1, y), kRed);
    EXPECT_EQ(px.CountInRow(y, second.left, second.right, kRed), 0);
    EXPECT_EQ(px.At(second.left + 5, y), kListBack) << "a CLR_NONE cell leaves what was there";
}

TEST_F(TaskListCtrlTest, SelectedCellsFollowFocusAndFullRowSelect)
{
    parent.fill = [&](CellDisplayInfo& info) {
        info.strText = "W";
        info.crBack = kYellow;
        info.crBackSelected = kBlue;
        info.crBackSelectedNoFocus = kGreen;
    };
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    const CRect source = Cell(1, 0), output = Cell(1, 3), unselected = Cell(0, 3);
    const int x = output.right - 10; // away from the text

    list.SetFocus();
    Pixels px = Paint();
    EXPECT_EQ(px.At(source.right - 10, MiddleY(source)), kBlue);
    EXPECT_EQ(px.At(x, MiddleY(output)), kBlue);
    EXPECT_EQ(px.At(x, MiddleY(unselected)), kYellow);

    ::SetFocus(other);
    px = Paint();
    EXPECT_EQ(px.At(x, MiddleY(output)), kGreen) << "shown without the focus too";

    // Without full-row selection only column 0 is selected, and only its text carries the
    // selection colour; the cell itself keeps the normal background.
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT, 0);
    list.SetFocus();
    px = Paint();
    EXPECT_EQ(px.At(x, MiddleY(output)), kYellow);
    EXPECT_EQ(px.At(source.right - 10, MiddleY(source)), kYellow);
    int blueInText = 0, blueInOutput = 0;
    for (int y = source.top; y < source.bottom; ++y) {
        blueInText += px.CountInRow(y, source.left, source.left + 20, kBlue);
        blueInOutput += px.CountInRow(y, output.left, output.left + 20, kBlue);
    }
    EXPECT_GT(blueInText, 0) << "the text's own background";
    EXPECT_EQ(blueInOutput, 0);
}

TEST_F(TaskListCtrlTest, DefaultColoursAreTheSystemColours)
{
    parent.fill = nullptr; // the parent fills nothing: every default applies
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    const CRect selected = Cell(0, 2), normal = Cell(1, 2);
    list.SetFocus();
    Pixels px = Paint();
    EXPECT_EQ(px.At(selected.left + 30, MiddleY(selected)), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(px.At(normal.left + 30, MiddleY(normal)), GetSysColor(COLOR_WINDOW));
    ::SetFocus(other);
    px = Paint();
    EXPECT_EQ(px.At(selected.left + 30, MiddleY(selected)), GetSysColor(COLOR_BTNFACE));
}

TEST_F(TaskListCtrlTest, AmpersandIsDrawnLiterally)
{
    parent.fill = [&](CellDisplayInfo& info) {
        info.crBack = kYellow;
        info.crText = kGrey;
        info.strText = info.nRow == 0 ? "&W" : "W";
    };
    const CRect withAmpersand = Cell(0, 3), plain = Cell(1, 3);
    const Pixels px = Paint();
    int rightWith = -1, rightPlain = -1;
    for (int y = withAmpersand.top; y < withAmpersand.bottom; ++y)
        rightWith = std::max<int>(rightWith, px.RightmostInRow(y, withAmpersand.left, withAmpersand.right, kGrey) - withAmpersand.left);
    for (int y = plain.top; y < plain.bottom; ++y)
        rightPlain = std::max<int>(rightPlain, px.RightmostInRow(y, plain.left, plain.right, kGrey) - plain.left);
    ASSERT_GT(rightPlain, 0);
    EXPECT_GT(rightWith, rightPlain + 3) << "the ampersand takes room of its own";
}

TEST_F(TaskListCtrlTest, AsksTheParentWithRowColumnAndState)
{
    list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    list.SetFocus();
    std::vector<CellDisplayInfo> seen;
    parent.fill = [&](CellDisplayInfo& info) { seen.push_back(info); };
    const CellDisplayInfo* answer = list.GetCellInfo(2, 3);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].nRow, 2);
    EXPECT_EQ(seen[0].nColumn, 3);
    EXPECT_TRUE(seen[0].bSelected);
    EXPECT_FALSE(seen[0].bHot);
    EXPECT_EQ(seen[0].nProgressMax, -1) << "reset before every request";
    EXPECT_EQ(seen[0].crBack, kColorDefault);

    parent.fill = [&](CellDisplayInfo& info) { info.strText = "kept"; info.nProgressMax = 5; };
    list.GetCellInfo(0, 0);
    parent.fill = nullptr;
    answer = list.GetCellInfo(1, 1);
    EXPECT_EQ(std::string(answer->strText), "");
    EXPECT_EQ(answer->nProgressMax, -1);
    EXPECT_FALSE(answer->bSelected);
}

TEST_F(TaskListCtrlTest, AnswersTextRequestsCutToTheBuffer)
{
    parent.fill = [&](CellDisplayInfo& info) { info.strText = "Hello World"; };
    char buffer[5] = {'x', 'x', 'x', 'x', 'x'};
    LVITEMA item{};
    item.iSubItem = 3;
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    list.SendMessage(LVM_GETITEMTEXTA, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(buffer, "Hell");

    char big[64] = {};
    LVITEMA image{};
    image.mask = LVIF_IMAGE | LVIF_TEXT;
    image.iItem = 1;
    image.iSubItem = 0;
    image.pszText = big;
    image.cchTextMax = sizeof(big);
    image.iImage = 7;
    ASSERT_TRUE(list.SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&image)));
    EXPECT_EQ(image.iImage, -1);
    EXPECT_STREQ(big, "Hello World");
}

TEST_F(TaskListCtrlTest, TheMouseNeitherSelectsNorHighlightsARow)
{
    list.SetExtendedStyle(LVS_EX_TRACKSELECT, LVS_EX_TRACKSELECT);
    const CRect row = Cell(1, 2);
    // The list view's hover tracking asks where the real pointer is, so the pointer rests
    // on the row while the moves arrive, and the test waits well past the hover time: an
    // uncurbed list view would have made the row hot and selected it by then.
    POINT onRow{row.left + 14, MiddleY(row)};
    ::ClientToScreen(list.m_hWnd, &onRow);
    ASSERT_TRUE(::SetCursorPos(onRow.x, onRow.y));
    for (int i = 0; i < 5; ++i)
        list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(row.left + 10 + i, MiddleY(row)));
    UINT hoverMs = 400;
    ::SystemParametersInfoA(SPI_GETMOUSEHOVERTIME, 0, &hoverMs, 0);
    const DWORD until = ::GetTickCount() + 3 * hoverMs + 500;
    while (static_cast<LONG>(until - ::GetTickCount()) > 0) {
        Pump();
        Sleep(20);
    }
    EXPECT_EQ(list.GetSelectedCount(), 0u);
    EXPECT_EQ(list.GetHotItem(), -1);

    // The list view's hot-track notification is refused even when it is sent.
    NMLISTVIEW hot{};
    hot.hdr.hwndFrom = list.m_hWnd;
    hot.hdr.idFrom = kListId;
    hot.hdr.code = LVN_HOTTRACK;
    hot.iItem = 1;
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, kListId, reinterpret_cast<LPARAM>(&hot)), -1);
}

TEST_F(TaskListCtrlTest, InvalidatesOnlyTheVisiblePartOfARowRange)
{
    list.SetItemCount(600);
    // A height of 16 rows and half of one more below the header.
    CRect rowRect;
    list.GetItemRect(0, rowRect, LVIR_BOUNDS);
    CRect headerRect;
    list.GetHeaderCtrl()->GetWindowRect(headerRect);
    CRect client, window;
    list.GetClientRect(client);
    list.GetWindowRect(window);
    const int rowHeight = rowRect.Height();
    const int clientHeight = headerRect.Height() + 16 * rowHeight + rowHeight / 2;
    list.MoveWindow(10, 10, window.Width(), clientHeight + (window.Height() - client.Height()));
    ASSERT_EQ(list.GetCountPerPage(), 16);
    list.SendMessage(LVM_SCROLL, 0, 10 * rowHeight);
    Pump();
    ASSERT_EQ(list.GetTopIndex(), 10);

    list.UpdateWindow();
    ::ValidateRect(list.m_hWnd, nullptr);
    list.InvalidateCells(0, 500, 4, FALSE);
    RECT update;
    ASSERT_TRUE(::GetUpdateRect(list.m_hWnd, &update, FALSE));
    const CRect top = Cell(10, 4);
    const CRect bottom = Cell(26, 4);
    list.GetClientRect(client);
    EXPECT_EQ(update.left, top.left);
    EXPECT_EQ(update.right, top.right);
    EXPECT_EQ(update.top, top.top) << "row 10 is the first one invalidated";
    EXPECT_EQ(update.bottom, std::min(bottom.bottom, client.bottom)) << "row 26 the last";

    // Rows wholly above or below the visible ones, and an empty list, invalidate nothing.
    ::ValidateRect(list.m_hWnd, nullptr);
    list.InvalidateCells(0, 9, 4, FALSE);
    list.InvalidateCells(27, 599, 4, FALSE);
    EXPECT_FALSE(::GetUpdateRect(list.m_hWnd, &update, FALSE));
    list.SetItemCount(0);
    list.UpdateWindow();
    ::ValidateRect(list.m_hWnd, nullptr);
    list.InvalidateCells(0, 500, 4, FALSE);
    EXPECT_FALSE(::GetUpdateRect(list.m_hWnd, &update, FALSE));
}

TEST_F(TaskListCtrlTest, EveryPixelOfARowFollowsASelectionChange)
{
    parent.fill = [&](CellDisplayInfo& info) {
        info.crBack = kYellow;
        info.crBackSelected = kBlue;
        info.crBackSelectedNoFocus = kGreen;
    };
    // Only what the list view itself repaints after a change, no Paint(): the pixels of a
    // row, over all its columns, that do not show the colour.
    auto wrongPixels = [&](int row, COLORREF colour) {
        list.UpdateWindow();
        Pump();
        const Pixels px(list.m_hWnd);
        const CRect first = Cell(row, 0), last = Cell(row, 4);
        int wrong = 0;
        for (int y = first.top; y < first.bottom; ++y)
            wrong += last.right - first.left - px.CountInRow(y, first.left, last.right, colour);
        return wrong;
    };
    list.SetFocus();
    list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Paint();
    const CRect second = Cell(1, 2);
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(second.left + 5, MiddleY(second)));
    list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(second.left + 5, MiddleY(second)));
    EXPECT_EQ(wrongPixels(0, kYellow), 0) << "the row left by a click";
    EXPECT_EQ(wrongPixels(1, kBlue), 0) << "the row clicked";
    list.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(wrongPixels(1, kYellow), 0) << "the row left by the Down key";
    EXPECT_EQ(wrongPixels(2, kBlue), 0) << "the row reached";
    ::SetFocus(other);
    EXPECT_EQ(wrongPixels(2, kGreen), 0) << "the selected row once the list lost the focus";
    list.SetFocus();
    EXPECT_EQ(wrongPixels(2, kBlue), 0) << "and once it has it again";
}
