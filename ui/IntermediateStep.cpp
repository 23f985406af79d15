// The intermediate step of a RealMedia task, done by the video control: the page hands its
// control and its tasks to the step and forwards the control's two conversion events.
#include "ui/VarnelloDlg.h"

#include "engine/UserFolders.h"
#include "videocontrol/IntermediateTranscode.h"

void CVarnelloDlg::TranscodeToIntermediate(int nIndex)
{
    // In the user's data folder, not beside the program, whose folder may be read-only.
    ::TranscodeToIntermediate(m_videoEdit, *this, UserDataFolder().c_str(), nIndex);
}

void CVarnelloDlg::OnIntermediateProgress(double dPosition, double dTotal)
{
    ::OnIntermediateProgress(m_videoEdit, *this, dPosition, dTotal);
}

void CVarnelloDlg::OnIntermediateFinished()
{
    ::OnIntermediateFinished(m_videoEdit, *this);
}
