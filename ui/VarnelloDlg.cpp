// The main page: binding and one-time set-up of its controls, the display of the current
// task, painting, keyboard handling, the message map and the event sink map.
#include "ui/VarnelloDlg.h"

#include <cstring>

#include "engine/TaskCell.h"
#include "framework/Dpi.h"
#include "framework/DpiScale.h"
#include "framework/TextBytes.h"
#include "engine/UserFolders.h"
#include "res/resource.h"
#include "ui/TaskNavigation.h"
#include "VarnelloVersion.h"

namespace {

// The page's look: caption colours of the icon buttons.
constexpr COLORREF kCaptionNormal = RGB(49, 66, 97);
constexpr COLORREF kCaptionHover = RGB(20, 20, 20);
constexpr COLORREF kTransparentGreen = RGB(0, 255, 0);
constexpr UINT kAboutCommand = 0x10;
// Template 102 asks for Tahoma 8 point; at other scales the page makes the same font anew.
constexpr int kPageFontPoints = 8;

// Reads the default value of a key under HKEY_CURRENT_USER, cut to 255 bytes (between
// characters) so that it fits the program's 256-byte strings whatever the registry holds;
// false if unreadable.
bool ReadUserRegistryText(const char* pszPath, CString& strValue)
{
    LONG cbValue = 0;
    if (RegQueryValueA(HKEY_CURRENT_USER, pszPath, nullptr, &cbValue) != ERROR_SUCCESS)
        return false;
    std::vector<char> buffer(static_cast<size_t>(cbValue > 0 ? cbValue : 1) + 1, '\0');
    LONG cbBuffer = static_cast<LONG>(buffer.size());
    if (RegQueryValueA(HKEY_CURRENT_USER, pszPath, buffer.data(), &cbBuffer) != ERROR_SUCCESS)
        return false;
    buffer.back() = '\0';
    strValue = textbytes::CutToFit(buffer.data(), 255);
    return true;
}

void SkinCall(COleDispatchDriver* pSkin, DISPID dispid, HWND hWnd, long nFlag)
{
    if (!pSkin)
        return;
    pSkin->InvokeHelper(dispid, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_I4 VTS_I4,
                        static_cast<long>(reinterpret_cast<LONG_PTR>(hWnd)), nFlag);
}

struct ControlPlace {
    int nID;
    int x, y, cx, cy;
};

// Where each control stands, in pixels of the page's client area at 96 dpi (each measure is
// scaled at other scales). The settings' left column of combos is wide enough for "Same As
// Input File" in Tahoma, and the right column moves over to make room.
const ControlPlace kControlPlaces[] = {
    {IDC_FADE_PICTURE, 10, 212, 264, 200}, {IDC_PROFILE_LABEL, 288, 255, 75, 15},
    {IDC_PROFILE, 365, 252, 280, 20},      {IDC_SHUTDOWN, 288, 407, 358, 15},
    {IDC_TASK_LIST, 10, 13, 605, 160},     {IDC_TITLE_LABEL, 288, 230, 115, 15},
    {IDC_VIDEO_SIZE_LABEL, 493, 280, 72, 15}, {IDC_VIDEO_CODEC_LABEL, 288, 280, 75, 15},
    {IDC_VIDEO_BITRATE_LABEL, 493, 305, 72, 15}, {IDC_VIDEO_ASPECT_LABEL, 288, 330, 75, 15},
    {IDC_SAMPLE_RATE_LABEL, 288, 380, 75, 15}, {IDC_OUTPUT_DIR_LABEL, 10, 182, 100, 15},
    {IDC_FRAME_RATE_LABEL, 288, 305, 75, 15}, {IDC_CHANNELS_LABEL, 493, 355, 72, 15},
    {IDC_VOLUME_LABEL, 493, 380, 72, 15},  {IDC_AUDIO_BITRATE_LABEL, 288, 355, 75, 15},
    {IDC_TITLE, 405, 226, 240, 20},        {IDC_OUTPUT_DIR, 115, 178, 440, 20},
    {IDC_SETTINGS_GROUP, 280, 206, 372, 225}, {IDC_VIDEO_SIZE, 565, 278, 80, 20},
    {IDC_VIDEO_CODEC, 365, 278, 122, 20},  {IDC_VIDEO_BITRATE, 565, 303, 80, 20},
    {IDC_SAMPLE_RATE, 365, 378, 122, 20},  {IDC_CHANNELS, 565, 353, 80, 20},
    {IDC_VOLUME, 565, 378, 80, 20},       {IDC_FRAME_RATE, 365, 303, 122, 20},
    {IDC_AUDIO_BITRATE, 365, 353, 122, 20}, {IDC_VIDEO_ASPECT, 365, 328, 122, 20},
    {IDC_PREVIEW_STOP, 30, 413, 19, 19},   {IDC_PREVIEW_PLAY, 10, 413, 19, 19},
    {IDC_STOP_CONVERT, 570, 435, 95, 75},  {IDC_START_CONVERT, 570, 435, 95, 75},
    {IDC_REMOVE_TASK, 620, 60, 32, 32},    {IDC_HELP_CONTENTS, 155, 455, 70, 30},
    {IDC_BROWSE, 557, 178, 60, 20},        {IDC_REMOVE_ALL, 620, 95, 32, 32},
    {IDC_ADD_TASK, 620, 25, 32, 32},       {IDC_RANGE_SLIDER, 51, 415, 222, 18},
    {IDC_VIDEO_EDIT, 10, 212, 264, 200},
};

struct ListColumn {
    const char* pszHeading;
    int nFormat;
    int nWidth; // at 96 dpi
};

const ListColumn kListColumns[] = {
    {"Source", LVCFMT_LEFT, 120},  {"Begin Time", LVCFMT_CENTER, 75}, {"End Time", LVCFMT_CENTER, 70},
    {"Output", LVCFMT_LEFT, 100},  {"Progress", LVCFMT_LEFT, 245},
};

} // namespace

