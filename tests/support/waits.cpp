// Bounded waits that keep this thread's windows answering: every cross-process send to them
// (the plugin's hooks run in the viewer and ask the host's windows) is served while a test waits.
#include "support/waits.h"

namespace testing_support {

namespace {

// Longest sleep between two looks at the condition.
constexpr DWORD kSliceMs = 10;
// Most messages handled between two looks: a window that keeps repainting itself never empties
// the queue, and the wait must still end.
constexpr int kMessagesPerSlice = 1000;

void PumpOnce(DWORD waitMs) {
  // Returns early when input, a posted or a sent message arrives.
  MsgWaitForMultipleObjectsEx(0, nullptr, waitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  MSG message;
  for (int handled = 0;
       handled < kMessagesPerSlice && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++handled) {
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

DWORD Remaining(ULONGLONG deadline) {
  ULONGLONG now = GetTickCount64();
  return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    DWORD remaining = Remaining(deadline);
    if (remaining == 0) return condition();
    PumpOnce(remaining < kSliceMs ? remaining : kSliceMs);
  }
}

void PumpFor(DWORD milliseconds) {
  ULONGLONG deadline = GetTickCount64() + milliseconds;
  for (DWORD remaining = milliseconds; remaining > 0; remaining = Remaining(deadline)) {
    PumpOnce(remaining < kSliceMs ? remaining : kSliceMs);
  }
  PumpOnce(0);
}

}  // namespace testing_support
