// CPropertyPage: a dialog page that the program creates as a plain child window with
// CDialog::Create, outside any property sheet.
#pragma once

#include "framework/Dialog.h"

// OK and Cancel (Enter and Escape through the dialog manager) do not end it.
class CPropertyPage : public CDialog {
public:
    CPropertyPage() = default;
    explicit CPropertyPage(UINT nIDTemplate) : CDialog(nIDTemplate) {}
    void OnOK() override {}
    void OnCancel() override {}
};