int g_bPlayingRange = 0;

BEGIN_MESSAGE_MAP(CVarnelloDlg, CPropertyPage)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
    ON_WM_DROPFILES()
    ON_BN_CLICKED(IDC_ADD_TASK, OnAddTask)
    ON_BN_CLICKED(IDC_REMOVE_TASK, OnRemoveTask)
    ON_BN_CLICKED(IDC_REMOVE_ALL, OnRemoveAllTasks)
    ON_NOTIFY(NM_CLICK, IDC_TASK_LIST, OnTaskListClick)
    ON_NOTIFY(NM_RCLICK, IDC_TASK_LIST, OnTaskListClick)
    ON_NOTIFY(NM_DBLCLK, IDC_TASK_LIST, OnTaskListClick)
    ON_NOTIFY(NM_RDBLCLK, IDC_TASK_LIST, OnTaskListClick)
    ON_NOTIFY(LVN_ODFINDITEMA, IDC_TASK_LIST, OnTaskListFind)
    ON_NOTIFY(LVN_ODFINDITEMW, IDC_TASK_LIST, OnTaskListFind)
    ON_BN_CLICKED(IDC_START_CONVERT, OnStartClicked)
    ON_BN_CLICKED(IDC_STOP_CONVERT, OnStopConvert)
    ON_BN_CLICKED(IDC_BROWSE, OnBrowseOutputDir)
    ON_BN_CLICKED(IDC_HELP_CONTENTS, OnHelpContents)
    ON_COMMAND(ID_HELP, OnHelpContents)
    ON_EN_CHANGE(IDC_TITLE, OnTitleChanged)
    ON_CBN_SELCHANGE(IDC_PROFILE, OnProfileChanged)
    ON_CONTROL_RANGE(CBN_SELCHANGE, IDC_VIDEO_CODEC, IDC_VOLUME, OnSettingChanged)
    ON_BN_CLICKED(IDC_PREVIEW_PLAY, OnPreviewPlay)
    ON_BN_CLICKED(IDC_PREVIEW_STOP, OnPreviewStop)
    ON_REGISTERED_MESSAGE(RANGE_CHANGED, OnRangeChanged)
    ON_MESSAGE(WM_LIST_GETCELLINFO, OnGetCellInfo)
    ON_MESSAGE(WM_SAVE_TASK_LIST, OnSaveTaskList)
    ON_MESSAGE(WM_SOURCE_ANSWER, OnSourceAnswer)
    ON_WM_TIMER()
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CVarnelloDlg, CPropertyPage)
    ON_EVENT(CVarnelloDlg, IDC_VIDEO_EDIT, 1, OnIntermediateFinished, VTS_NONE)
    ON_EVENT(CVarnelloDlg, IDC_VIDEO_EDIT, 2, OnIntermediateProgress, VTS_R8 VTS_R8)
    ON_EVENT(CVarnelloDlg, IDC_VIDEO_EDIT, 4, OnPreviewEvent, VTS_R8)
