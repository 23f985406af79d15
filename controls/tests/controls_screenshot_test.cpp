// Not a check: shows the three controls over the page's background for a screenshot
// (controls/tests/screenshot.sh runs it with --gtest_also_run_disabled_tests). It writes
// the dialog's screen rectangle to the file named by VARNELLO_SCREENSHOT_READY once the
// picture has faded in, then holds still until that file is removed.
#include "controls/tests/controls_test_support.h"

#include <cstdio>
#include <cstdlib>

using namespace ctltest;

TEST(DISABLED_ControlsScreenshot, ShowsTheControlsOverThePageBackground)
{
    const char* ready = std::getenv("VARNELLO_SCREENSHOT_READY");
    ASSERT_NE(ready, nullptr);
    CControlsDlg dlg;
    dlg.m_bPageBackground = true;
    dlg.m_bStartFade = true;
    dlg.m_nFadeDelay = 20;
    ShowDialog(dlg);
    dlg.m_slider.SetBounds(0, 120);
    dlg.m_slider.SetSelection(30, 90);
    ASSERT_TRUE(PumpUntil(dlg.m_hWnd, [&] { return dlg.m_picture.IsFadeDone(); }, 10000));
    MouseMoveTo(dlg.m_btnHelp.m_hWnd, 60, 14); // the Help button in its hover look
    Pump(dlg.m_hWnd, 50);
    MouseMoveTo(dlg.m_btnHelp.m_hWnd, 61, 14);
    Pump(dlg.m_hWnd, 300);

    RECT rc;
    ::GetWindowRect(dlg.m_hWnd, &rc);
    if (FILE* f = std::fopen(ready, "w")) {
        std::fprintf(f, "%ldx%ld+%ld+%ld\n", rc.right - rc.left, rc.bottom - rc.top, rc.left, rc.top);
        std::fclose(f);
    }
    const DWORD start = ::GetTickCount();
    while (::GetFileAttributesA(ready) != INVALID_FILE_ATTRIBUTES && ::GetTickCount() - start < 60000)
        Pump(dlg.m_hWnd, 100);
    dlg.DestroyWindow();
}
