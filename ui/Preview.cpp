// Trimming with the range slider and previewing in the video control.
#include "ui/VarnelloDlg.h"

LRESULT CVarnelloDlg::OnRangeChanged(WPARAM wParam, LPARAM lParam)
{
    const int nRow = SelectedRow();
    if (m_bConverting == 1 || !IsValidTask(nRow) || m_bIgnoreRangeChange == 1)
        return 0;
    ConvertTask task = m_arrTasks.GetAt(nRow);
    double dLeft = 0, dRight = 0;
    m_sldRange.GetSelection(dLeft, dRight);
    task.dStartTime = dLeft;
    task.dEndTime = dRight;
    m_arrTasks.SetAt(nRow, task);
    SaveTaskList();

    InvalidateCells(m_nCurrentTask, nRow, 1, false);
    InvalidateCells(m_nCurrentTask, nRow, 2, false);

    if (lParam == 0)
        return 0;
    if (wParam == 0 || wParam == 2)
        PreviewAt(task.strSourcePath, task.dStartTime);
    else if (wParam == 1)
        PreviewAt(task.strSourcePath, task.dEndTime);
    return 0;
}

void CVarnelloDlg::PreviewAt(const CString& strPath, double t)
{
    if (m_bPreviewBusy == 1)
        return;
    m_bPreviewBusy = 1;
    g_bPlayingRange = 0;
    const double dLength = m_videoEdit.GetDuration(strPath);
    m_videoEdit.ClearClips();
    m_videoEdit.SetColorDepth(24);
    if (t > dLength)
        m_videoEdit.AddVideoClip(strPath, 1.0, 1.0, 0);
    else
        m_videoEdit.AddVideoClip(strPath, t, t + 1.0, 0);
    m_videoEdit.PlayPreview();
}

void CVarnelloDlg::OnPreviewPlay()
{
    const int nRow = SelectedRow();
    if (m_bConverting == 1 || !IsValidTask(nRow))
        return;
    g_bPlayingRange = 1;
    const ConvertTask task = m_arrTasks.GetAt(nRow);
    m_videoEdit.GetDuration(task.strSourcePath);
    m_videoEdit.ClearClips();
    m_videoEdit.SetColorDepth(24);
    m_videoEdit.AddVideoClip(task.strSourcePath, task.dStartTime, task.dEndTime - task.dStartTime, 0);
    m_videoEdit.AddAudioClip(task.strSourcePath, task.dStartTime, task.dEndTime - task.dStartTime);
    m_videoEdit.PlayPreview();
}

void CVarnelloDlg::OnPreviewStop()
{
    if (m_bConverting == 1)
        return;
    if (IsValidTask(SelectedRow())) {
        m_videoEdit.StopPreview();
        g_bPlayingRange = 0;
    }
}

void CVarnelloDlg::OnPreviewEvent(double)
{
    if (g_bPlayingRange == 0)
        m_videoEdit.StopPreview();
    m_bPreviewBusy = 0;
}
