// The page's side of the shut-down: the warning when it cannot happen.
#include "ui/ShutdownWarning.h"

#include "engine/FinishingActions.h"
#include "engine/MessageText.h"
#include "framework/AfxSeams.h"

void ShutdownComputerOrWarn(HWND hOwner)
{
    if (ShutdownComputer())
        return;
    // Kept alive until the box has been closed.
    const CString text = CenterMessageText("Your computer cannot shutdown");
    AfxSeamMessageBox(hOwner, text, "Warning", MB_ICONHAND);
}
