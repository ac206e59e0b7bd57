#include "plugin/window_class.h"

#include "plugin/module_state.h"

bool WindowClassIs(HWND window, std::initializer_list<const wchar_t*> names) {
  gSharedText[0] = L'\0';
  if (GetClassNameW(window, gSharedText, kTextCapacity) == 0) {
    gSharedText[0] = L'\0';
    return false;
  }
  for (const wchar_t* name : names) {
    if (TextEquals(gSharedText, name)) return true;
  }
  return false;
}
