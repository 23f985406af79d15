// See TaskNavigation.h.
#include "ui/TaskNavigation.h"

#include <algorithm>

namespace tasknav {

bool IsNavigationKey(unsigned key)
{
    switch (key) {
    case kUp:
    case kDown:
    case kPageUp:
    case kPageDown:
    case kHome:
    case kEnd:
        return true;
    default:
        return false;
    }
}

int TargetRow(unsigned key, int current, int taskCount, int itemCount)
{
    switch (key) {
    case kUp:
        return current > 0 ? current - 1 : -1;
    case kDown:
        return current < itemCount - 1 ? current + 1 : -1;
    case kPageUp:
        return current > 0 ? std::max(current - 3, 0) : -1;
    case kPageDown:
        return current < taskCount - 1 ? std::min(current + 3, taskCount - 1) : -1;
    case kHome:
        return taskCount >= 1 ? 0 : -1;
    case kEnd:
        return taskCount >= 1 ? taskCount - 1 : -1;
    default:
        return -1;
    }
}

} // namespace tasknav
