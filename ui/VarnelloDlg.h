// CVarnelloDlg: the program's one working window. It owns the task list and every control
// the user touches, and answers the list's requests for cell contents. Its handlers are
// split by subject: VarnelloDlg.cpp (set-up, display, keys), TaskListOps.cpp (add, remove,
// select), SettingsPanel.cpp (title, profile, settings, output folder, help),
// ConversionRun.cpp (start, stop, naming) and Preview.cpp (trimming and preview).
#pragma once

#include <memory>
#include <vector>

#include "controls/FadePicture.h"
#include "controls/RangeSlider.h"
#include "controls/SkinButton.h"
#include "controls/TaskListCtrl.h"
#include "engine/ConversionQueue.h"
#include "engine/ConversionState.h"
#include "engine/ConvertTask.h"
#include "engine/LateDeletes.h"
#include "framework/AfxWin.h"
#include "framework/OleDispatchDriver.h"
#include "framework/OleEventSink.h"
#include "videocontrol/SourceReader.h"
#include "videocontrol/VideoEdit.h"

// Posted to the page itself: write the task list file now that a burst of changes is over.
constexpr UINT WM_SAVE_TASK_LIST = WM_APP + 0x20;
// Posted to the page by its source reader: an answer about a source file is waiting.
constexpr UINT WM_SOURCE_ANSWER = WM_APP + 0x21;

// What the page needs of the program around it; whoever creates the page hands it over
// before Create.
struct PageContext {
    CString strProgramDir;                // the program's folder, with a trailing backslash
    CString strProductName;               // the caption's first word
    COleDispatchDriver* pSkin = nullptr;  // the skin component; none: the page goes unskinned
    CWnd* pCaptionWindow = nullptr;       // the window whose caption names product and version
    // Makes the video control creatable on the source reader's thread; none: lengths are read
    // on the window's own thread.
    SourceReader::ControlRegistrar registerVideoControl;
};

class CVarnelloDlg : public CPropertyPage, public ConversionTarget, public RunEvents {
public:
    CVarnelloDlg();
    ~CVarnelloDlg() override;

    void SetContext(const PageContext& context) { m_context = context; }

    // Lays the page out for a display scale: every control's place and the list's columns
    // scaled from the 96-dpi layout, the font made at that scale, the custom controls'
    // images taken from the set for it. The frame calls it when its window moves to a
    // monitor of another scale; the page lays itself out at its first scale on its own.
    void ApplyDpi(int dpi);
    int Dpi() const { return m_nDpi; }

    // The stop sequence. The frame runs it with bWindowClosing when the window closes during
    // a run: the run then ends without its closing message, as there is no window left.
    void StopConversion(bool bWindowClosing = false);
    bool IsConverting() const { return m_bConverting != 0; }

    // How many tasks a run converts at once, as the person set it, kept in the registry
    // beside the output folder (VarnelloDlg.cpp); empty when not set, and the program
    // chooses. The next run takes a new setting.
    std::string TasksAtOnceSetting() const;
    void SetTasksAtOnceSetting(const std::string& setting);

    // ConversionTarget: what the engine reads and writes while it converts.
    int GetTaskCount() const override { return m_arrTasks.GetCount(); }
    ConvertTask GetTask(int nIndex) const override { return m_arrTasks.GetAt(nIndex); }
    void SetTask(int nIndex, const ConvertTask& task) override { m_arrTasks.SetAt(nIndex, task); }
    void InvalidateCells(int nFirstRow, int nLastRow, int nColumn, bool bErase) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // --- set-up and display of the current task (VarnelloDlg.cpp) ------------------------
    void InitControls();
    void InsertListColumns();
    // The display-scale steps of ApplyDpi (VarnelloDlg.cpp).
    void SetControlsDpi();
    void PlaceControls();
    void UsePageFontForDpi();
    void UpdateWindowTitle();
    void LoadOutputDir();
    void ResetOutputSettings();
    void EnableSettingCombos(BOOL bEnable);
    void ShowTaskSettings(int nIndex);
    void SelectTaskRow(int nRow);
    void RefreshTaskList();
    void HandleNavigationKey(UINT nKey);

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    HCURSOR OnQueryDragIcon();
    void OnDestroy();
    LRESULT OnGetCellInfo(WPARAM wParam, LPARAM lParam);

