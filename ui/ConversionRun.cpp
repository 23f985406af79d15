// The conversion run: Start and Stop, naming each task's output, building its command line,
// running the encoder, and what happens when each task and the whole list are done.
#include "ui/VarnelloDlg.h"

#include <io.h>
#include <sys/stat.h>

#include <cstring>
#include <vector>

#include "engine/CommandLine.h"
#include "engine/ConversionLog.h"
#include "engine/EncoderRunner.h"
#include "engine/FinishingActions.h"
#include "engine/MessageText.h"
#include "engine/OutputPath.h"
#include "engine/UserFolders.h"
#include "engine/WorkingDirectory.h"
#include "common/UniqueHandle.h"
#include "videocontrol/IntermediateLogic.h"
#include "framework/MessagePump.h"
#include "res/resource.h"
#include "ui/ShutdownWarning.h"

namespace {

// How long the run waits for an encoder that has been told to finish to exit; one that takes
// longer is hung: it is ended, and its task has failed.
constexpr DWORD kEncoderExitWaitMs = 5000;

// True when the encoder left a file with something in it.
bool OutputWasWritten(const char* pszPath)
{
    struct _stat64 info {};
    return _stat64(pszPath, &info) == 0 && (info.st_mode & _S_IFREG) != 0 && info.st_size > 0;
}

// An empty file left at a reserved name: the encoder never wrote into it.
bool IsEmptyFile(const char* pszPath)
{
    struct _stat64 info {};
    return _stat64(pszPath, &info) == 0 && (info.st_mode & _S_IFREG) != 0 && info.st_size == 0;
}

// The claim of an output name: created exclusively, so that a file another program made at
// that name a moment ago is never the one the encoder replaces.
outputpath::Claim ClaimOutputFile(const std::string& path)
{
    const UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                        nullptr));
    if (file)
        return outputpath::Claim::Created;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? outputpath::Claim::Taken
                                                                       : outputpath::Claim::Failed;
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
    // A RealMedia task's intermediate file is a full copy of the trimmed video, of no use once
    // the task's turn is over, converted, failed, refused or stopped.
    if (task.bNeedIntermediate == 1)
        RemoveRunFile(task.strIntermediatePath);
}

