// What the parent shows under a control, kept once so that a control drawn over the page's
// picture repaints without asking the parent to paint first.
#pragma once

#include "framework/AfxWin.h"

// Copies, when snapshot is still empty, the parent's pixels under the control into snapshot
// (nWidth x nHeight, the control's client size). A kept snapshot is left as it is.
void SnapshotParentBackground(CWnd& control, CMemoryDC& snapshot, int nWidth, int nHeight);
