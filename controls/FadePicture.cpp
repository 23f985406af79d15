// CFadePicture: the fade-in worker thread and painting once it is done.
#include "controls/FadePicture.h"

#include "controls/ScaledImage.h"
#include "framework/DpiScale.h"

BEGIN_MESSAGE_MAP(CFadePicture, CStatic)
    ON_WM_PAINT()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CFadePicture::~CFadePicture()
{
    StopFadeThread();
}

BOOL CFadePicture::StartFade(UINT nBitmapId, int nDelayMs)
{
    // Without a window the thread would draw on the whole screen.
    if (!m_hWnd)
        return FALSE;
    CBitmap bitmap;
    if (!bitmap.Attach(LoadBitmapForDpi(nBitmapId, m_nDpi)))
        return FALSE;
    // A second start replaces the first fade, whose thread must let go of the bitmap first.
    StopFadeThread();
    m_bitmap.DeleteObject();
    m_bitmap.Attach(bitmap.Detach());
    m_nBitmapId = static_cast<int>(nBitmapId);
    m_nDelayMs = nDelayMs;
    m_bFadeDone = 0;

    m_hStopEvent.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    // Started suspended so that this object, not the thread, owns the thread object: the
    // control must be able to wait for it when it goes away early.
    CWinThread* pThread = AfxBeginThread(FadeThreadProc, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!pThread)
        return FALSE;
    pThread->m_bAutoDelete = FALSE;
    m_pThread.reset(pThread);
    pThread->ResumeThread();
    return TRUE;
}

void CFadePicture::SetDpi(int dpi)
{
    dpi = dpiscale::Usable(dpi);
    if (dpi == m_nDpi)
        return;
    m_nDpi = dpi;
    if (!m_nBitmapId || !m_hWnd)
        return; // StartFade loads the bitmap at this scale
    HBITMAP hBitmap = LoadBitmapForDpi(static_cast<UINT>(m_nBitmapId), m_nDpi);
    if (!hBitmap)
        return;
    // The thread blends the old bitmap: it lets go of it before the new one takes its place.
    StopFadeThread();
    m_bitmap.DeleteObject();
    m_bitmap.Attach(hBitmap);
    m_bFadeDone = 1;
    const CSize size = m_bitmap.GetSize();
    SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
}

UINT CFadePicture::FadeThreadProc(LPVOID pParam)
{
    static_cast<CFadePicture*>(pParam)->RunFade();
    return 0;
}

void CFadePicture::RunFade()
{
    const HWND hWnd = m_hWnd;
    HDC hdcWindow = ::GetDC(hWnd);
    HDC hdcMem = ::CreateCompatibleDC(hdcWindow);
    HGDIOBJ hOld = ::SelectObject(hdcMem, m_bitmap.GetSafeHandle());
    BITMAP bm{};
    m_bitmap.GetBitmap(&bm);
    const int w = bm.bmWidth;
    const int h = bm.bmHeight;

    // Resizes without moving; the window's own thread carries it out when it next serves
    // messages.
    ::SetWindowPos(hWnd, HWND_TOP, 0, 0, w, h, SWP_NOMOVE);

    bool completed = true;
    for (int alpha = 0; alpha <= 255; alpha += kAlphaStep) {
        if (::WaitForSingleObject(m_hStopEvent.Get(), 0) == WAIT_OBJECT_0) {
            completed = false;
            break;
        }
        // Each step blends over the previous ones, so the picture is opaque long before
        // the last step, which copies it outright.
        BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0};
        ::AlphaBlend(hdcWindow, 0, 0, w, h, hdcMem, 0, 0, w, h, blend);
        if (::WaitForSingleObject(m_hStopEvent.Get(), static_cast<DWORD>(m_nDelayMs)) == WAIT_OBJECT_0) {
            completed = false;
            break;
        }
    }

    // Let go of the bitmap before announcing the end, so that a paint on the window's
    // thread can select it at once.
    ::SelectObject(hdcMem, hOld);
    ::DeleteDC(hdcMem);
    ::ReleaseDC(hWnd, hdcWindow);
    if (completed)
        m_bFadeDone = 1;
}

void CFadePicture::StopFadeThread()
{
    if (!m_pThread)
        return;
    if (m_hStopEvent)
        ::SetEvent(m_hStopEvent.Get());
    const HANDLE hThread = m_pThread->m_hThread.Get();
    for (;;) {
        const DWORD r = ::MsgWaitForMultipleObjects(1, &hThread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + 1)
            break; // the thread ended (or the wait failed: nothing more to wait for)
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    m_pThread.reset();
}

void CFadePicture::OnDestroy()
{
    // The thread draws on this window: it must be gone before the window is.
    StopFadeThread();
    Default();
}

void CFadePicture::OnPaint()
{
    CPaintDC dc(this);
    // During the fade the thread draws; a paint only validates.
    if (!m_bFadeDone.load() || !m_bitmap.GetSafeHandle())
        return;
    const CSize size = m_bitmap.GetSize();
    CDC dcMem;
    dcMem.CreateCompatibleDC(&dc);
    CSelectObject sel(dcMem, m_bitmap);
    dc.BitBlt(0, 0, size.cx, size.cy, &dcMem, 0, 0, SRCCOPY);
}
