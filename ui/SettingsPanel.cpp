// The output settings panel: the nine settings, the title, the profile, the output folder
// and the help page.
#include "ui/VarnelloDlg.h"

#include <shlobj.h>

#include <cstring>
#include <vector>

#include "framework/TextBytes.h"
#include "res/resource.h"
#include "ui/HelpInBrowser.h"
#include "ui/ProfileCombo.h"

namespace {

// A title is kept to what the edit's classic 256-byte buffer held.
constexpr std::size_t kMaxTitleBytes = 255;

} // namespace

void CVarnelloDlg::LoadProfiles()
{
    ::LoadProfiles(m_cmbProfile, AppFolder());
    // The saved list names each task's profile by its title too, so that a changed profile
    // file gives restored tasks the profile they had, wherever it now stands.
    m_profileTitles.clear();
    for (int i = 0; i < m_cmbProfile.GetCount(); ++i) {
        CString strTitle;
        m_cmbProfile.GetLBText(i, strTitle);
        m_profileTitles.push_back(strTitle.str());
    }
}

void CVarnelloDlg::OnSettingChanged(UINT nID)
{
    if (m_bConverting == 1 || !IsValidTask(m_nCurrentTask))
        return;
    CComboBox* pCombo = static_cast<CComboBox*>(GetDlgItem(static_cast<int>(nID)));
    if (!pCombo)
        return;
    const int nSelection = pCombo->GetCurSel();
    ConvertTask task = m_arrTasks.GetAt(m_nCurrentTask);
    switch (nID) {
    case IDC_VIDEO_CODEC: task.nVideoCodec = nSelection; break;
    case IDC_VIDEO_SIZE: task.nVideoSize = nSelection; break;
    case IDC_FRAME_RATE: task.nFrameRate = nSelection; break;
    case IDC_VIDEO_BITRATE: task.nVideoBitrate = nSelection; break;
    case IDC_VIDEO_ASPECT: task.nVideoAspect = nSelection; break;
    case IDC_AUDIO_BITRATE: task.nAudioBitrate = nSelection; break;
    case IDC_CHANNELS: task.nChannels = nSelection; break;
    case IDC_SAMPLE_RATE: task.nSampleRate = nSelection; break;
    case IDC_VOLUME: task.nVolume = nSelection; break;
    default: return;
    }
    m_arrTasks.SetAt(m_nCurrentTask, task);
    SaveTaskList();
}

void CVarnelloDlg::OnTitleChanged()
{
    if (m_bIgnoreTitleChange == 1 || m_bConverting == 1 || !IsValidTask(m_nCurrentTask))
        return;
    ConvertTask task = m_arrTasks.GetAt(m_nCurrentTask);
    // At most 255 bytes, cut between characters: a fixed-size read could end in the middle
    // of a multi-byte character and leave a broken title and file name.
    CString strText;
    m_edtTitle.GetWindowText(strText);
    const CString strTitle = textbytes::CutToFit(strText.str(), kMaxTitleBytes);
    task.strTitle = strTitle;
    task.strOutputName = strTitle;
    m_arrTasks.SetAt(m_nCurrentTask, task);
    SaveTaskList();
    InvalidateCells(m_nCurrentTask, m_nCurrentTask, 3, false);
}

void CVarnelloDlg::OnProfileChanged()
{
    if (m_bIgnoreProfileChange == 1)
        return;
    const int nProfile = m_cmbProfile.GetCurSel();
    EnableSettingCombos(nProfile == 0 ? TRUE : FALSE);
    if (!IsValidTask(m_nCurrentTask))
        return;
    ConvertTask task = m_arrTasks.GetAt(m_nCurrentTask);
    task.nProfile = nProfile;
    m_arrTasks.SetAt(m_nCurrentTask, task);
    SaveTaskList();
}

void CVarnelloDlg::OnBrowseOutputDir()
{
    if (m_bConverting == 1)
        return;
    std::vector<char> displayName(261, '\0');
    std::vector<char> path(102400, '\0');
    BROWSEINFOA info{};
    info.hwndOwner = m_hWnd;
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName.data();
    info.lpszTitle = "";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE pidl = AfxSeamBrowseForFolder(info);
    if (!pidl)
        return;
    SHGetPathFromIDListA(pidl, path.data());
    CoTaskMemFree(pidl);
    m_edtOutputDir.SetWindowText(path.data());
    if (path[0] == '\0')
        return;
    HKEY hKey = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Varnello", &hKey) == ERROR_SUCCESS) {
        RegSetValueA(hKey, "destination", REG_SZ, path.data(), static_cast<DWORD>(std::strlen(path.data())));
        RegCloseKey(hKey);
    }
}

void CVarnelloDlg::OnHelpContents()
{
    // Under Wine a prefix without an HTML engine may have no program for .html files.
    if (RunningUnderWine() && OpenHelpPageInDesktopBrowser(m_hWnd, m_context.strProgramDir))
        return;
    char szPath[1000] = {};
    std::strncpy(szPath, m_context.strProgramDir, sizeof(szPath) - 1);
    std::strncat(szPath, "help/help.html", sizeof(szPath) - std::strlen(szPath) - 1);
    AfxSeamShellExecute(m_hWnd, nullptr, szPath, nullptr, nullptr, SW_SHOWMAXIMIZED);
}
