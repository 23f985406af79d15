// The conversion run as the page shows it: Start and Stop, the buttons, the closing message
// and the shut-down. The run itself is the engine's ConversionQueue; the page answers its
// questions (the video control's step, each task's command line) and its news (an ended task
// handed to ViviRarir, files to remove once they are let go).
#include "ui/VarnelloDlg.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "engine/CommandLine.h"
#include "engine/FinishingActions.h"
#include "engine/MessageText.h"
#include "engine/TasksAtOnce.h"
#include "engine/UserFolders.h"
#include "engine/WorkingDirectory.h"
#include "videocontrol/IntermediateLogic.h"
#include "videocontrol/IntermediateTranscode.h"
#include "res/resource.h"
#include "ui/ShutdownWarning.h"

namespace {

// True when the file is there with something in it.
bool FileHasContent(const char* pszPath)
{
    struct _stat64 info {};
    return _stat64(pszPath, &info) == 0 && (info.st_mode & _S_IFREG) != 0 && info.st_size > 0;
}

int ProcessorCount()
{
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return static_cast<int>(std::max<DWORD>(1, info.dwNumberOfProcessors));
}

} // namespace

void CVarnelloDlg::RemoveRunFile(const CString& strPath)
{
    // An encoder or the video control that was just told to quit may hold the file open for a
    // moment: it is deleted later by the timer rather than waited for here.
    if (strPath.IsEmpty() || DeleteFileA(strPath) || GetLastError() == ERROR_FILE_NOT_FOUND ||
        GetLastError() == ERROR_PATH_NOT_FOUND)
        return;
    m_lateDeletes.Add(static_cast<const char*>(strPath), GetTickCount());
    SetTimer(kLateDeleteTimer, kLateDeleteRetryMs);
}

void CVarnelloDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kLateDeleteTimer) {
        CPropertyPage::OnTimer(nIDEvent);
        return;
    }
    m_lateDeletes.RetryDue(GetTickCount(), [](const std::string& path) {
        return DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
               GetLastError() == ERROR_PATH_NOT_FOUND;
    });
    if (m_lateDeletes.Empty())
        KillTimer(kLateDeleteTimer);
}

void CVarnelloDlg::RemoveIntermediateFile(const ConvertTask& task)
{
    if (task.bNeedIntermediate == 1)
        RemoveRunFile(task.strIntermediatePath);
}

void CVarnelloDlg::OnStartConvert()
{
    if (m_bConverting == 1)
        return;
    const int nCount = GetTaskCount();
    if (nCount <= 0)
        return;
    m_videoEdit.StopConvert();
    if (!OutputFolderIsReady())
        return;

    // The whole folder text: a fixed buffer could cut it inside a character and name
    // another folder. The list and the folder cannot change until the run is over.
    CString strOutputDir;
    m_edtOutputDir.GetWindowText(strOutputDir);
    RunSettings settings;
    settings.strOutputFolder = strOutputDir.str();
    settings.nTasksAtOnce = ChooseTasksAtOnce(TasksAtOnceSetting(), ProcessorCount());
    settings.nEncoderThreads = EncoderThreadsEach(ProcessorCount(), settings.nTasksAtOnce);

    BeginRun();
    m_queue.Run(settings);
    EndRun();
    AnnounceRunEnd();
}

bool CVarnelloDlg::OutputFolderIsReady()
{
    // The whole text: a stored folder may be longer than a path buffer, and one cut short
    // would name another folder.
    CString strOutputDir;
    m_edtOutputDir.GetWindowText(strOutputDir);
    const char* szOutputDir = strOutputDir;
    if (szOutputDir[0] == '\0') {
        const CString strText = CenterMessageText("Please set the output directory firstly");
        AfxSeamMessageBox(m_hWnd, strText, "Error", MB_OK);
        return false;
    }
    // A folder that is not there yet (a new user's Videos folder, a stored folder removed
    // since) is made with its parents. One that cannot be made (no such drive, no right to
    // write there) would fail every task: nothing runs, and the user is told what to do.
    if (!EnsureFolderExists(szOutputDir)) {
        CString strMessage;
        strMessage.Format("The output directory %s cannot be created. Please choose another one with Browse.",
                          szOutputDir);
        AfxSeamMessageBox(m_hWnd, CenterMessageText(strMessage), "Error", MB_OK);
        return false;
    }
    return true;
}

void CVarnelloDlg::BeginRun()
{
    EnterAppFolder(AppFolder());
    m_bConverting = 1;
    m_btnStartConvert.ShowWindow(SW_HIDE);
    m_btnStopConvert.ShowWindow(SW_SHOW);
    g_bStopConvert = false;
    ResetTaskProgress();
}

