// How many tasks a run converts at once, and how many threads each encoder is given then.
// Pure logic: the page reads the setting and the processor count and asks here.
#pragma once

#include <string>
#include <vector>

// More encoders at once than this would hold several decoded pictures and x264's look-ahead
// each in memory (some 100 MB an encoder at 640x480) for little more speed.
constexpr int kMaxTasksAtOnce = 4;

// A video encode at iPod sizes keeps about one processor busy: x264 has few rows of a
// 320x240 or 640x480 picture to spread over threads, and each task starts with serial work
// (venc's look at the source, the encoder's start, a RealMedia task's intermediate step).
constexpr int kUsefulProcessorsPerEncoder = 1;

// The person's setting when it is a whole number from 1 on (held to kMaxTasksAtOnce), else
// the machine's processors divided by what one encoder uses, at least 1 and at most
// kMaxTasksAtOnce. "1" converts one task after another, as the program always has.
int ChooseTasksAtOnce(const std::string& setting, int nProcessors);

// With several tasks at once, each encoder's even share of the processors (at least 1), so
// that they do not crowd each other out; 0 when one task runs at a time, which leaves the
// encoder its own choice, and its command line as it always was.
int EncoderThreadsEach(int nProcessors, int nTasksAtOnce);

// The choices a person is offered for the setting, in menu order: the machine's own choice
// first (its text says how many that is here), then each count from 1 to kMaxTasksAtOnce.
std::vector<std::string> TasksAtOnceChoiceTexts(int nProcessors);
// The choice a stored setting stands for: 0 for the machine's own (nothing usable stored),
// else the count it sets.
int TasksAtOnceChoiceOf(const std::string& setting);
// The setting to store for a choice: empty for the machine's own, else the count.
std::string TasksAtOnceSettingOf(int nChoice);