END_EVENTSINK_MAP()

CVarnelloDlg::CVarnelloDlg() : CPropertyPage(IDD_MAINPAGE)
{
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

CVarnelloDlg::~CVarnelloDlg()
{
    g_pConversionTarget = g_pConversionTarget == this ? nullptr : g_pConversionTarget;
}

void CVarnelloDlg::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROFILE_LABEL, m_lblProfile);
    DDX_Control(pDX, IDC_PROFILE, m_cmbProfile);
    DDX_Control(pDX, IDC_SHUTDOWN, m_chkShutdown);
    DDX_Control(pDX, IDC_TASK_LIST, m_lstTasks);
    DDX_Control(pDX, IDC_TITLE_LABEL, m_lblTitle);
    DDX_Control(pDX, IDC_VIDEO_SIZE_LABEL, m_lblVideoSize);
    DDX_Control(pDX, IDC_VIDEO_CODEC_LABEL, m_lblVideoCodec);
    DDX_Control(pDX, IDC_VIDEO_BITRATE_LABEL, m_lblVideoBitrate);
    DDX_Control(pDX, IDC_VIDEO_ASPECT_LABEL, m_lblVideoAspect);
    DDX_Control(pDX, IDC_SAMPLE_RATE_LABEL, m_lblSampleRate);
    DDX_Control(pDX, IDC_OUTPUT_DIR_LABEL, m_lblOutputDir);
    DDX_Control(pDX, IDC_FRAME_RATE_LABEL, m_lblFrameRate);
    DDX_Control(pDX, IDC_CHANNELS_LABEL, m_lblChannels);
    DDX_Control(pDX, IDC_VOLUME_LABEL, m_lblVolume);
    DDX_Control(pDX, IDC_AUDIO_BITRATE_LABEL, m_lblAudioBitrate);
    DDX_Control(pDX, IDC_TITLE, m_edtTitle);
    DDX_Control(pDX, IDC_OUTPUT_DIR, m_edtOutputDir);
    DDX_Control(pDX, IDC_SETTINGS_GROUP, m_grpSettings);
    DDX_Control(pDX, IDC_VIDEO_SIZE, m_cmbVideoSize);
    DDX_Control(pDX, IDC_VIDEO_CODEC, m_cmbVideoCodec);
    DDX_Control(pDX, IDC_VIDEO_BITRATE, m_cmbVideoBitrate);
    DDX_Control(pDX, IDC_SAMPLE_RATE, m_cmbSampleRate);
    DDX_Control(pDX, IDC_CHANNELS, m_cmbChannels);
    DDX_Control(pDX, IDC_VOLUME, m_cmbVolume);
    DDX_Control(pDX, IDC_FRAME_RATE, m_cmbFrameRate);
    DDX_Control(pDX, IDC_AUDIO_BITRATE, m_cmbAudioBitrate);
    DDX_Control(pDX, IDC_VIDEO_ASPECT, m_cmbVideoAspect);
    DDX_Control(pDX, IDC_PREVIEW_STOP, m_btnPreviewStop);
    DDX_Control(pDX, IDC_PREVIEW_PLAY, m_btnPreviewPlay);
    DDX_Control(pDX, IDC_STOP_CONVERT, m_btnStopConvert);
    DDX_Control(pDX, IDC_START_CONVERT, m_btnStartConvert);
    DDX_Control(pDX, IDC_REMOVE_TASK, m_btnRemoveTask);
    DDX_Control(pDX, IDC_HELP_CONTENTS, m_btnHelp);
    DDX_Control(pDX, IDC_BROWSE, m_btnBrowse);
    DDX_Control(pDX, IDC_REMOVE_ALL, m_btnRemoveAll);
    DDX_Control(pDX, IDC_ADD_TASK, m_btnAddTask);
    DDX_Control(pDX, IDC_RANGE_SLIDER, m_sldRange);
    DDX_Control(pDX, IDC_FADE_PICTURE, m_picWelcome);
    DDX_Control(pDX, IDC_VIDEO_EDIT, m_videoEdit);
}

