// The page's task list operations: adding a video, removing one or all, and clicks in the
// list that choose the current task.
#include "ui/VarnelloDlg.h"

#include "engine/TaskCell.h"
#include "res/resource.h"

#include <vector>

#include "ui/SourceFiles.h"
#include "ui/TaskListEdits.h"

namespace {

// Room for the dialog's answer when many files are chosen at once: the folder and every
// name, each ended by a zero. A thousand long names fit.
constexpr size_t kMultiSelectBuffer = 512 * 1024;

} // namespace

void CVarnelloDlg::OnAddTask()
{
    if (m_bConverting == 1)
        return;
    // Several files may be chosen at once; the answer is then the folder followed by the names.
    CFileDialog dlg(TRUE, nullptr, nullptr,
                    OFN_NOCHANGEDIR | OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING | OFN_ALLOWMULTISELECT,
                    sourcefiles::kVideoFilter, nullptr);
    std::vector<char> answer(kMultiSelectBuffer, '\0');
    dlg.m_ofn.lpstrFile = answer.data();
    dlg.m_ofn.nMaxFile = static_cast<DWORD>(answer.size());
    dlg.m_ofn.nFilterIndex = sourcefiles::kAllVideosFilterIndex;
    if (dlg.DoModal() != IDOK)
        return;
    std::vector<CString> paths;
    for (const std::string& path : sourcefiles::ParseOpenFileNames(answer.data(), answer.size()))
        paths.emplace_back(path.c_str());
    AddSourceFiles(paths);
}

bool CVarnelloDlg::ReadSourceLength(const CString& strPath, double& dLength)
{
    // The video control reports 0 for a file it cannot read; such a file is not added as a
    // task of no length, since it could neither be trimmed nor converted. A name the program
    // cannot use comes back as a path that names no file (too long, or "?" for each character
    // that Windows before 10 version 1903 cannot pass in the program's UTF-8 code page).
    dLength = 0.0;
    if (GetFileAttributesA(strPath) == INVALID_FILE_ATTRIBUTES)
        return false;
    dLength = m_videoEdit.GetDuration(strPath);
    return dLength > 0.0;
}

namespace {

// Reading a length starts the media tool once per file (0.1 to 0.5 s under Wine). An add
// reads lengths at once for this long, and always the first file's, so a few files are
// complete when the list shows them; the source reader reads the rest on its own thread
// while the window goes on answering input.
constexpr DWORD kReadNowMilliseconds = 100;

} // namespace

void CVarnelloDlg::AddSourceFiles(const std::vector<CString>& paths)
{
    if (m_bConverting == 1 || paths.empty())
        return;
    m_videoEdit.ShowWindow(SW_SHOW);
    m_picWelcome.ShowWindow(SW_HIDE);

    const DWORD dwStart = GetTickCount();
    const tasklist::AddResult added = tasklist::AddSources(
        m_arrTasks, m_nCurrentTask, paths,
        [this](const CString& strPath, double& dLength) { return ReadSourceLength(strPath, dLength); },
        [dwStart](size_t nIndex) { return nIndex == 0 || GetTickCount() - dwStart < kReadNowMilliseconds; });
    m_unreadableFiles.insert(m_unreadableFiles.end(), added.unreadable.begin(), added.unreadable.end());

    if (added.added > 0) {
        // The panel, title and slider show the last added task, which is current; the list
        // learns its new row count once, however many files came.
        const ConvertTask lastTask = m_arrTasks.GetAt(m_nCurrentTask);
        ResetOutputSettings();
        m_bIgnoreTitleChange = 1;
        m_edtTitle.SetWindowText(lastTask.strTitle);
        m_bIgnoreTitleChange = 0;

        RefreshTaskList();

        m_bIgnoreRangeChange = 1;
        m_sldRange.SetBounds(0.0, lastTask.dEndTime);
        m_sldRange.SetSelection(0.0, lastTask.dEndTime);
        m_bIgnoreRangeChange = 0;

        SelectTaskRow(m_nCurrentTask);
        SaveTaskList();
    }
    if (tasklist::HasPendingLength(m_arrTasks))
        AskNextLength();
    else
        ReportUnreadableFiles();
}

