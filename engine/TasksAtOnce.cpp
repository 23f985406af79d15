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