BOOL CVarnelloDlg::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    g_pConversionTarget = this;

    if (CMenu* pSysMenu = GetSystemMenu(FALSE)) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, kAboutCommand, strAboutMenu);
        }
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    InitControls();
    LoadOutputDir();
    m_bmpBackground.LoadBitmap(IDB_PAGE_BACKGROUND);
    UpdateWindowTitle();
    RestoreTaskList();
    // Files and folders dropped on the page (or any of its controls) are added like chosen ones.
    DragAcceptFiles(m_hWnd, TRUE);
    return TRUE;
}

void CVarnelloDlg::InitControls()
{
    for (CComboBox* pCombo : {&m_cmbVideoCodec, &m_cmbFrameRate, &m_cmbVideoAspect, &m_cmbVideoBitrate,
                              &m_cmbSampleRate, &m_cmbAudioBitrate, &m_cmbVideoSize, &m_cmbChannels,
                              &m_cmbVolume})
        SkinCall(m_context.pSkin, 5, pCombo->m_hWnd, 1);
    for (CSkinButton* pButton : {&m_btnAddTask, &m_btnRemoveTask, &m_btnRemoveAll, &m_btnStartConvert,
                                 &m_btnStopConvert, &m_btnPreviewPlay, &m_btnPreviewStop, &m_btnHelp})
        SkinCall(m_context.pSkin, 6, pButton->m_hWnd, 1);

    // The page's scale is known before any image is loaded, so each is loaded once, at it.
    m_nDpi = dpi::ForWindow(m_hWnd);
    SetControlsDpi();

    // The title is typed in any language; the output folder's edit is only ever written by
    // Browse, so it stays as it is.
    m_edtTitle.UseUnicodeMessages();

    InsertListColumns();
    m_lstTasks.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, LVS_EX_FULLROWSELECT);
    m_lstTasks.SetExtendedStyle(LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);

    struct IconButton {
        CSkinButton* pButton;
        UINT nIconHover;
        UINT nIconNormal;
    };
    const IconButton iconButtons[] = {
        {&m_btnAddTask, IDI_ADD_TASK_HOVER, IDI_ADD_TASK},
        {&m_btnRemoveTask, IDI_REMOVE_TASK_HOVER, IDI_REMOVE_TASK},
        {&m_btnRemoveAll, IDI_REMOVE_ALL_HOVER, IDI_REMOVE_ALL},
        {&m_btnStartConvert, IDI_START_CONVERT_HOVER, IDI_START_CONVERT},
        {&m_btnStopConvert, IDI_STOP_CONVERT_HOVER, IDI_STOP_CONVERT},
    };
    for (const IconButton& button : iconButtons) {
        button.pButton->SetIcons(button.nIconHover, button.nIconNormal);
        button.pButton->DrawTransparent(FALSE);
        button.pButton->SetDrawBorder(FALSE, TRUE);
        button.pButton->SetAlign(1, TRUE);
        button.pButton->SetColor(3, kCaptionNormal, TRUE);
        button.pButton->SetColor(1, kCaptionHover, TRUE);
        button.pButton->SetColor(5, kCaptionNormal, TRUE);
        button.pButton->SetColor(0, kCaptionNormal, TRUE);
    }

    struct BitmapButton {
        CSkinButton* pButton;
        UINT nBitmapHover;
        UINT nBitmapNormal;
    };
    const BitmapButton bitmapButtons[] = {
        {&m_btnHelp, IDB_HELP, IDB_HELP},
        {&m_btnPreviewPlay, IDB_PREVIEW_PLAY_HOVER, IDB_PREVIEW_PLAY},
        {&m_btnPreviewStop, IDB_PREVIEW_STOP_HOVER, IDB_PREVIEW_STOP},
    };
    for (const BitmapButton& button : bitmapButtons) {
        button.pButton->SetBitmaps(button.nBitmapHover, kTransparentGreen, button.nBitmapNormal, kTransparentGreen);
        button.pButton->DrawTransparent(FALSE);
        button.pButton->SetDrawBorder(FALSE, TRUE);
    }
    m_btnHelp.SetDrawBorder(TRUE, TRUE);

    m_btnAddTask.SetTooltipText("Add a video to converting task");
    m_btnRemoveTask.SetTooltipText("Remove selected video");
    m_btnRemoveAll.SetTooltipText("Remove all videos");
    m_btnHelp.SetTooltipText("Contents");
    m_btnPreviewPlay.SetTooltipText("Preview selected videos");
    m_btnPreviewStop.SetTooltipText("Stop preview");
    m_btnStartConvert.SetTooltipText("Start Converting");
    m_btnStopConvert.SetTooltipText("Stop Converting");

    LoadProfiles();
    m_edtOutputDir.EnableWindow(FALSE);
    ResetOutputSettings();
    m_btnStopConvert.ShowWindow(SW_HIDE);
    m_videoEdit.ShowWindow(SW_HIDE);
    m_picWelcome.StartFade(IDB_WELCOME, 100);

    UsePageFontForDpi();
    PlaceControls();
}

