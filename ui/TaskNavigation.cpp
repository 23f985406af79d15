// See TaskNavigation.h.
#include "ui/TaskNavigation.h"

#include <algorithm>

namespace tasknav {

namespace {
// The keyboard messages' range (WM_KEYFIRST .. WM_KEYLAST), and the two keys' codes.
constexpr unsigned kFirstKeyboardMessage = 0x0100;
constexpr unsigned kLastKeyboardMessage = 0x0109;
constexpr unsigned long long kReturn = 0x0D;
constexpr unsigned long long kEscape = 0x1B;
} // namespace

bool IsEnterOrEscapeKey(unsigned message, unsigned long long wParam)
{
    return message >= kFirstKeyboardMessage && message <= kLastKeyboardMessage &&
           (wParam == kReturn || wParam == kEscape);
}

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

int CurrentAfterRemoval(int removedRow, int current, int countAfter)
{
    if (countAfter <= 0)
        return -1;
    if (removedRow < current)
        return current - 1;
    if (removedRow == current)
        return removedRow < countAfter ? removedRow : countAfter - 1;
    return current < countAfter ? current : countAfter - 1;
}

} // namespace tasknav
