// CWinApp: the one application object. The program defines a static instance of its
// subclass; the layer's WinMain runs InitInstance and, when that returns FALSE (a
// dialog-based program whose main dialog has closed), ExitInstance, and ends.
// Also the process-wide helpers: instance handle, main window, worker threads.
#pragma once

#include <windows.h>

#include "common/UniqueHandle.h"
#include "framework/CString.h"

class CWnd;

class CWinApp {
public:
    explicit CWinApp(const char* pszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    // Runs a message loop until WM_QUIT; only reached when InitInstance returns TRUE.
    virtual int Run();
    virtual int ExitInstance() { return m_nExitCode; }

    // The layer's entry point, called by WinMain.
    int WinMainBody(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow);

    // The dialog framework emulates 3D controls by itself on modern Windows: nothing to do.
    BOOL Enable3dControls() { return TRUE; }
    BOOL Enable3dControlsStatic() { return TRUE; }
    HICON LoadIcon(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCSTR lpszCursorName) const { return ::LoadCursorA(nullptr, lpszCursorName); }

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    // Name used as the caption of message boxes: the given one, else the executable's name.
    const char* m_pszAppName = nullptr;
    const char* m_pszExeName = nullptr;

protected:
    int m_nExitCode = 0;

private:
    CString m_strAppName;
    CString m_strExeName;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// Offers a message to PreTranslateMessage of its window and of that window's parents up to the
// main window, as the program's message loops do before they translate and dispatch; TRUE
// when one of them consumed it. Every loop of the thread, nested ones included, goes through
// here, so that keyboard rules and tooltips work the same inside long work.
BOOL AfxPreTranslateMessage(MSG* pMsg);
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
const char* AfxGetAppName();

// --- worker threads -------------------------------------------------------------------------------
using AFX_THREADPROC = UINT (*)(LPVOID pParam);

// A started worker thread. AfxBeginThread's object deletes itself when the thread ends
// unless m_bAutoDelete is cleared first (then the starter waits and deletes it).
class CWinThread {
public:
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam) : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam) {}
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0);
    DWORD ResumeThread() { return ::ResumeThread(m_hThread.Get()); }
    BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread.Get(), nPriority); }
    operator HANDLE() const { return m_hThread.Get(); }

    UniqueHandle m_hThread;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;

private:
    static DWORD WINAPI ThreadEntry(LPVOID pThis);
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;
};

// Runs pfnThreadProc(pParam) on a new thread. The thread starts suspended when
// CREATE_SUSPENDED is given (so the caller can clear m_bAutoDelete first).
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);

// Resources of the executable.
HICON AfxLoadIcon(UINT nIDResource);