bool CVarnelloDlg::ReadNextPendingLength()
{
    for (const ConvertTask& task : m_arrTasks.Items()) {
        if (task.bLengthPending != 1)
            continue;
        const CString strPath = task.strSourcePath; // the task may leave the list
        double dLength = 0.0;
        ReadSourceLength(strPath, dLength);
        ApplySourceLength(strPath, dLength);
        return true;
    }
    return false;
}

void CVarnelloDlg::ApplySourceLength(const CString& strPath, double dLength)
{
    const tasklist::LengthResult result = tasklist::ApplyLength(m_arrTasks, m_nCurrentTask, strPath, dLength);
    if (result.row < 0)
        return;
    if (!result.removed) {
        InvalidateCells(result.row, result.row, 2, false);
    } else {
        // Unreadable: the task left the list, as if never added.
        m_unreadableFiles.push_back(tasklist::FileNameOf(strPath));
        RefreshTaskList();
        if (m_nCurrentTask < 0) {
            m_videoEdit.ClearClips();
            ResetOutputSettings();
        }
        m_lstTasks.Invalidate(FALSE); // the later rows moved up
    }
    if (result.currentShown)
        ShowTaskSettings(m_nCurrentTask); // the slider can span the file, or another task is current
}

SourceReader* CVarnelloDlg::Reader()
{
    if (!m_sourceReader && m_hWnd && m_context.registerVideoControl)
        m_sourceReader = std::make_unique<SourceReader>(m_hWnd, WM_SOURCE_ANSWER, kVideoEditClsidText,
                                                        m_context.registerVideoControl);
    return m_sourceReader.get();
}

void CVarnelloDlg::AskNextLength()
{
    if (m_bLengthAsked || m_bConverting == 1)
        return;
    for (const ConvertTask& task : m_arrTasks.Items()) {
        if (task.bLengthPending != 1)
            continue;
        if (SourceReader* pReader = Reader()) {
            pReader->Ask(SourceReader::Question::Length, static_cast<const char*>(task.strSourcePath));
            m_bLengthAsked = true;
        } else {
            ReadAllPendingLengths(); // no reader: the lengths are read here, as before a run
        }
        return;
    }
}

void CVarnelloDlg::AskWhichSourcesExist()
{
    SourceReader* pReader = Reader();
    for (int i = 0; i < GetTaskCount(); ++i) {
        const ConvertTask& task = m_arrTasks.Items()[static_cast<size_t>(i)];
        if (pReader) {
            pReader->Ask(SourceReader::Question::Exists, static_cast<const char*>(task.strSourcePath));
        } else if (GetFileAttributesA(task.strSourcePath) == INVALID_FILE_ATTRIBUTES) {
            ConvertTask missing = task;
            missing.bSourceMissing = 1;
            m_arrTasks.SetAt(i, missing);
        }
    }
}

LRESULT CVarnelloDlg::OnSourceAnswer(WPARAM, LPARAM)
{
    SourceReader::Answer answer;
    if (!m_sourceReader || !m_sourceReader->TakeAnswer(answer))
        return 0;
    if (answer.question == SourceReader::Question::Exists) {
        for (int nRow : tasklist::ApplyExists(m_arrTasks, CString(answer.path.c_str()), answer.exists))
            InvalidateCells(nRow, nRow, 4, false);
        return 0;
    }
    m_bLengthAsked = false;
    if (m_bConverting == 1)
        return 0; // the run read every length before it started
    ApplySourceLength(CString(answer.path.c_str()), answer.length);
    if (tasklist::HasPendingLength(m_arrTasks)) {
        AskNextLength();
    } else {
        // The batch is read: the list is written once for all of it.
        SaveTaskList();
        ReportUnreadableFiles();
    }
    return 0;
}

