// Lets the window live while long work runs on the user-interface thread.
#pragma once

// Dispatches every pending message of the thread's windows, without waiting for any; each
// first goes through the windows' PreTranslateMessage, as in the main loop.
void PumpMessages();