void CVarnelloDlg::InsertListColumns()
{
    for (int i = 0; i < 5; ++i)
        m_lstTasks.InsertColumn(i, kListColumns[i].pszHeading, kListColumns[i].nFormat,
                                dpiscale::Scale(kListColumns[i].nWidth, m_nDpi), i);
}

void CVarnelloDlg::ApplyDpi(int dpi)
{
    dpi = dpiscale::Usable(dpi);
    if (dpi == m_nDpi)
        return;
    const int nOldDpi = m_nDpi;
    m_nDpi = dpi;
    UsePageFontForDpi();
    PlaceControls();
    // The columns keep the widths the user gave them, in the new scale.
    for (int i = 0; i < 5; ++i)
        m_lstTasks.SetColumnWidth(i, ::MulDiv(m_lstTasks.GetColumnWidth(i), m_nDpi, nOldDpi));
    SetControlsDpi();
    // The page's background first, then each control: the slider and the skinned buttons
    // take their backdrop from the page's pixels at their next paint, which must no longer
    // show the controls as they stood before.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CVarnelloDlg::SetControlsDpi()
{
    for (CSkinButton* pButton : {&m_btnAddTask, &m_btnRemoveTask, &m_btnRemoveAll, &m_btnStartConvert,
                                 &m_btnStopConvert, &m_btnPreviewPlay, &m_btnPreviewStop, &m_btnHelp})
        pButton->SetDpi(m_nDpi);
    m_sldRange.SetDpi(m_nDpi);
    m_picWelcome.SetDpi(m_nDpi);
}

void CVarnelloDlg::PlaceControls()
{
    for (const ControlPlace& place : kControlPlaces) {
        const dpiscale::Box box = dpiscale::ScaleBox({place.x, place.y, place.cx, place.cy}, m_nDpi);
        if (CWnd* pControl = GetDlgItem(place.nID))
            pControl->MoveWindow(box.x, box.y, box.cx, box.cy, TRUE);
    }
}

void CVarnelloDlg::UsePageFontForDpi()
{
    LOGFONTA lf{};
    const HFONT hCurrent = GetFont();
    if (!hCurrent || !::GetObjectA(hCurrent, sizeof(lf), &lf))
        return;
    const int nHeight = dpiscale::FontHeight(kPageFontPoints, m_nDpi);
    // The dialog manager made the template's font for the screen the page was created on;
    // as long as that is the page's scale, its font is kept as it is.
    if (lf.lfHeight == nHeight)
        return;
    lf.lfHeight = nHeight;
    lf.lfWidth = 0;
    CFont font;
    if (!font.CreateFontIndirect(&lf))
        return;
    SetFont(font, FALSE);
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        ::SendMessageA(hChild, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(font)), TRUE);
    // The old font goes only now that no control draws with it any more.
    m_fontPage.Attach(font.Detach());
}

void CVarnelloDlg::UpdateWindowTitle()
{
    // The installer writes the version for the caption; a copied folder (the portable zip, a
    // build) has none, and then the program shows the version it was built as.
    CString strVersion;
    if (!ReadUserRegistryText("Software\\Varnello\\Version", strVersion))
        strVersion = VARNELLO_VERSION_TEXT;
    CString strTitle;
    strTitle.Format("%s V%s", static_cast<const char*>(m_context.strProductName), static_cast<const char*>(strVersion));
    if (m_context.pCaptionWindow)
        m_context.pCaptionWindow->SetWindowText(strTitle);
}

