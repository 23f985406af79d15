// The window side of the framework in one include: windows, message maps, dialogs,
// controls, drawing, the application object and the seams.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/AfxSeams.h"
#include "framework/Button.h"
#include "framework/CString.h"
#include "framework/ComboBox.h"
#include "framework/DC.h"
#include "framework/Dialog.h"
#include "framework/Edit.h"
#include "framework/FileDialog.h"
#include "framework/GdiObject.h"
#include "framework/Geometry.h"
#include "framework/HeaderCtrl.h"
#include "framework/ListCtrl.h"
#include "framework/Menu.h"
#include "framework/MessageMap.h"
#include "framework/PropertyPage.h"
#include "framework/Static.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
