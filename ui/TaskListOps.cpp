// The page's task list operations: adding a video, removing one or all, and clicks in the
// list that choose the current task.
#include "ui/VarnelloDlg.h"

#include "res/resource.h"

namespace {

const char kVideoFilter[] =
    "Support Video Files|*.rm;*rmvb;*.avi;*.mpg;*.mpeg;*.vob;*.wmv;*.wma;*.asf;*.mov;*.qt;*.3gp|"
    "RealMedia Files (*.rm,*.rmvb)|*.rm;*.rmvb|AVI Files (*.avi)|*.avi|"
    "Mpeg files (*.mpg, *.mpeg,*.vob)|*.mpg;*.mpeg;*.vob|"
    "Windows Media files (*.wmv, *.wma, *.asf)|*.wmv;*.wma;*.asf|"
    "Quick Time Files (*.mov, *.qt)|*.mov; *.qt|3GP Files (*.3gp)|*.3gp|";

} // namespace

void CVarnelloDlg::OnAddTask()
{
    if (m_bConverting == 1)
        return;
    CFileDialog dlg(TRUE, nullptr, nullptr,
                    OFN_NOCHANGEDIR | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING, kVideoFilter, nullptr);
    if (dlg.DoModal() != IDOK)
        return;
    AddSourceFile(dlg.GetPathName());
}

void CVarnelloDlg::AddSourceFile(const CString& strPath)
{
    // A name the program cannot use comes back from the dialog as a path that names no file:
    // too long, or with "?" for each character outside the code page (Windows before 10
    // version 1903 ignores the program's UTF-8 code page). Say so instead of adding a task
    // that can only fail.
    if (GetFileAttributesA(strPath) == INVALID_FILE_ATTRIBUTES) {
        AfxSeamMessageBox(m_hWnd, CString("Varnello cannot open \"") + strPath +
                          "\". Its path is too long, or its name has characters that this version of "
                          "Windows cannot pass to Varnello (Windows 10 version 1903 or later can).",
                          "Error", MB_OK | MB_ICONERROR);
        return;
    }
    const double dLength = m_videoEdit.GetDuration(strPath);
    if (!(dLength > 0.0)) {
        AfxSeamMessageBox(m_hWnd, CString("Varnello cannot read the length of \"") + strPath +
                          "\", so it cannot convert it. Is it a video file?",
                          "Error", MB_OK | MB_ICONERROR);
        return;
    }
    // The first file added swaps the picture for the video control.
    m_videoEdit.ShowWindow(SW_SHOW);
    m_picWelcome.ShowWindow(SW_HIDE);
    const ConvertTask task = MakeNewTask(strPath, dLength);

    ResetOutputSettings();
    m_bIgnoreTitleChange = 1;
    m_edtTitle.SetWindowText(task.strTitle);
    m_bIgnoreTitleChange = 0;

    m_arrTasks.Add(task);
    RefreshTaskList();
    m_nCurrentTask = GetTaskCount() - 1;

    m_bIgnoreRangeChange = 1;
    m_sldRange.SetBounds(0.0, dLength);
    m_sldRange.SetSelection(0.0, dLength);
    m_bIgnoreRangeChange = 0;

    SelectTaskRow(m_nCurrentTask);
}

void CVarnelloDlg::OnRemoveTask()
{
    if (m_bConverting == 1)
        return;
    const int nRow = m_lstTasks.GetSelectionMark();
    if (!IsValidTask(nRow))
        return;
    m_arrTasks.RemoveAt(nRow);
    RefreshTaskList();
    if (m_arrTasks.GetCount() == 0) {
        m_nCurrentTask = -1;
        m_videoEdit.ClearClips();
        ResetOutputSettings();
        return;
    }
    m_nCurrentTask = nRow <= GetTaskCount() - 1 ? nRow : GetTaskCount() - 1;
    ShowTaskSettings(m_nCurrentTask);
}

void CVarnelloDlg::OnRemoveAllTasks()
{
    if (m_bConverting == 1)
        return;
    m_arrTasks.RemoveAll();
    m_lstTasks.DeleteAllItems();
    m_nCurrentTask = -1;
    m_videoEdit.ClearClips();
    ResetOutputSettings();
}

void CVarnelloDlg::OnTaskListClick(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    if (m_bConverting == 1) {
        // The list has already selected the clicked row by itself. The current task does not
        // change during a run, so the selection goes back to it: otherwise the slider, which
        // stores its range in the selected row, would later write the current task's range
        // into the clicked one, and Remove would remove a row the panel is not showing.
        if (m_nCurrentTask >= 0)
            SelectTaskRow(m_nCurrentTask);
        return;
    }
    const int nRow = m_lstTasks.GetSelectionMark();
    if (nRow != m_nCurrentTask && IsValidTask(nRow)) {
        m_nCurrentTask = nRow;
        ShowTaskSettings(nRow);
    } else if (m_nCurrentTask >= 0) {
        SelectTaskRow(m_nCurrentTask);
    }
}
