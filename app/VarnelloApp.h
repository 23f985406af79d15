// The application object: prepares the process and runs the frame dialog modally; the
// frame's modal loop is the program's only main loop.
#pragma once

#include <memory>

#include "app/SingleInstance.h"
#include "framework/AfxWin.h"
#include "framework/OleDispatchDriver.h"
#include "standins/videoedit/video_edit_registration.h"

class CVarnelloApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    std::unique_ptr<SingleInstance> m_instance;
    // The video-editing component, creatable by its CLSID while the program runs.
    VideoEditRegistration m_videoEditComponent;
};

// The program's directory with a trailing backslash, set once at start-up.
extern char g_szModuleDir[MAX_PATH];
// The product name shown in the frame's caption.
extern CString g_strProductName;
// The skin component, reached by late binding; unconnected (every call does nothing) when
// it is not installed.
extern COleDispatchDriver g_skin;