// --- what the queue asks of the page ---------------------------------------------------

bool CVarnelloDlg::StartIntermediateStep(int nIndex)
{
    // In the user's data folder, not beside the program, whose folder may be read-only.
    return ::StartIntermediateStep(m_videoEdit, *this, UserDataFolder().c_str(), nIndex);
}

std::string CVarnelloDlg::IntermediateStepFault(int nIndex)
{
    const ConvertTask task = m_arrTasks.GetAt(nIndex);
    if (task.strIntermediatePath.IsEmpty())
        return "The intermediate file's path would be longer than 259 characters.";
    if (task.bIntermediateDone != 1 || !FileHasContent(task.strIntermediatePath))
        return "The video control did not write the intermediate file.";
    const double dWritten = m_videoEdit.GetDuration(task.strIntermediatePath);
    const double dWanted = task.dEndTime - task.dStartTime;
    if (IntermediateCoversRange(dWritten, dWanted))
        return std::string();
    CString strWhy;
    strWhy.Format("The intermediate file ended early: %.1f of %.1f seconds were written.", dWritten, dWanted);
    return static_cast<const char*>(strWhy);
}

void CVarnelloDlg::EndIntermediateStep(int nIndex)
{
    // Ended here rather than at the control's next progress event, which may come late.
    m_videoEdit.StopConvert();
    if (IsValidTask(nIndex))
        RemoveIntermediateFile(m_arrTasks.GetAt(nIndex));
}

CString CVarnelloDlg::EncoderCommandLine(int nIndex, const std::string& strOutputPath)
{
    SetOutputFile(strOutputPath);
    return ::BuildCommandLine(m_arrTasks, nIndex, m_szOutputFile, AppFolder());
}

void CVarnelloDlg::RemoveRunFile(const std::string& strPath)
{
    RemoveRunFile(CString(strPath.c_str()));
}

void CVarnelloDlg::TaskEnded(int, TaskResult result, const std::string& strOutputPath)
{
    // Each finished file as its task ends, one at a time: ViviRarir is waited for.
    if (result == TaskResult::Finished && m_chkShutdown.GetCheck() == 0) {
        SetOutputFile(strOutputPath);
        AddToiTunes();
    }
}

void CVarnelloDlg::SetOutputFile(const std::string& strPath)
{
    // The queue never reserves a path longer than the buffer holds.
    const size_t nLength = std::min(strPath.size(), sizeof(m_szOutputFile) - 1);
    std::memcpy(m_szOutputFile, strPath.data(), nLength);
    m_szOutputFile[nLength] = '\0';
}

// --- the end of a run ------------------------------------------------------------------

void CVarnelloDlg::EndRun()
{
    m_bConverting = 0;
    m_btnStartConvert.ShowWindow(SW_SHOW);
    m_btnStopConvert.ShowWindow(SW_HIDE);
}

void CVarnelloDlg::AnnounceRunEnd()
{
    if (!g_bStopConvert && m_chkShutdown.GetCheck() == 1) {
        ShutdownComputerOrWarn(m_hWnd);
        return;
    }
    if (m_bWindowClosing)
        return; // the window is going away: nobody is left to read the message
    const CString strText = CenterMessageText("Converting Finished");
    AfxSeamMessageBox(m_hWnd, strText, "Information", MB_OK);
}

void CVarnelloDlg::OnStopConvert()
{
    StopConversion();
}

void CVarnelloDlg::StopConversion(bool bWindowClosing)
{
    m_bWindowClosing = m_bWindowClosing || bWindowClosing;
    m_queue.Stop();
}

void CVarnelloDlg::ResetTaskProgress()
{
    for (int i = 0; i < m_arrTasks.GetCount(); ++i) {
        ConvertTask task = m_arrTasks.GetAt(i);
        task.bFinished = 0;
        task.bFailed = 0;
        task.nOutputSizeKB = 0;
        task.dSpeed = 0;
        task.dEncodedTime = 0;
        m_arrTasks.SetAt(i, task);
    }
    // The cleared cells show at once, not the last run's "Finished" or "Failed" until
    // something else happens to repaint their rows.
    if (m_arrTasks.GetCount() > 0) {
        InvalidateCells(0, m_arrTasks.GetCount() - 1, 4, false);
        m_lstTasks.UpdateWindow();
    }
}

CString CVarnelloDlg::AppFolder() const
{
    return AppFolderOf(m_context.strProgramDir);
}

void CVarnelloDlg::AddToiTunes()
{
    ::AddToiTunes(m_szOutputFile);
}
