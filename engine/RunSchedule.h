// The order of a conversion run that may convert several tasks at once: which task may start
// now, what stage each task is in, and how each ended. Pure logic: ConversionQueue does the
// work and asks this which task comes next.
#pragma once

#include <cstddef>
#include <vector>

#include "engine/EncoderExit.h"

enum class TaskStage {
    Waiting,      // not started yet
    Intermediate, // the video control writes its intermediate file
    Encoding,     // its encoder runs and its output is read
    Ending,       // its encoder's output has ended; the encoder is told to finish and awaited
    Ended,
};

enum class TaskResult { None, Finished, Failed, Stopped };

class RunSchedule {
public:
    // needsIntermediate holds, in list order, whether each task goes through the video
    // control first; limit is how many tasks may be under way at once (less than 1 counts as 1).
    RunSchedule(std::vector<bool> needsIntermediate, int limit);

    // The task to start now, or -1. It is always the first waiting task, so no task starts
    // before an earlier one; it waits while the limit is reached, after a stop, and, when it
    // needs the video control, while another task's intermediate step runs (the control
    // writes one file at a time).
    int NextToStart() const;
    void Start(int nIndex);
    void IntermediateDone(int nIndex);
    // Its encoder's output ended by itself: the task is judged once the encoder has exited,
    // even when a stop comes meanwhile.
    void OutputEnded(int nIndex);
    void End(int nIndex, TaskResult result);
    // Nothing more starts. What a stopped task's end is: Stopped while it was in its
    // intermediate step or encoding, its judgement once its output had ended.
    void Stop();

    bool Stopped() const { return m_bStopped; }
    // Nothing is under way and nothing more will start.
    bool Over() const;
    int UnderWay() const;
    int Count() const { return static_cast<int>(m_stages.size()); }
    TaskStage Stage(int nIndex) const { return m_stages[static_cast<std::size_t>(nIndex)]; }
    TaskResult Result(int nIndex) const { return m_results[static_cast<std::size_t>(nIndex)]; }
    // The result of a task under way when the run stops: Stopped unless its output had ended.
    static bool IsStoppedBy(TaskStage stage) { return stage == TaskStage::Intermediate || stage == TaskStage::Encoding; }

private:
    bool IsUnderWay(int nIndex) const;
    std::vector<bool> m_needsIntermediate;
    std::vector<TaskStage> m_stages;
    std::vector<TaskResult> m_results;
    int m_nLimit;
    bool m_bStopped = false;
};

// A task whose encoder's output ended: finished only when the encoder exited without failure
// (or there was no process to ask) and left a file with something in it; a crash, a kill, a
// hang, or nothing written is a failure.
TaskResult JudgeEncoderEnd(EncoderExit exit, bool bOutputWritten);
