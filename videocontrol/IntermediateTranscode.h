// The intermediate transcoding step of a conversion run: for a task that needs it (a
// RealMedia source), the video-editing control writes the task's trimmed range into an AVI
// file (or MPEG when the needed codecs are missing) in the folder it is given (the program's
// data folder of the user, UserDataFolder), while the
// window is kept alive by pumping messages. The page calls TranscodeToIntermediate from the
// run and routes the control's OnConvertProgress and OnConvertFinished events to the two
// handlers; all three find the task through the conversion target and g_nConvertIndex.
#pragma once

class CVideoEdit;
class ConversionTarget;

// Returns when the file is written, when the control refused to start, or when the run was
// stopped. Leaves strIntermediatePath, nPhase = 1 and bIntermediateDone = 0 in the task
// before writing starts.
void TranscodeToIntermediate(CVideoEdit& videoEdit, ConversionTarget& target, const char* szFolder, int nIndex);

// Steps 1 to 7 of it, without the wait, for a run that goes on with other tasks meanwhile:
// true when the control has started writing (the task's bIntermediateDone then becomes 1
// when it is done), false when it refused or the path did not fit.
bool StartIntermediateStep(CVideoEdit& videoEdit, ConversionTarget& target, const char* szFolder, int nIndex);

// The control's OnConvertProgress (seconds of the source): fills the task's intermediate
// progress, repaints its Progress cell, pumps messages, and on a stop request ends the
// writing and deletes the half-made file.
void OnIntermediateProgress(CVideoEdit& videoEdit, ConversionTarget& target, double dPos, double dTotal);

// The control's OnConvertFinished: the task moves to phase 2 with bIntermediateDone = 1.
void OnIntermediateFinished(CVideoEdit& videoEdit, ConversionTarget& target);

// Deletes what a run that never ended (a crash, a killed program) left in szFolder: the files
// whose names IsIntermediateFileName accepts, and nothing else. A file still open elsewhere
// stays.
void RemoveLeftoverIntermediateFiles(const char* szFolder);