    // --- task list operations (TaskListOps.cpp) -----------------------------------------
    void OnAddTask();
    // Adds each readable file as a task, in the given order; names the others in one message.
    void AddSourceFiles(const std::vector<CString>& paths);
    // The file's media length; false (and no task should be made) when it cannot be read.
    bool ReadSourceLength(const CString& strPath, double& dLength);
    // Lengths not read during the add itself: one at a time by the source reader, or all
    // before a run.
    bool ReadNextPendingLength();
    void ReadAllPendingLengths();
    // The row's length has been read (dLength > 0) or found unreadable (the row leaves).
    void ApplySourceLength(const CString& strPath, double dLength);
    // Asks the source reader for the first pending length, unless a question is out already.
    void AskNextLength();
    // Restored rows whose source has gone are marked as the reader finds them.
    void AskWhichSourcesExist();
    LRESULT OnSourceAnswer(WPARAM wParam, LPARAM lParam);
    SourceReader* Reader();
    // Names the files left out because their length could not be read, in one message.
    void ReportUnreadableFiles();
    void OnStartClicked();
    // The list kept across runs (SavedList.cpp): written after every change, read at start.
    void SaveTaskList();
    LRESULT OnSaveTaskList(WPARAM wParam, LPARAM lParam);
    void WriteTaskList();
    void RestoreTaskList();
    // Files and folders dropped from Explorer or a file manager (DropFiles.cpp).
    void OnDropFiles(HDROP hDropInfo);
    void OnRemoveTask();
    void OnRemoveAllTasks();
    void OnTaskListClick(NMHDR* pNMHDR, LRESULT* pResult);
    // A letter typed in the list: the list selects the row answered, which becomes current.
    void OnTaskListFind(NMHDR* pNMHDR, LRESULT* pResult);
    int FindAndShowTask(const std::string& strTyped, int nStart);

    // --- output settings panel (SettingsPanel.cpp) --------------------------------------
    void LoadProfiles();
    void OnSettingChanged(UINT nID);
    void OnTitleChanged();
    void OnProfileChanged();
    void OnBrowseOutputDir();
    void OnHelpContents();

    // --- the conversion run (ConversionRun.cpp) -----------------------------------------
    void OnStartConvert();
    // The steps of a run, in order: false from OutputFolderIsReady means nothing runs.
    bool OutputFolderIsReady();
    void BeginRun();
    void EndRun();
    void AnnounceRunEnd();
    void OnStopConvert();
    void ResetTaskProgress();
    // RunEvents: what the run's queue asks of the page, and tells it.
    bool StartIntermediateStep(int nIndex) override;
    std::string IntermediateStepFault(int nIndex) override;
    void EndIntermediateStep(int nIndex) override;
    CString EncoderCommandLine(int nIndex, const std::string& strOutputPath) override;
    void RemoveRunFile(const std::string& strPath) override;
    void TaskEnded(int nIndex, TaskResult result, const std::string& strOutputPath) override;
    // Deletion of the run's own files without waiting for a process that still holds them.
    void RemoveRunFile(const CString& strPath);
    void RemoveIntermediateFile(const ConvertTask& task);
    void OnTimer(UINT_PTR nIDEvent);
    void SetOutputFile(const std::string& strPath);
    void AddToiTunes();
    CString AppFolder() const;

    // --- intermediate step events (IntermediateStep.cpp) ---------------------------------
    void OnIntermediateProgress(double dPosition, double dTotal);
    void OnIntermediateFinished();

