#include "engine/TasksAtOnce.h"

#include <algorithm>

namespace {

// A plain whole number, blanks around it allowed; -1 for anything else.
int ReadCount(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return -1;
    const size_t last = text.find_last_not_of(" \t");
    long value = 0;
    for (size_t i = first; i <= last; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = std::min(value * 10 + (text[i] - '0'), 1000000L);
    }
    return static_cast<int>(value);
}

} // namespace

int ChooseTasksAtOnce(const std::string& setting, int nProcessors)
{
    const int nSet = ReadCount(setting);
    if (nSet >= 1)
        return std::min(nSet, kMaxTasksAtOnce);
    return std::clamp(nProcessors / kUsefulProcessorsPerEncoder, 1, kMaxTasksAtOnce);
}

int EncoderThreadsEach(int nProcessors, int nTasksAtOnce)
{
    if (nTasksAtOnce <= 1)
        return 0;
    return std::max(1, nProcessors / nTasksAtOnce);
}

std::vector<std::string> TasksAtOnceChoiceTexts(int nProcessors)
{
    const int nAutomatic = ChooseTasksAtOnce(std::string(), nProcessors);
    std::vector<std::string> texts{"&Automatic (" + std::to_string(nAutomatic) + " on this computer)",
                                   "&1 (one video after another)"};
    for (int n = 2; n <= kMaxTasksAtOnce; ++n)
        texts.push_back("&" + std::to_string(n));
    return texts;
}

int TasksAtOnceChoiceOf(const std::string& setting)
{
    const int nSet = ReadCount(setting);
    return nSet >= 1 ? std::min(nSet, kMaxTasksAtOnce) : 0;
}

std::string TasksAtOnceSettingOf(int nChoice)
{
    return nChoice >= 1 && nChoice <= kMaxTasksAtOnce ? std::to_string(nChoice) : std::string();
}
