// Library entry: the instance handle is all the library needs to remember from its loading. A
// host may unload the library and load it (or another build of it) again: the container's class
// goes with the library, or the next load would find it registered with a procedure that is gone.
#include <windows.h>

#include "contracts/viewer.h"
#include "plugin/module_state.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) gModule = instance;
  // At process exit (reserved set) the class goes with the process.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    UnregisterClassW(viewer::kWindowClass, instance);
  }
  return TRUE;
}