void CVarnelloDlg::RemoveFailedOutput()
{
    // What a failed encoder left under the task's output name: a cut-off file that no player
    // can open, on a disk it may have filled. Only a file this run made: the name was
    // reserved by creating it, and nothing else is ever deleted.
    if (m_bOutputReserved)
        RemoveRunFile(m_szOutputFile);
    m_bOutputReserved = false;
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

    BeginRun();
    for (int i = 0; i < nCount && i < GetTaskCount(); ++i) {
        // A Stop may come during any wait of the task before (the encoder's exit, the removal
        // of a failed file): once it has, nothing more is started.
        if (g_bStopConvert || !ConvertOneTask(i))
            break;
    }
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

bool CVarnelloDlg::ConvertOneTask(int nIndex)
{
    g_nConvertIndex = nIndex;
    if (m_arrTasks.GetAt(nIndex).bNeedIntermediate == 1) {
        TranscodeToIntermediate(nIndex);
        if (g_bStopConvert)
            return false;
        // The control reports its step finished whatever became of its writer: a file cut
        // short would be converted as if it were the whole range.
        const std::string strFault = IntermediateStepFault(nIndex);
        if (!strFault.empty()) {
            RefuseTask(nIndex, m_arrTasks.GetAt(nIndex).strIntermediatePath, strFault);
            return true;
        }
    }
    std::string strRefusal;
    if (!MakeOutputFileName(nIndex, m_szOutputFile, strRefusal)) {
        RefuseTask(nIndex, strRefusal.c_str(), std::string());
        return true;
    }
    CString strCommand = BuildCommandLine(nIndex);
    std::vector<char> commandLine(static_cast<size_t>(strCommand.GetLength()) + 2048, '\0');
    std::memcpy(commandLine.data(), static_cast<const char*>(strCommand), strCommand.GetLength());

    g_dwConvertStartTick = GetTickCount();
    RunEncoder(commandLine.data(), nIndex);
    if (g_bStopConvert)
        return false;
    // The encoder's output has ended normally: this task is judged as ended, even when a
    // Stop comes while the run waits for the encoder to exit; the loop stops after it.
    EndEncoder();
    const EncoderExit encoderExit = WaitForEncoderExit(kEncoderExitWaitMs);
    FinishTask(nIndex, encoderExit == EncoderExit::Succeeded || encoderExit == EncoderExit::Unknown);
    return true;
}

void CVarnelloDlg::RefuseTask(int nIndex, const char* pszOutput, const std::string& strWhy)
{
    // The task fails before its encoder starts: nothing is handed on to it.
    ConvertTask refused = m_arrTasks.GetAt(nIndex);
    refused.bFailed = 1;
    m_arrTasks.SetAt(nIndex, refused);
    InvalidateCells(nIndex, nIndex, 4, false);
    std::vector<std::string> lines;
    if (!strWhy.empty())
        lines.push_back(strWhy);
    LogFailedTask(refused.strSourcePath, pszOutput, lines);
    RemoveIntermediateFile(refused);
}

std::string CVarnelloDlg::IntermediateStepFault(int nIndex)
{
    const ConvertTask task = m_arrTasks.GetAt(nIndex);
    if (task.strIntermediatePath.IsEmpty())
        return "The intermediate file's path would be longer than 259 characters.";
    if (task.bIntermediateDone != 1 || !OutputWasWritten(task.strIntermediatePath))
        return "The video control did not write the intermediate file.";
    const double dWritten = m_videoEdit.GetDuration(task.strIntermediatePath);
    const double dWanted = task.dEndTime - task.dStartTime;
    if (IntermediateCoversRange(dWritten, dWanted))
        return std::string();
    CString strWhy;
    strWhy.Format("The intermediate file ended early: %.1f of %.1f seconds were written.", dWritten, dWanted);
    return static_cast<const char*>(strWhy);
}

void CVarnelloDlg::FinishTask(int nIndex, bool bEncoderDone)
{
    // A task counts as finished only when its encoder has exited without failure and
    // left a file behind: a missing encoder, an unreadable source, an unwritable folder,
    // a full disk, an encoder that crashed, was killed or hung half-way show "Failed".
    // Never while the encoder may still write the file.
    ConvertTask task = m_arrTasks.GetAt(nIndex);
    if (bEncoderDone && OutputWasWritten(m_szOutputFile)) {
        task.bFinished = 1;
    } else {
        task.bFailed = 1;
        LogFailedTask(task.strSourcePath, m_szOutputFile, LastEncoderLines());
    }
    m_arrTasks.SetAt(nIndex, task);
    InvalidateCells(nIndex, nIndex, 4, false);
    RemoveIntermediateFile(task);
    if (task.bFailed == 1)
        RemoveFailedOutput();
    m_bOutputReserved = false;
    if (task.bFinished == 1 && m_chkShutdown.GetCheck() == 0)
        AddToiTunes();
}

void CVarnelloDlg::EndRun()
{
    // After a Stop the encoder has been told to quit; no encoder outlives the run: one that
    // does not quit in time is ended.
    EndEncoder();
    WaitForEncoderExit(kEncoderExitWaitMs);
    // A stopped task's file: the stop sequence's own delete fails while the encoder still reads
    // it or the control still writes it (the control is ended here rather than at its next
    // progress event, which may come late).
    if (g_bStopConvert && IsValidTask(g_nConvertIndex) && m_arrTasks.GetAt(g_nConvertIndex).bNeedIntermediate == 1) {
        m_videoEdit.StopConvert();
        RemoveIntermediateFile(m_arrTasks.GetAt(g_nConvertIndex));
    }
    // A name reserved for a task stopped before its encoder wrote anything: the empty file
    // would only be in the way.
    if (m_bOutputReserved && IsEmptyFile(m_szOutputFile))
        RemoveRunFile(m_szOutputFile);
    m_bOutputReserved = false;
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
    g_bStopConvert = true;
    EndEncoder();
    if (IsValidTask(g_nConvertIndex))
        RemoveIntermediateFile(m_arrTasks.GetAt(g_nConvertIndex));
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

bool CVarnelloDlg::MakeOutputFileName(int nIndex, char* pszBuffer, std::string& strRefusal)
{
    // The whole folder text: a fixed buffer could cut it inside a character and name
    // another folder. The name is reserved as it is chosen, by creating it: the encoder's
    // -y then replaces only the run's own empty file, never one that appeared meanwhile.
    CString strOutputDir;
    m_edtOutputDir.GetWindowText(strOutputDir);
    const std::string strName = static_cast<const char*>(m_arrTasks.GetAt(nIndex).strOutputName);
    const std::string strPath = outputpath::ReserveOutputPath(
        strOutputDir.str(), strName, [](const std::string& candidate) { return _access(candidate.c_str(), 0) == 0; },
        ClaimOutputFile);
    pszBuffer[0] = '\0';
    m_bOutputReserved = false;
    if (strPath.empty()) {
        const bool bTooLong = outputpath::ChooseOutputPath(strOutputDir.str(), strName, [](const std::string&) {
                                  return false;
                              }).empty();
        strRefusal = bTooLong ? "(the output path would be longer than 259 characters)"
                              : "(no output file could be created in " + strOutputDir.str() + ")";
        return false;
    }
    std::memcpy(pszBuffer, strPath.c_str(), strPath.size() + 1);
    m_bOutputReserved = true;
    return true;
}

CString CVarnelloDlg::BuildCommandLine(int nIndex)
{
    return ::BuildCommandLine(m_arrTasks, nIndex, m_szOutputFile, AppFolder());
}

CString CVarnelloDlg::AppFolder() const
{
    return AppFolderOf(m_context.strProgramDir);
}

void CVarnelloDlg::AddToiTunes()
{
    ::AddToiTunes(m_szOutputFile);
}
