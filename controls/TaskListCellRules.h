// The task list's drawing rules that need no window: cell geometry, the bar's filled width,
// which colour a cell's parts get, the visible part of a row range, and literal ampersands.
// CTaskListCtrl does the drawing calls; everything it decides comes from here.
#pragma once

#include "framework/CellDisplayInfo.h"
#include "framework/CString.h"

struct CellBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
};

// Column 0's bounds as the list view reports them cover the whole row; they end where column 1
// begins when there is a column 1.
CellBox CutFirstColumn(CellBox rowBounds, int nColumnCount, int nColumn1Left);

// The bar: the text rectangle less 1 pixel left, top and bottom and 2 pixels right.
CellBox BarBox(const CellBox& textBox);
// Inside the bar's frame: 2 pixels less on every side when there is a frame.
CellBox InnerBarBox(const CellBox& barBox, unsigned nEdge);
// Width of the filled part over a width w; a position at or beyond the maximum fills it all.
int FilledWidth(int w, int nPos, int nMax);

// The system colours that stand in for kColorDefault.
struct SystemColours {
    ColorRef window, windowText, highlight, highlightText, btnFace, hotLight;
};

// Every colour one cell is drawn with, defaults resolved. kColorNone stays kColorNone.
struct CellColours {
    ColorRef text;            // the text without a bar
    ColorRef unselectedText;  // hot or normal, ignoring selection: the text beside the bar's fill
    ColorRef back;            // background behind the text (selection-aware)
    ColorRef fillBack;        // what the cell rectangle is filled with
    ColorRef unselectedBack;  // inside the bar
    ColorRef progressBar;
    ColorRef progressText;    // the text over the bar's filled part
};

CellColours ResolveCellColours(const CellDisplayInfo& info, bool bListHasFocus,
                               bool bFullRowSelect, const SystemColours& system);

// Whether a cell counts as selected: its row is selected, it is column 0 or whole rows are
// selected, and the list has the focus or always shows its selection.
bool IsCellSelected(bool bRowSelected, int nColumn, bool bFullRowSelect, bool bListHasFocus,
                    bool bShowSelAlways);

// The part of rows nFirst..nLast that is on screen, given the top row, the rows per page and
// the row count. A partly visible row below the last full one counts as visible. False when
// nothing of the range is visible.
bool VisibleRows(int nFirst, int nLast, int nTopRow, int nPerPage, int nCount, int& nVisibleFirst,
                 int& nVisibleLast);

// DrawText would underline the letter after a single "&": double each one so it shows itself.
CString DoubleAmpersands(const char* pszText);
