#include "plugin/bounded_send.h"

bool SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* answer,
                 UINT limitMs) {
  DWORD_PTR result = 0;
  // SMTO_NORMAL keeps what a plain send does while it waits: messages sent to this thread by
  // others are handled, so two threads that ask each other at once cannot block each other.
  bool answered = SendMessageTimeoutW(window, message, wParam, lParam,
                                      SMTO_NORMAL | SMTO_ABORTIFHUNG, limitMs, &result) != 0;
  if (answer != nullptr) *answer = answered ? static_cast<LRESULT>(result) : 0;
  return answered;
}

bool WindowAnswers(HWND window, UINT limitMs) {
  return SendBounded(window, WM_NULL, 0, 0, nullptr, limitMs);
}
