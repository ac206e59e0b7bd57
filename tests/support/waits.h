// Bounded waits that pump the calling thread's messages, so that cross-process sends to this
// thread's windows (the hooks ask the host's windows) are answered while a test waits.
#pragma once

#include <windows.h>

#include <functional>

namespace testing_support {

// Pumps messages until the condition holds or the time is up. Answers the condition's last value.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// Pumps messages for the given time.
void PumpFor(DWORD milliseconds);

}  // namespace testing_support
