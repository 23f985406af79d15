#include "engine/ConversionQueue.h"

#include <io.h>
#include <sys/stat.h>

#include <cstring>

#include "common/UniqueHandle.h"
#include "engine/ConversionLog.h"
#include "engine/OutputPath.h"
#include "engine/Progress.h"
#include "engine/TaskCell.h"
#include "framework/MessagePump.h"

namespace {

// The longest the window goes unserviced, and an encoder's output unread, while nothing
// happens: a click on Stop is handled within it.
constexpr DWORD kQuietPollMs = 15;
// More than the tasks a run may have under way (kMaxTasksAtOnce).
constexpr DWORD kMaxWaitedProcesses = 16;

// True when the encoder left a file with something in it.
bool OutputWasWritten(const std::string& path)
{
    struct _stat64 info {};
    return _stat64(path.c_str(), &info) == 0 && (info.st_mode & _S_IFREG) != 0 && info.st_size > 0;
}

// An empty file left at a reserved name: the encoder never wrote into it.
bool IsEmptyFile(const std::string& path)
{
    struct _stat64 info {};
    return _stat64(path.c_str(), &info) == 0 && (info.st_mode & _S_IFREG) != 0 && info.st_size == 0;
}

// The claim of an output name: created exclusively, so that a file another program (or
// another task of this run) made at that name a moment ago is never the one the encoder
// replaces.
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

ConversionQueue::ConversionQueue(ConversionTarget& tasks, RunEvents& events) : m_tasks(tasks), m_events(events) {}

ConversionQueue::~ConversionQueue() = default;

void ConversionQueue::Run(const RunSettings& settings)
{
    m_settings = settings;
    std::vector<bool> needsIntermediate;
    for (int i = 0; i < m_tasks.GetTaskCount(); ++i)
        needsIntermediate.push_back(m_tasks.GetTask(i).bNeedIntermediate == 1);
    RunSchedule schedule(needsIntermediate, settings.nTasksAtOnce);
    m_pSchedule = &schedule;
    if (g_bStopConvert)
        schedule.Stop();
    for (;;) {
        for (int next = schedule.NextToStart(); next >= 0; next = schedule.NextToStart())
            StartTask(next);
        // Slots are only added above and only removed here; a Stop that comes meanwhile
        // (from a pumped message) changes their state, never the list.
        for (size_t k = 0; k < m_slots.size();) {
            if (Service(*m_slots[k]))
                m_slots.erase(m_slots.begin() + static_cast<std::ptrdiff_t>(k));
            else
                ++k;
        }
        if (schedule.Over())
            break;
        WaitForNews();
        PumpMessages();
    }
    m_slots.clear();
    m_pSchedule = nullptr;
}

void ConversionQueue::Stop()
{
    g_bStopConvert = true;
    if (!m_pSchedule)
        return;
    m_pSchedule->Stop();
    for (const auto& pSlot : m_slots) {
        Slot& slot = *pSlot;
        const TaskStage stage = m_pSchedule->Stage(slot.nIndex);
        // A task whose output has already ended is judged all the same; the others are told
        // to finish now and are not.
        if (!RunSchedule::IsStoppedBy(stage))
            continue;
        if (stage == TaskStage::Encoding && !slot.bStopped) {
            slot.job.TellToFinish();
            slot.dwOutputEndTick = GetTickCount();
        }
        slot.bStopped = true;
        RemoveIntermediateFile(slot.nIndex);
    }
}

bool ConversionQueue::StepRunningOtherThan(int nIndex) const
{
    for (const auto& pSlot : m_slots)
        if (pSlot->nIndex != nIndex && m_pSchedule->Stage(pSlot->nIndex) == TaskStage::Intermediate)
            return true;
    return false;
}

void ConversionQueue::StartTask(int nIndex)
{
    m_pSchedule->Start(nIndex);
    m_slots.push_back(std::make_unique<Slot>());
    Slot& slot = *m_slots.back();
    slot.nIndex = nIndex;
    // The name is reserved as the task starts, before a RealMedia task's intermediate step:
    // tasks titled alike are then numbered in list order however long each takes to begin.
    std::string strRefusal;
    if (!ReserveOutput(slot, strRefusal)) {
        Refuse(slot, strRefusal.c_str(), std::string());
        return;
    }
    if (m_pSchedule->Stage(nIndex) == TaskStage::Intermediate) {
        // The control's events find the task of the step by g_nConvertIndex: it names that
        // task for as long as the step runs.
        g_nConvertIndex = nIndex;
        slot.bStepStarted = m_events.StartIntermediateStep(nIndex);
        return;
    }
    StartEncoder(slot);
}

void ConversionQueue::StartEncoder(Slot& slot)
{
    const int nIndex = slot.nIndex;
    const bool bOneTaskView = !StepRunningOtherThan(nIndex);
    if (bOneTaskView)
        g_nConvertIndex = nIndex;
    std::string strCommand = m_events.EncoderCommandLine(nIndex, slot.strOutputPath).str();
    if (m_settings.nEncoderThreads > 0)
        strCommand += " -threads " + std::to_string(m_settings.nEncoderThreads);
    std::vector<char> commandLine(strCommand.size() + 2048, '\0');
    std::memcpy(commandLine.data(), strCommand.data(), strCommand.size());
    if (bOneTaskView)
        g_dwConvertStartTick = GetTickCount();
    slot.job.Start(commandLine.data());
}

bool ConversionQueue::ReserveOutput(Slot& slot, std::string& strRefusal) const
{
    // The name is reserved as it is chosen, by creating it: the encoder's -y then replaces
    // only the run's own empty file, and a task started a moment later with the same name
    // finds it taken and takes the next.
    const std::string& folder = m_settings.strOutputFolder;
    const std::string name = m_tasks.GetTask(slot.nIndex).strOutputName.str();
    slot.strOutputPath = outputpath::ReserveOutputPath(
        folder, name, [](const std::string& candidate) { return _access(candidate.c_str(), 0) == 0; },
        ClaimOutputFile);
    if (!slot.strOutputPath.empty())
        return true;
    const bool bTooLong =
        outputpath::ChooseOutputPath(folder, name, [](const std::string&) { return false; }).empty();
    strRefusal = bTooLong ? "(the output path would be longer than 259 characters)"
                          : "(no output file could be created in " + folder + ")";
    return false;
}

bool ConversionQueue::Service(Slot& slot)
{
    switch (m_pSchedule->Stage(slot.nIndex)) {
    case TaskStage::Intermediate:
        return ServiceStep(slot);
    case TaskStage::Encoding:
        return ServiceEncoder(slot);
    case TaskStage::Ending:
        return ServiceEnding(slot);
    case TaskStage::Waiting:
    case TaskStage::Ended:
        break;
    }
    return true;
}

bool ConversionQueue::ServiceStep(Slot& slot)
{
    const int nIndex = slot.nIndex;
    if (slot.bStopped) {
        EndStopped(slot);
        return true;
    }
    if (slot.bStepStarted && m_tasks.GetTask(nIndex).bIntermediateDone != 1)
        return false;
    m_pSchedule->IntermediateDone(nIndex);
    // The control reports its step finished whatever became of its writer: a file cut
    // short would be converted as if it were the whole range.
    const std::string strFault = m_events.IntermediateStepFault(nIndex);
    if (!strFault.empty()) {
        Refuse(slot, m_tasks.GetTask(nIndex).strIntermediatePath, strFault);
        return true;
    }
    if (slot.bStopped || m_pSchedule->Stopped()) {
        EndStopped(slot);
        return true;
    }
    StartEncoder(slot);
    return m_pSchedule->Stage(nIndex) == TaskStage::Ended;
}

bool ConversionQueue::ServiceEncoder(Slot& slot)
{
    if (slot.bStopped) {
        // Told to finish by the stop; not judged. One that does not quit in time is ended.
        EncoderExit exit = EncoderExit::Unknown;
        if (!slot.job.HasExited(exit)) {
            if (GetTickCount() - slot.dwOutputEndTick < kEncoderExitWaitMs)
                return false;
            slot.job.EndHung();
        }
        EndStopped(slot);
        return true;
    }
    if (slot.job.ReadAvailable([&](const char* pszPiece) { ParsePiece(slot, pszPiece); }) || slot.bStopped)
        return false; // more to come, or a Stop came with a piece: the next look ends it
    // The output has ended (or the early stop of an intermediate task closed it): the task is
    // judged once its encoder has exited, even if a Stop comes meanwhile.
    m_pSchedule->OutputEnded(slot.nIndex);
    slot.job.TellToFinish();
    slot.dwOutputEndTick = GetTickCount();
    return ServiceEnding(slot);
}

bool ConversionQueue::ServiceEnding(Slot& slot)
{
    EncoderExit exit = EncoderExit::Unknown;
    if (!slot.job.HasExited(exit)) {
        if (GetTickCount() - slot.dwOutputEndTick < kEncoderExitWaitMs)
            return false;
        // Deaf to "q" and to its closed pipes: nothing may go on writing a judged file.
        slot.job.EndHung();
        exit = EncoderExit::Hung;
    }
    Judge(slot, exit);
    return true;
}

void ConversionQueue::ParsePiece(Slot& slot, const char* pszPiece)
{
    const DWORD now = GetTickCount();
    ConvertTask task = m_tasks.GetTask(slot.nIndex);
    const bool bStopNow = ApplyProgressFields(task, ReadProgressFields(pszPiece), now, slot.job.StartTick());
    m_tasks.SetTask(slot.nIndex, task);
    m_tasks.InvalidateCells(slot.nIndex, slot.nIndex, kColumnProgress, false);
    if (bStopNow)
        slot.job.TellToFinish();
}

void ConversionQueue::Judge(Slot& slot, EncoderExit exit)
{
    // A task counts as finished only when its encoder has exited without failure and left a
    // file behind: a missing encoder, an unreadable source, an unwritable folder, a full
    // disk, an encoder that crashed, was killed or hung half-way show "Failed".
    const int nIndex = slot.nIndex;
    ConvertTask task = m_tasks.GetTask(nIndex);
    const TaskResult result = JudgeEncoderEnd(exit, OutputWasWritten(slot.strOutputPath));
    if (result == TaskResult::Finished) {
        task.bFinished = 1;
    } else {
        task.bFailed = 1;
        LogFailedTask(task.strSourcePath, slot.strOutputPath.c_str(), slot.job.LastLines());
    }
    m_tasks.SetTask(nIndex, task);
    m_tasks.InvalidateCells(nIndex, nIndex, kColumnProgress, false);
    RemoveIntermediateFile(nIndex);
    // What a failed encoder left under the reserved name: a cut-off file no player opens.
    if (result == TaskResult::Failed)
        m_events.RemoveRunFile(slot.strOutputPath);
    m_pSchedule->End(nIndex, result);
    m_events.TaskEnded(nIndex, result, slot.strOutputPath);
}

void ConversionQueue::Refuse(Slot& slot, const char* pszOutput, const std::string& strWhy)
{
    // The task fails before its encoder starts: nothing is handed on to it.
    const int nIndex = slot.nIndex;
    ConvertTask refused = m_tasks.GetTask(nIndex);
    refused.bFailed = 1;
    m_tasks.SetTask(nIndex, refused);
    m_tasks.InvalidateCells(nIndex, nIndex, kColumnProgress, false);
    std::vector<std::string> lines;
    if (!strWhy.empty())
        lines.push_back(strWhy);
    LogFailedTask(refused.strSourcePath, pszOutput, lines);
    RemoveIntermediateFile(nIndex);
    // A RealMedia task refused after its step leaves no empty file at its reserved name.
    if (!slot.strOutputPath.empty() && IsEmptyFile(slot.strOutputPath))
        m_events.RemoveRunFile(slot.strOutputPath);
    m_pSchedule->End(nIndex, TaskResult::Failed);
    m_events.TaskEnded(nIndex, TaskResult::Failed, std::string());
}

void ConversionQueue::EndStopped(Slot& slot)
{
    // The control is ended here rather than at its next progress event, which may come late;
    // the stopped task's intermediate file goes with it.
    if (m_tasks.GetTask(slot.nIndex).bNeedIntermediate == 1)
        m_events.EndIntermediateStep(slot.nIndex);
    // A name reserved for a task stopped before its encoder wrote anything: the empty file
    // would only be in the way.
    if (!slot.strOutputPath.empty() && IsEmptyFile(slot.strOutputPath))
        m_events.RemoveRunFile(slot.strOutputPath);
    m_pSchedule->End(slot.nIndex, TaskResult::Stopped);
}

void ConversionQueue::RemoveIntermediateFile(int nIndex)
{
    // A RealMedia task's intermediate file is a full copy of the trimmed video, of no use once
    // the task's turn is over, converted, failed, refused or stopped.
    const ConvertTask task = m_tasks.GetTask(nIndex);
    if (task.bNeedIntermediate == 1 && !task.strIntermediatePath.IsEmpty())
        m_events.RemoveRunFile(task.strIntermediatePath.str());
}

void ConversionQueue::WaitForNews() const
{
    // Sleeps until a message comes, an encoder that was told to finish exits, or the pipes
    // are due for their next look. The process of an encoder still being read is left out:
    // under Wine its output may go on arriving after it has exited.
    HANDLE exiting[kMaxWaitedProcesses];
    DWORD count = 0;
    for (const auto& pSlot : m_slots) {
        const TaskStage stage = m_pSchedule->Stage(pSlot->nIndex);
        const bool bAwaited = stage == TaskStage::Ending || (stage == TaskStage::Encoding && pSlot->bStopped);
        if (bAwaited && pSlot->job.Process() && count < kMaxWaitedProcesses)
            exiting[count++] = pSlot->job.Process();
    }
    MsgWaitForMultipleObjects(count, count ? exiting : nullptr, FALSE, kQuietPollMs, QS_ALLINPUT);
}