void CVarnelloDlg::LoadOutputDir()
{
    // With no folder chosen yet, the user's own Videos folder: one that exists on every
    // machine and that the user can write (a fixed drive letter may be missing or a DVD drive).
    if (!ReadUserRegistryText("Software\\Varnello\\destination", m_strOutputDir)) {
        const std::string videos = UserVideosFolder();
        m_strOutputDir = videos.empty() ? "D:\\" : videos.c_str();
    }
    m_edtOutputDir.SetWindowText(m_strOutputDir);
}

std::string CVarnelloDlg::TasksAtOnceSetting() const
{
    // Kept beside the output folder; "1" converts one task after another.
    CString strSetting;
    if (!ReadUserRegistryText("Software\\Varnello\\TasksAtOnce", strSetting))
        return std::string();
    return strSetting.str();
}

void CVarnelloDlg::SetTasksAtOnceSetting(const std::string& setting)
{
    HKEY hKey = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Varnello", &hKey) != ERROR_SUCCESS)
        return;
    RegSetValueA(hKey, "TasksAtOnce", REG_SZ, setting.c_str(), static_cast<DWORD>(setting.size()));
    RegCloseKey(hKey);
}

void CVarnelloDlg::ResetOutputSettings()
{
    m_cmbVideoCodec.SetCurSel(1);
    m_cmbVideoSize.SetCurSel(3);
    m_cmbVideoBitrate.SetCurSel(6);
    m_cmbFrameRate.SetCurSel(0);
    m_cmbVideoAspect.SetCurSel(0);
    m_cmbChannels.SetCurSel(1);
    m_cmbAudioBitrate.SetCurSel(2);
    m_cmbSampleRate.SetCurSel(0);
    m_cmbVolume.SetCurSel(1);

    m_bIgnoreTitleChange = 1;
    m_edtTitle.SetWindowText("");
    m_bIgnoreTitleChange = 0;

    m_cmbProfile.SetCurSel(0);
    EnableSettingCombos(TRUE);

    m_bIgnoreRangeChange = 1;
    m_sldRange.SetBounds(0.0, 120.0);
    m_sldRange.SetSelection(0.0, 120.0);
    m_bIgnoreRangeChange = 0;
}

void CVarnelloDlg::EnableSettingCombos(BOOL bEnable)
{
    for (CComboBox* pCombo : {&m_cmbVideoCodec, &m_cmbVideoSize, &m_cmbVideoBitrate, &m_cmbFrameRate,
                              &m_cmbVideoAspect, &m_cmbChannels, &m_cmbAudioBitrate, &m_cmbSampleRate,
                              &m_cmbVolume})
        pCombo->EnableWindow(bEnable);
}

void CVarnelloDlg::ShowTaskSettings(int nIndex)
{
    if (!IsValidTask(nIndex))
        return;
    const ConvertTask task = m_arrTasks.GetAt(nIndex);
    const double dLength = m_videoEdit.GetDuration(task.strSourcePath);

    m_bIgnoreRangeChange = 1;
    m_sldRange.SetBounds(0.0, dLength);
    m_sldRange.SetSelection(task.dStartTime, task.dEndTime);
    m_bIgnoreRangeChange = 0;

    SelectTaskRow(m_nCurrentTask);

    m_bIgnoreTitleChange = 1;
    m_edtTitle.SetWindowText(task.strTitle);
    m_bIgnoreTitleChange = 0;

    m_bIgnoreProfileChange = 1;
    m_cmbProfile.SetCurSel(task.nProfile);
    m_bIgnoreProfileChange = 0;

    if (task.nProfile != 0) {
        EnableSettingCombos(FALSE);
        return;
    }
    EnableSettingCombos(TRUE);
    m_cmbVideoCodec.SetCurSel(task.nVideoCodec);
    m_cmbVideoSize.SetCurSel(task.nVideoSize);
    m_cmbFrameRate.SetCurSel(task.nFrameRate);
    m_cmbVideoBitrate.SetCurSel(task.nVideoBitrate);
    m_cmbVideoAspect.SetCurSel(task.nVideoAspect);
    m_cmbAudioBitrate.SetCurSel(task.nAudioBitrate);
    m_cmbChannels.SetCurSel(task.nChannels);
    m_cmbSampleRate.SetCurSel(task.nSampleRate);
    m_cmbVolume.SetCurSel(task.nVolume);
}

