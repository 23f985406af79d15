// Lets the window live while long work runs on the user-interface thread.
#pragma once

// Dispatches every pending message of the thread's windows, without waiting for any.
void PumpMessages();
