// Library entry: the instance handle is all the library needs to remember from its loading.
#include <windows.h>

#include "plugin/module_state.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) gModule = instance;
  return TRUE;
}