void CVarnelloDlg::ReadAllPendingLengths()
{
    bool bAny = false;
    while (ReadNextPendingLength())
        bAny = true;
    if (bAny)
        SaveTaskList();
    ReportUnreadableFiles();
}

void CVarnelloDlg::ReportUnreadableFiles()
{
    if (m_unreadableFiles.empty())
        return;
    const std::string strText = sourcefiles::UnreadableFilesMessage(m_unreadableFiles);
    m_unreadableFiles.clear();
    AfxSeamMessageBox(m_hWnd, strText.c_str(), "Warning", MB_OK | MB_ICONWARNING);
}

void CVarnelloDlg::OnStartClicked()
{
    // Every row shows its length, and every unreadable file has left, before a run starts.
    if (m_bConverting == 1)
        return;
    ReadAllPendingLengths();
    OnStartConvert();
}

void CVarnelloDlg::OnRemoveTask()
{
    if (m_bConverting == 1)
        return;
    const int nRow = m_lstTasks.GetSelectionMark();
    if (!IsValidTask(nRow))
        return;
    // The selection is the current row: the panel showed the task that went.
    m_nCurrentTask = tasklist::RemoveRow(m_arrTasks, nRow, nRow);
    RefreshTaskList();
    if (m_nCurrentTask < 0) {
        m_videoEdit.ClearClips();
        ResetOutputSettings();
    } else {
        ShowTaskSettings(m_nCurrentTask);
    }
    SaveTaskList();
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
    SaveTaskList(); // an empty list, so the next start begins empty too
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
        SaveTaskList();
    } else if (m_nCurrentTask >= 0) {
        SelectTaskRow(m_nCurrentTask);
    }
}

void CVarnelloDlg::OnTaskListFind(NMHDR* pNMHDR, LRESULT* pResult)
{
    // The list is owner-data, so it asks which row a typed letter leads to. Unanswered, the
    // answer would be 0: the list would select the first row while the panel showed another
    // task, and Remove or the slider would then act on the wrong one. Only a search for text
    // is answered; the list sends the wide form under Wine, the ANSI one to an ANSI parent.
    *pResult = -1;
    std::string strTyped;
    int nStart = 0;
    if (pNMHDR->code == LVN_ODFINDITEMW) {
        const auto* pFind = reinterpret_cast<const NMLVFINDITEMW*>(pNMHDR);
        if (!(pFind->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !pFind->lvfi.psz)
            return;
        const int nBytes = WideCharToMultiByte(CP_ACP, 0, pFind->lvfi.psz, -1, nullptr, 0, nullptr, nullptr);
        if (nBytes <= 1)
            return;
        strTyped.resize(static_cast<size_t>(nBytes));
        WideCharToMultiByte(CP_ACP, 0, pFind->lvfi.psz, -1, &strTyped[0], nBytes, nullptr, nullptr);
        strTyped.resize(static_cast<size_t>(nBytes) - 1);
        nStart = pFind->iStart;
    } else {
        const auto* pFind = reinterpret_cast<const NMLVFINDITEMA*>(pNMHDR);
        if (!(pFind->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !pFind->lvfi.psz)
            return;
        strTyped = pFind->lvfi.psz;
        nStart = pFind->iStart;
    }
    *pResult = FindAndShowTask(strTyped, nStart);
}

int CVarnelloDlg::FindAndShowTask(const std::string& strTyped, int nStart)
{
    if (m_bConverting == 1)
        return -1; // the current task does not change during a run
    const int nRow = FindTaskBySourcePrefix(m_arrTasks.Items(), strTyped, nStart);
    if (nRow >= 0 && nRow != m_nCurrentTask) {
        m_nCurrentTask = nRow;
        ShowTaskSettings(nRow);
        SaveTaskList();
    }
    return nRow;
}
