// A hook's two answers: swallow the message, or pass it on to the next hook.
#pragma once

#include <windows.h>

constexpr LRESULT kSwallow = 1;

inline LRESULT PassOn(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
