// Real input through SendInput; see user_input.h.
#include "user_input.h"

namespace {

bool Send(INPUT* inputs, UINT count) { return SendInput(count, inputs, sizeof(INPUT)) == count; }

// The arrow keys and their block send the extended-key prefix on a real keyboard.
bool IsExtendedKey(WORD virtualKey) {
  return (virtualKey >= VK_PRIOR && virtualKey <= VK_DOWN) || virtualKey == VK_INSERT ||
         virtualKey == VK_DELETE;
}

}  // namespace

bool SendClick(POINT screenPoint) {
  if (!SetCursorPos(screenPoint.x, screenPoint.y)) return false;
  INPUT inputs[2] = {};
  inputs[0].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].type = INPUT_MOUSE;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return Send(inputs, 2);
}

bool SendKeyPress(WORD virtualKey) {
  INPUT inputs[2] = {};
  inputs[0].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = virtualKey;
  inputs[0].ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
  if (IsExtendedKey(virtualKey)) inputs[0].ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
  inputs[1] = inputs[0];
  inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
  return Send(inputs, 2);
}
