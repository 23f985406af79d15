// The dialog side of ActiveX hosting: a dialog template marks an ActiveX control by a static
// placeholder whose text is the control's CLSID in braces, with the control's id and rectangle:
//
//     CONTROL "{57D9AF4C-23BA-47EC-A40B-2DA79641B285}", 1053, "Static", WS_CHILD | WS_VISIBLE, 7, 140, 176, 130
//
// Once the program has called AfxEnableControlContainer, every dialog replaces such
// placeholders by hosted controls (OleControlSite.h) when WM_INITDIALOG arrives, before
// OnInitDialog and DoDataExchange run, and connects the dialog's event sink map to each.
// The host keeps the placeholder's id, rectangle, visibility, enabled state and tab position.
#pragma once
#include <windows.h>

#include "framework/OleEventSink.h"

class CWnd;

// Lets dialogs host ActiveX controls from here on (call once at start-up).
void AfxEnableControlContainer();
bool AfxControlContainerEnabled();

// Called by CDialog on WM_INITDIALOG before OnInitDialog, as
//     AfxCreateDialogControls(m_hWnd, this, GetEventSinkMap());
// replaces the dialog's placeholders and connects its event sink map. Does nothing unless the
// container was enabled.
void AfxCreateDialogControls(HWND hDialog, CWnd* pOwner, const AFX_EVENTSINKMAP* pMap);

// The work behind AfxCreateDialogControls, whether or not the container was enabled: replaces
// every placeholder child of hDialog, connecting the events of each created control to pMap of
// pOwner when pMap is given. Returns how many placeholders were replaced.
int OleReplaceControlPlaceholders(HWND hDialog, CWnd* pOwner, const AFX_EVENTSINKMAP* pMap);
