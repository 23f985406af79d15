#include "engine/RunSchedule.h"

#include <utility>

RunSchedule::RunSchedule(std::vector<bool> needsIntermediate, int limit)
    : m_needsIntermediate(std::move(needsIntermediate)),
      m_stages(m_needsIntermediate.size(), TaskStage::Waiting),
      m_results(m_needsIntermediate.size(), TaskResult::None),
      m_nLimit(limit < 1 ? 1 : limit)
{
}

bool RunSchedule::IsUnderWay(int nIndex) const
{
    const TaskStage stage = Stage(nIndex);
    return stage != TaskStage::Waiting && stage != TaskStage::Ended;
}

int RunSchedule::UnderWay() const
{
    int count = 0;
    for (int i = 0; i < Count(); ++i)
        count += IsUnderWay(i) ? 1 : 0;
    return count;
}

int RunSchedule::NextToStart() const
{
    if (m_bStopped || UnderWay() >= m_nLimit)
        return -1;
    int next = -1;
    bool stepRunning = false;
    for (int i = 0; i < Count(); ++i) {
        stepRunning = stepRunning || Stage(i) == TaskStage::Intermediate;
        if (next < 0 && Stage(i) == TaskStage::Waiting)
            next = i;
    }
    if (next < 0 || (m_needsIntermediate[static_cast<std::size_t>(next)] && stepRunning))
        return -1;
    return next;
}

void RunSchedule::Start(int nIndex)
{
    m_stages[static_cast<std::size_t>(nIndex)] =
        m_needsIntermediate[static_cast<std::size_t>(nIndex)] ? TaskStage::Intermediate : TaskStage::Encoding;
}

void RunSchedule::IntermediateDone(int nIndex)
{
    if (Stage(nIndex) == TaskStage::Intermediate)
        m_stages[static_cast<std::size_t>(nIndex)] = TaskStage::Encoding;
}

void RunSchedule::OutputEnded(int nIndex)
{
    if (Stage(nIndex) == TaskStage::Encoding)
        m_stages[static_cast<std::size_t>(nIndex)] = TaskStage::Ending;
}

void RunSchedule::End(int nIndex, TaskResult result)
{
    m_stages[static_cast<std::size_t>(nIndex)] = TaskStage::Ended;
    m_results[static_cast<std::size_t>(nIndex)] = result;
}

void RunSchedule::Stop()
{
    m_bStopped = true;
}

bool RunSchedule::Over() const
{
    if (UnderWay() > 0)
        return false;
    for (int i = 0; !m_bStopped && i < Count(); ++i)
        if (Stage(i) == TaskStage::Waiting)
            return false;
    return true;
}

TaskResult JudgeEncoderEnd(EncoderExit exit, bool bOutputWritten)
{
    const bool bExitedWell = exit == EncoderExit::Succeeded || exit == EncoderExit::Unknown;
    return bExitedWell && bOutputWritten ? TaskResult::Finished : TaskResult::Failed;
}
