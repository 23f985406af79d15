// The intermediate step of a RealMedia task, done by the video control: the page hands its
// control and its tasks to the step and forwards the control's two conversion events.
#include "ui/VarnelloDlg.h"

#include "app/VarnelloApp.h"
#include "videoedit/IntermediateTranscode.h"

void CVarnelloDlg::TranscodeToIntermediate(int nIndex)
{
    ::TranscodeToIntermediate(m_videoEdit, *this, g_szModuleDir, nIndex);
}

void CVarnelloDlg::OnIntermediateProgress(double dPosition, double dTotal)
{
    ::OnIntermediateProgress(m_videoEdit, *this, dPosition, dTotal);
}

void CVarnelloDlg::OnIntermediateFinished()
{
    ::OnIntermediateFinished(m_videoEdit, *this);
}