    // --- preview and trimming (Preview.cpp) ---------------------------------------------
    LRESULT OnRangeChanged(WPARAM wParam, LPARAM lParam);
    void PreviewAt(const CString& strPath, double t);
    void OnPreviewPlay();
    void OnPreviewStop();
    void OnPreviewEvent(double dValue);

    int SelectedRow() const;
    bool IsValidTask(int nIndex) const { return nIndex >= 0 && nIndex < GetTaskCount(); }

    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()

    PageContext m_context;
    int m_nDpi = 96;     // the display scale the page is laid out for
    CFont m_fontPage;    // the page's font made for m_nDpi; none while the template's fits
    CTaskArray m_arrTasks;
    int m_nCurrentTask = -1;
    CBitmap m_bmpBackground;
    int m_bConverting = 0;
    CString m_strOutputDir;
    char m_szOutputFile[MAX_PATH] = {}; // the output of the task last started or handed on
    ConversionQueue m_queue{*this, *this};
    LateDeletes m_lateDeletes;
    static constexpr UINT_PTR kLateDeleteTimer = 0x5644;
    static constexpr UINT kLateDeleteRetryMs = 250;
    int m_bIgnoreRangeChange = 0;
    int m_bIgnoreTitleChange = 0;
    int m_bIgnoreProfileChange = 0;
    int m_bPreviewBusy = 0;
    bool m_bWindowClosing = false;
    std::string m_strSavedList; // the saved list's text as last written or read
    std::vector<std::string> m_profileTitles; // the profile combo's items, by index
    bool m_bSavePending = false;
    std::vector<std::string> m_unreadableFiles; // left out of the current add, not yet named
    std::unique_ptr<SourceReader> m_sourceReader; // made when first needed
    bool m_bLengthAsked = false; // a length question is with the reader

    // Controls, in the order the page declares them.
    CFadePicture m_picWelcome;        // 1058
    CStatic m_lblProfile;             // 1036
    CComboBox m_cmbProfile;           // 1024
    CButton m_chkShutdown;            // 1059
    CTaskListCtrl m_lstTasks;         // 1011
    CStatic m_lblTitle;               // 1035
    CStatic m_lblVideoSize;           // 1043
    CStatic m_lblVideoCodec;          // 1037
    CStatic m_lblVideoBitrate;        // 1044
    CStatic m_lblVideoAspect;         // 1039
    CStatic m_lblSampleRate;          // 1041
    CStatic m_lblOutputDir;           // 1034
    CStatic m_lblFrameRate;           // 1038
    CStatic m_lblChannels;            // 1045
    CStatic m_lblVolume;              // 1042
    CStatic m_lblAudioBitrate;        // 1040
    CEdit m_edtTitle;                 // 1023
    CEdit m_edtOutputDir;             // 1021
    CButton m_grpSettings;            // 1052
    CComboBox m_cmbVideoSize;         // 1026
    CComboBox m_cmbVideoCodec;        // 1025
    CComboBox m_cmbVideoBitrate;      // 1028
    CComboBox m_cmbSampleRate;        // 1032
    CComboBox m_cmbChannels;          // 1031
    CComboBox m_cmbVolume;            // 1033
    CComboBox m_cmbFrameRate;         // 1027
    CComboBox m_cmbAudioBitrate;      // 1030
    CComboBox m_cmbVideoAspect;       // 1029
    CSkinButton m_btnPreviewStop;     // 1055
    CSkinButton m_btnPreviewPlay;     // 1054
    CSkinButton m_btnStopConvert;     // 1049
    CSkinButton m_btnStartConvert;    // 1048
    CSkinButton m_btnRemoveTask;      // 1013
    CSkinButton m_btnHelp;            // 1016
    CButton m_btnBrowse;              // 1022
    CSkinButton m_btnRemoveAll;       // 1014
    CSkinButton m_btnAddTask;         // 1012
    CRangeSlider m_sldRange;          // 1047
    CVideoEdit m_videoEdit;           // 1053

    HICON m_hIcon = nullptr;
};

// Set while Play runs the trimmed range; a frame preview clears it.
extern int g_bPlayingRange;
