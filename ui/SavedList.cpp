// The task list kept across runs of the program: saved after every change, restored at
// start with its current row and that row's settings in the panel.
#include "ui/VarnelloDlg.h"

#include "engine/ConversionLog.h"
#include "engine/SavedTaskList.h"
#include "ui/TaskListFile.h"

void CVarnelloDlg::SaveTaskList()
{
    // Changes come in bursts (a slider drag, a title typed, a thousand files added one by
    // one by a test): they are written once the window has handled what is queued.
    if (m_bSavePending || !m_hWnd)
        return;
    m_bSavePending = true;
    PostMessage(WM_SAVE_TASK_LIST, 0, 0);
}

LRESULT CVarnelloDlg::OnSaveTaskList(WPARAM, LPARAM)
{
    WriteTaskList();
    return 0;
}

void CVarnelloDlg::WriteTaskList()
{
    m_bSavePending = false;
    const std::string text = FormatTaskList(m_arrTasks.Items(), m_nCurrentTask, m_profileTitles);
    if (text == m_strSavedList)
        return; // nothing the file keeps has changed (a repaint, a run's progress)
    if (tasklistfile::ReplaceFileContents(tasklistfile::SavedListPath(), text))
        m_strSavedList = text;
}

void CVarnelloDlg::RestoreTaskList()
{
    const std::string strPath = tasklistfile::SavedListPath();
    std::string text;
    SavedTaskList saved;
    // No list kept yet (the first start, or the person deleted it) is no fault: nothing to log.
    if (GetFileAttributesA(strPath.c_str()) == INVALID_FILE_ATTRIBUTES &&
        (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND))
        return;
    std::string strReason = "unreadable";
    if (!tasklistfile::ReadWholeFile(strPath, text) || !ParseTaskList(text, saved, strReason)) {
        // Whatever is wrong with the file, the program starts with an empty list; the next
        // change writes a sound one.
        const std::string strEntry = "The saved task list " + strPath + " was not restored (" + strReason + ").";
        AppendLog(strEntry.c_str());
        return;
    }
    m_strSavedList = text;
    for (const std::string& strGone : MatchSavedProfiles(saved, m_profileTitles))
        AppendLog(strGone.c_str());
    if (saved.tasks.empty())
        return;
    for (ConvertTask& task : saved.tasks)
        m_arrTasks.Add(task);
    m_videoEdit.ShowWindow(SW_SHOW);
    m_picWelcome.ShowWindow(SW_HIDE);
    RefreshTaskList();
    m_nCurrentTask = saved.nCurrent;
    ShowTaskSettings(m_nCurrentTask);
    // A source that has gone since is marked so its row says so (a run then fails it like any
    // unreadable source); the check is the reader's, since a share that is gone can take
    // minutes to answer and the window is shown meanwhile.
    AskWhichSourcesExist();
    AskNextLength();
    SaveTaskList(); // written again only if a profile moved or the file had an older format
}
