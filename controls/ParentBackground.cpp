// The parent-background snapshot shared by the range slider and the skinned button.
#include "controls/ParentBackground.h"

void SnapshotParentBackground(CWnd& control, CMemoryDC& snapshot, int nWidth, int nHeight)
{
    if (!snapshot.IsEmpty())
        return;
    CWnd* pParent = control.GetParent();
    CClientDC dcParent(pParent);
    CRect rcWindow;
    control.GetWindowRect(&rcWindow);
    pParent->ScreenToClient(&rcWindow);
    snapshot.Create(&dcParent, nWidth, nHeight);
    snapshot.BitBlt(0, 0, nWidth, nHeight, &dcParent, rcWindow.left, rcWindow.top, SRCCOPY);
}
