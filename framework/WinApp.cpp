// The application object, the entry point and worker threads.
#include "framework/WinApp.h"

#include <commctrl.h>

#include "framework/Wnd.h"

namespace {

CWinApp* g_pApp = nullptr;

} // namespace

CWinApp::CWinApp(const char* pszAppName)
{
    // One application object per process, constructed during static initialisation.
    g_pApp = this;
    if (pszAppName)
        m_strAppName = pszAppName;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

int CWinApp::Run()
{
    // Messages are taken in their wide form, so that a Unicode window (an edit people type
    // into) gets typed characters as typed; an ANSI window gets the ANSI form on dispatch.
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    m_nExitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

int CWinApp::WinMainBody(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow)
{
    m_hInstance = hInstance;
    m_lpCmdLine = lpCmdLine;
    m_nCmdShow = nCmdShow;

    char szPath[MAX_PATH] = {};
    ::GetModuleFileNameA(hInstance, szPath, MAX_PATH);
    CString strPath(szPath);
    CString strName = strPath.Mid(strPath.ReverseFind('\\') + 1);
    const int nDot = strName.ReverseFind('.');
    m_strExeName = nDot >= 0 ? strName.Left(nDot) : strName;
    if (m_strAppName.IsEmpty())
        m_strAppName = m_strExeName;
    m_pszAppName = m_strAppName;
    m_pszExeName = m_strExeName;

    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);

    if (!InitInstance())
        return ExitInstance();
    return Run();
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nIDResource));
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    CWnd* pMainWnd = AfxGetMainWnd();
    return CWnd::WalkPreTranslateTree(pMainWnd ? pMainWnd->m_hWnd : nullptr, pMsg);
}

HINSTANCE AfxGetInstanceHandle()
{
    if (g_pApp && g_pApp->m_hInstance)
        return g_pApp->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

const char* AfxGetAppName()
{
    if (g_pApp && g_pApp->m_pszAppName)
        return g_pApp->m_pszAppName;
    // Without an application object (tests), the executable's name.
    static CString strName;
    if (strName.IsEmpty()) {
        char szPath[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
        CString strPath(szPath);
        strName = strPath.Mid(strPath.ReverseFind('\\') + 1);
        const int nDot = strName.ReverseFind('.');
        if (nDot >= 0)
            strName = strName.Left(nDot);
    }
    return strName;
}

HICON AfxLoadIcon(UINT nIDResource)
{
    return ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nIDResource));
}

// --- worker threads ---------------------------------------------------------------------------------

CWinThread::~CWinThread() = default;

DWORD WINAPI CWinThread::ThreadEntry(LPVOID pThis)
{
    auto* pThread = static_cast<CWinThread*>(pThis);
    UINT nResult = 0;
    try {
        nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
    } catch (...) {
        nResult = static_cast<UINT>(-1);
    }
    if (pThread->m_bAutoDelete)
        delete pThread;
    return nResult;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize)
{
    // Always start suspended so that the handle is stored before the thread can end.
    m_hThread.Reset(::CreateThread(nullptr, nStackSize, &CWinThread::ThreadEntry, this, CREATE_SUSPENDED, &m_nThreadID));
    if (!m_hThread)
        return FALSE;
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ::ResumeThread(m_hThread.Get());
    return TRUE;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES)
{
    auto* pThread = new CWinThread(pfnThreadProc, pParam);
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize)) {
        delete pThread;
        return nullptr;
    }
    pThread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        pThread->ResumeThread();
    return pThread;
}

// The layer's entry point: the program's application object does the rest.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    return pApp->WinMainBody(hInstance, lpCmdLine, nCmdShow);
}
