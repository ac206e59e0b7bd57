#include "plugin/shared_steps.h"

#include "contracts/host.h"
#include "plugin/text.h"

bool KeyHeld(int key) { return (GetKeyState(key) & 0x8000) != 0; }

bool KeyHeldNow(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

LRESULT PassOn(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool GetLibraryFileName(HMODULE module, wchar_t* path) {
  DWORD length = GetModuleFileNameW(module, path, kTextCapacity);
  if (length > 0 && length < static_cast<DWORD>(kTextCapacity)) return true;
  path[0] = L'\0';
  return false;
}

void GetHostSettingsFile(wchar_t* path) {
  DWORD length = GetEnvironmentVariableW(host::kSettingsFileVariable, path, kTextCapacity);
  if (length == 0 || length >= static_cast<DWORD>(kTextCapacity)) path[0] = L'\0';
}