void CVarnelloDlg::SelectTaskRow(int nRow)
{
    m_lstTasks.SetSelectionMark(nRow);
    m_lstTasks.SetItemState(nRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_lstTasks.SetFocus();
    m_lstTasks.EnsureVisible(nRow, TRUE);
}

void CVarnelloDlg::RefreshTaskList()
{
    m_lstTasks.SetItemCountEx(GetTaskCount(), 0);
    const int nMark = m_lstTasks.GetSelectionMark();
    m_lstTasks.RedrawItems(nMark, nMark);
}

void CVarnelloDlg::InvalidateCells(int nFirstRow, int nLastRow, int nColumn, bool bErase)
{
    m_lstTasks.InvalidateCells(nFirstRow, nLastRow, nColumn, bErase ? TRUE : FALSE);
}

int CVarnelloDlg::SelectedRow() const
{
    return m_lstTasks.GetSelectionMark();
}

void CVarnelloDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == kAboutCommand)
        return;
    CPropertyPage::OnSysCommand(nID, lParam);
}

void CVarnelloDlg::OnPaint()
{
    if (!IsIconic()) {
        CPropertyPage::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    CRect rect;
    GetClientRect(&rect);
    const int x = (rect.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rect.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

BOOL CVarnelloDlg::OnEraseBkgnd(CDC* pDC)
{
    BITMAP bm{};
    if (!m_bmpBackground.m_hObject || !m_bmpBackground.GetBitmap(&bm))
        return CPropertyPage::OnEraseBkgnd(pDC);
    CRect rect;
    GetClientRect(&rect);
    CDC dcMemory;
    dcMemory.CreateCompatibleDC(pDC);
    const HGDIOBJ hOld = dcMemory.SelectObject(&m_bmpBackground);
    pDC->StretchBlt(0, 0, rect.Width(), rect.Height(), &dcMemory, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    dcMemory.SelectObject(hOld);
    return TRUE;
}

HCURSOR CVarnelloDlg::OnQueryDragIcon()
{
    return reinterpret_cast<HCURSOR>(m_hIcon);
}

void CVarnelloDlg::OnDestroy()
{
    if (m_bSavePending)
        WriteTaskList(); // the posted request would find no window
    m_sourceReader.reset(); // its answers would find no window either
    CPropertyPage::OnDestroy();
    if (m_bConverting == 1)
        StopConversion(true);
}

LRESULT CVarnelloDlg::OnGetCellInfo(WPARAM, LPARAM lParam)
{
    auto* pInfo = reinterpret_cast<CellDisplayInfo*>(lParam);
    if (pInfo && IsValidTask(pInfo->nRow))
        FillTaskCellInfo(m_arrTasks.GetAt(pInfo->nRow), pInfo->nRow, pInfo->nColumn, *pInfo);
    return 0;
}

BOOL CVarnelloDlg::PreTranslateMessage(MSG* pMsg)
{
    if (tasknav::IsEnterOrEscapeKey(pMsg->message, pMsg->wParam))
        return TRUE;
    if (m_bConverting == 1 && pMsg->hwnd == m_lstTasks.m_hWnd) {
        // During a run the list stays on the current task: its keys are swallowed, and so are
        // the mouse presses with which it would select another row (a press that turns into
        // a drag reports no click, so nothing would put the selection back).
        switch (pMsg->message) {
        case WM_KEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            return TRUE;
        default:
            break;
        }
    }
    if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == m_lstTasks.m_hWnd) {
        if (tasknav::IsNavigationKey(static_cast<unsigned>(pMsg->wParam))) {
            HandleNavigationKey(static_cast<UINT>(pMsg->wParam));
            return TRUE;
        }
    }
    return CPropertyPage::PreTranslateMessage(pMsg);
}

void CVarnelloDlg::HandleNavigationKey(UINT nKey)
{
    const int nTarget = tasknav::TargetRow(nKey, m_lstTasks.GetSelectionMark(), GetTaskCount(),
                                           m_lstTasks.GetItemCount());
    if (nTarget >= 0) {
        m_nCurrentTask = nTarget;
        ShowTaskSettings(nTarget);
        SaveTaskList();
    }
    SelectTaskRow(m_nCurrentTask);
}
