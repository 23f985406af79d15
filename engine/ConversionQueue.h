// ConversionQueue: a conversion run, from Start to the end of its last task. It converts the
// list in list order, up to a number of tasks at once (RunSchedule decides which may start):
// runs a RealMedia task's intermediate step through the page, reserves each output name,
// starts each encoder (EncoderJob), reads every encoder's output into its task, judges each
// end and reports it. Window messages are dispatched all the while (nested in the Start
// button's handler, as the whole run always was), so Stop, closing the window and painting work.
//
// One task at a time (a limit of 1) is the run as it always was, step for step; the
// process-wide g_nConvertIndex, g_bStopConvert and g_dwConvertStartTick stay its one-task
// view (the intermediate step's event handlers find their task through them).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/ConversionState.h"
#include "engine/EncoderJob.h"
#include "engine/RunSchedule.h"
#include "framework/CString.h"

// What the run needs of the window that shows it, besides its tasks (ConversionTarget):
// the video control's step, the command lines of its settings, the removal of files that may
// be held a while, and the news of each ended task.
class RunEvents {
public:
    virtual ~RunEvents() = default;
    // Starts the video control writing the task's intermediate file; false when it refused
    // (no file is written then). The task's bIntermediateDone becomes 1 when it is done.
    virtual bool StartIntermediateStep(int nIndex) = 0;
    // Empty when the step wrote the whole trimmed range, else what went wrong.
    virtual std::string IntermediateStepFault(int nIndex) = 0;
    // After a stop: the control ends its writing, and the task's intermediate file goes.
    virtual void EndIntermediateStep(int nIndex) = 0;
    virtual CString EncoderCommandLine(int nIndex, const std::string& strOutputPath) = 0;
    // Deletes a file of the run now, or later if a process still holds it.
    virtual void RemoveRunFile(const std::string& strPath) = 0;
    // A task has ended, finished or failed (the task already says which and its cell is
    // repainted); a finished one's file is strOutputPath. Not called for stopped tasks.
    virtual void TaskEnded(int nIndex, TaskResult result, const std::string& strOutputPath) = 0;
};

struct RunSettings {
    std::string strOutputFolder;
    int nTasksAtOnce = 1;
    int nEncoderThreads = 0; // each encoder's share of the processors; 0: its own choice
};

class ConversionQueue {
public:
    // How long an encoder that has been told to finish may take to exit; one that takes
    // longer is hung: it is ended, and its task has failed.
    static constexpr unsigned long kEncoderExitWaitMs = 5000;

    ConversionQueue(ConversionTarget& tasks, RunEvents& events);
    ~ConversionQueue();

    // Converts every task of the list; returns when each has ended or, after Stop, when
    // every encoder and intermediate step of the run is over.
    void Run(const RunSettings& settings);
    // The stop sequence: nothing more starts, every encoder is told to finish and every
    // intermediate step ends; no stopped task is marked finished. Returns at once; Run ends
    // soon after.
    void Stop();
    bool Running() const { return m_pSchedule != nullptr; }

private:
    struct Slot {
        int nIndex = -1;
        EncoderJob job;
        std::string strOutputPath;      // reserved for the task by creating it; empty until then
        bool bStepStarted = false;      // the video control accepted the intermediate step
        unsigned long dwOutputEndTick = 0; // when its output ended, or the stop came
        bool bStopped = false;          // under way when the run was stopped: not judged
    };

    void StartTask(int nIndex);
    void StartEncoder(Slot& slot);
    // One look at a task under way; true when it has ended and its slot can go.
    bool Service(Slot& slot);
    bool ServiceStep(Slot& slot);
    bool ServiceEncoder(Slot& slot);
    bool ServiceEnding(Slot& slot);
    void ParsePiece(Slot& slot, const char* pszPiece);
    void Refuse(Slot& slot, const char* pszOutput, const std::string& strWhy);
    void Judge(Slot& slot, EncoderExit exit);
    void EndStopped(Slot& slot);
    bool ReserveOutput(Slot& slot, std::string& strRefusal) const;
    void RemoveIntermediateFile(int nIndex);
    bool StepRunningOtherThan(int nIndex) const;
    void WaitForNews() const;

    ConversionTarget& m_tasks;
    RunEvents& m_events;
    RunSettings m_settings;
    RunSchedule* m_pSchedule = nullptr; // the running run's order; null between runs
    std::vector<std::unique_ptr<Slot>> m_slots;
};
