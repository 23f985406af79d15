// The intermediate step of a RealMedia task, done by the video control: the page forwards
// the control's two conversion events to the step (the run starts it, ConversionRun.cpp).
#include "ui/VarnelloDlg.h"

#include "videocontrol/IntermediateTranscode.h"

void CVarnelloDlg::OnIntermediateProgress(double dPosition, double dTotal)
{
    ::OnIntermediateProgress(m_videoEdit, *this, dPosition, dTotal);
}

void CVarnelloDlg::OnIntermediateFinished()
{
    ::OnIntermediateFinished(m_videoEdit, *this);
}
