// Worker threads, the seams that tests answer, the file dialog's filter, and the drawing
// objects (memory contexts, off-screen drawing, selection, AlphaBlend).
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "framework/AfxWin.h"

namespace {

// --- threads ---------------------------------------------------------------------------------

struct ThreadArg {
    std::atomic<int> nSeen{0};
    DWORD dwThreadId = 0;
};

UINT WorkerProc(LPVOID pParam)
{
    auto* pArg = static_cast<ThreadArg*>(pParam);
    pArg->dwThreadId = ::GetCurrentThreadId();
    pArg->nSeen = 41;
    return 7;
}

TEST(Threads, AfxBeginThreadRunsTheFunctionWithItsArgumentOnAnotherThread)
{
    ThreadArg arg;
    CWinThread* pThread = AfxBeginThread(WorkerProc, &arg, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(pThread, nullptr);
    pThread->m_bAutoDelete = FALSE; // we wait for it and read its exit code
    EXPECT_EQ(arg.nSeen.load(), 0);  // suspended: not started yet
    pThread->ResumeThread();
    ASSERT_EQ(::WaitForSingleObject(pThread->m_hThread.Get(), 5000), WAIT_OBJECT_0);
    DWORD dwExit = 0;
    ::GetExitCodeThread(pThread->m_hThread.Get(), &dwExit);
    EXPECT_EQ(dwExit, 7u);
    EXPECT_EQ(arg.nSeen.load(), 41);
    EXPECT_NE(arg.dwThreadId, ::GetCurrentThreadId());
    delete pThread;

    // The usual form deletes its own object when the thread ends.
    ThreadArg second;
    ASSERT_NE(AfxBeginThread(WorkerProc, &second), nullptr);
    for (int i = 0; i < 500 && second.nSeen.load() != 41; ++i)
        ::Sleep(10);
    EXPECT_EQ(second.nSeen.load(), 41);
}

// --- seams ---------------------------------------------------------------------------------------

TEST(Seams, MessageBoxesGoThroughTheSeamWithOwnerTextCaptionAndType)
{
    std::string strText, strCaption;
    HWND hOwner = nullptr;
    UINT nType = 0;
    auto previous = AfxSetMessageBoxSeam([&](HWND h, const char* t, const char* c, UINT n) {
        hOwner = h;
        strText = t;
        strCaption = c;
        nType = n;
        return IDNO;
    });
    EXPECT_EQ(AfxMessageBox("Converting Finished", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(strText, "Converting Finished");
    EXPECT_EQ(strCaption, AfxGetAppName()); // the application's name
    EXPECT_FALSE(strCaption.empty());
    EXPECT_EQ(nType, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));

    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, "STATIC", "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    EXPECT_EQ(wnd.MessageBox("text", "Caption", MB_OK), IDNO);
    EXPECT_EQ(hOwner, wnd.m_hWnd);
    EXPECT_EQ(strCaption, "Caption");
    AfxSetMessageBoxSeam(previous);
}

TEST(Seams, ShellExecuteAndFolderBrowserAreAnsweredByTheSeam)
{
    std::string strFile;
    int nShow = 0;
    auto prevShell = AfxSetShellExecuteSeam([&](HWND, const char*, const char* f, const char*, const char*, int n) {
        strFile = f;
        nShow = n;
        return reinterpret_cast<HINSTANCE>(42);
    });
    EXPECT_EQ(AfxSeamShellExecute(nullptr, nullptr, "C:\\x\\Help.chm", nullptr, nullptr, SW_SHOWMAXIMIZED),
              reinterpret_cast<HINSTANCE>(42));
    EXPECT_EQ(strFile, "C:\\x\\Help.chm");
    EXPECT_EQ(nShow, SW_SHOWMAXIMIZED);
    AfxSetShellExecuteSeam(prevShell);

    // The folder browser: a test hands back an item list of a real folder.
    auto prevBrowse = AfxSetBrowseForFolderSeam([](BROWSEINFOA& bi) -> PIDLIST_ABSOLUTE {
        EXPECT_EQ(bi.ulFlags, static_cast<UINT>(BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS | BIF_NEWDIALOGSTYLE));
        return ILCreateFromPathA("C:\\windows");
    });
    BROWSEINFOA bi{};
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE pidl = AfxSeamBrowseForFolder(bi);
    ASSERT_NE(pidl, nullptr);
    char szPath[MAX_PATH] = {};
    EXPECT_TRUE(SHGetPathFromIDListA(pidl, szPath));
    EXPECT_EQ(CString(szPath).CompareNoCase("C:\\windows"), 0);
    CoTaskMemFree(pidl);
    AfxSetBrowseForFolderSeam(prevBrowse);
}

TEST(FileDialog, FilterSeparatorsBecomeZerosAndTheResultIsTheChosenPath)
{
    static const char kExpected[] = "Video (*.avi)\0*.avi\0All\0*.*\0\0\0\0";
    EXPECT_EQ(CFileDialog::ConvertFilter("Video (*.avi)|*.avi|All|*.*||"), std::string(kExpected, sizeof(kExpected) - 1));
    // Without the closing bars the system still gets its two terminating zeros.
    static const char kOpenEnded[] = "Video\0*.avi\0\0";
    EXPECT_EQ(CFileDialog::ConvertFilter("Video|*.avi"), std::string(kOpenEnded, sizeof(kOpenEnded) - 1));

    DWORD dwFlagsSeen = 0;
    std::string strFilterSeen;
    auto previous = AfxSetFileDialogSeam([&](OPENFILENAMEA& ofn, bool bOpen) -> BOOL {
        EXPECT_TRUE(bOpen);
        dwFlagsSeen = ofn.Flags;
        strFilterSeen = ofn.lpstrFilter; // up to the first zero
        lstrcpynA(ofn.lpstrFile, "C:\\media\\clip.part.rmvb", ofn.nMaxFile);
        return TRUE;
    });
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_NOCHANGEDIR | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING,
                    "Real Media (*.rm, *.rmvb)|*.rm;*rmvb|");
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dwFlagsSeen, 0x881008u);
    EXPECT_EQ(strFilterSeen, "Real Media (*.rm, *.rmvb)");
    EXPECT_EQ(dlg.GetPathName(), "C:\\media\\clip.part.rmvb");
    EXPECT_EQ(dlg.GetFileName(), "clip.part.rmvb");
    EXPECT_EQ(dlg.GetFileExt(), "rmvb");
    EXPECT_EQ(dlg.GetFileTitle(), "clip.part");

    AfxSetFileDialogSeam([](OPENFILENAMEA&, bool) -> BOOL { return FALSE; });
    CFileDialog cancelled(TRUE);
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    AfxSetFileDialogSeam(previous);
}

// --- drawing -----------------------------------------------------------------------------------------

TEST(Drawing, MemoryContextsDrawIntoTheirOwnBitmap)
{
    CMemoryDC mem(nullptr, 20, 10);
    ASSERT_FALSE(mem.IsEmpty());
    EXPECT_EQ(mem.GetBitmap().GetSize(), CSize(20, 10));
    mem.FillSolidRect(0, 0, 20, 10, RGB(0, 0, 255));
    mem.FillSolidRect(CRect(5, 2, 7, 4), RGB(255, 0, 0));
    EXPECT_EQ(mem.GetPixel(6, 3), RGB(255, 0, 0));
    EXPECT_EQ(mem.GetPixel(7, 3), RGB(0, 0, 255)); // right edge is outside
    EXPECT_EQ(mem.GetPixel(0, 0), RGB(0, 0, 255));
    // FillSolidRect leaves the background colour as it was.
    mem.SetBkColor(RGB(1, 1, 1));
    mem.FillSolidRect(0, 0, 1, 1, RGB(9, 9, 9));
    EXPECT_EQ(mem.GetBkColor(), RGB(1, 1, 1));
    // Negative extents draw towards the left (as Draw3dRect uses them).
    mem.FillSolidRect(20, 9, -2, -1, RGB(0, 255, 0));
    EXPECT_EQ(mem.GetPixel(19, 8), RGB(0, 255, 0));
    EXPECT_EQ(mem.GetPixel(18, 8), RGB(0, 255, 0));
}

TEST(Drawing, OffScreenDrawingReachesTheTargetOnlyWhenDone)
{
    CMemoryDC target(nullptr, 40, 40);
    target.FillSolidRect(0, 0, 40, 40, RGB(255, 255, 255));
    {
        CMemDC off(&target, CRect(10, 10, 30, 30));
        off.FillSolidRect(CRect(10, 10, 30, 30), RGB(0, 128, 0)); // the target's coordinates
        EXPECT_EQ(target.GetPixel(15, 15), RGB(255, 255, 255));   // not yet
    }
    EXPECT_EQ(target.GetPixel(15, 15), RGB(0, 128, 0));
    EXPECT_EQ(target.GetPixel(9, 9), RGB(255, 255, 255));
    EXPECT_EQ(target.GetPixel(30, 30), RGB(255, 255, 255));
}

TEST(Drawing, SelectionIsRestoredAndBitmapsCopyAndBlend)
{
    CMemoryDC dest(nullptr, 8, 8);
    dest.FillSolidRect(0, 0, 8, 8, RGB(0, 0, 0));

    CClientDC screen(nullptr);
    CBitmap white;
    ASSERT_TRUE(white.CreateCompatibleBitmap(&screen, 8, 8));
    CDC src;
    ASSERT_TRUE(src.CreateCompatibleDC(&screen));
    const HGDIOBJ hBefore = ::GetCurrentObject(src, OBJ_BITMAP);
    {
        CSelectObject select(src, white);
        EXPECT_EQ(::GetCurrentObject(src, OBJ_BITMAP), white.m_hObject);
        src.FillSolidRect(0, 0, 8, 8, RGB(255, 255, 255));
        dest.BitBlt(0, 0, 4, 8, &src, 0, 0, SRCCOPY);
        BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0};
        EXPECT_TRUE(dest.AlphaBlend(4, 0, 4, 8, &src, 0, 0, 4, 8, half));
    }
    EXPECT_EQ(::GetCurrentObject(src, OBJ_BITMAP), hBefore);
    EXPECT_EQ(dest.GetPixel(1, 1), RGB(255, 255, 255));
    const COLORREF blended = dest.GetPixel(6, 6);
    EXPECT_NEAR(GetRValue(blended), 128, 2);
    EXPECT_NEAR(GetGValue(blended), 128, 2);

    // Stretching a 2 x 2 image to 8 x 8 fills every pixel.
    CMemoryDC small(nullptr, 2, 2);
    small.FillSolidRect(0, 0, 2, 2, RGB(10, 20, 30));
    dest.StretchBlt(0, 0, 8, 8, &small, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(dest.GetPixel(7, 7), RGB(10, 20, 30));
}

} // namespace
