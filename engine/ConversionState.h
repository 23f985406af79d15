// Process-wide state of a conversion run, shared by the run, its stop sequence, the encoder
// runner and the progress parser (they meet inside nested message pumping, so it cannot live
// in one function).
#pragma once

#include <windows.h>

#include "engine/ConvertTask.h"

// What the engine needs of the window that owns the task list: the tasks, and a repaint of
// some of the list's cells.
class ConversionTarget {
public:
    virtual ~ConversionTarget() = default;
    virtual int GetTaskCount() const = 0;
    virtual ConvertTask GetTask(int nIndex) const = 0;
    virtual void SetTask(int nIndex, const ConvertTask& task) = 0;
    virtual void InvalidateCells(int nFirstRow, int nLastRow, int nColumn, bool bErase) = 0;
};

extern ConversionTarget* g_pConversionTarget; // set by the page that owns the tasks

extern HANDLE g_hChildStdoutRead;  // our end of the encoder's output pipe; null once closed
extern HANDLE g_hChildStdinWrite;  // our end of the encoder's input pipe; null once closed
extern bool g_bStopConvert;        // stop requested
extern int g_nConvertIndex;        // task being converted
extern DWORD g_dwConvertStartTick; // GetTickCount() when the current encoder or step started
