// Library entry: the instance handle is all the library needs to remember from its loading. A
// host may unload the library and load it (or another build of it) again: the container's class
// goes with the library, or the next load would find it registered with a procedure that is gone.
#include <windows.h>

#include "contracts/viewer.h"
#include "plugin/module_state.h"

// The library keeps no data per thread. Defining the runtime's thread-storage start-up hook as
// empty keeps the MinGW runtime's thread-storage support out of the library, and with it the
// image's thread-storage directory: with one, the system's loader gives the library a block in
// every thread of the host at each load and takes it back at each unload, and a host that loads
// the library anew for every view repeats that many times a session.
#if defined(__MINGW32__)
extern "C" const PIMAGE_TLS_CALLBACK __dyn_tls_init_callback = nullptr;
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) gModule = instance;
  // At process exit (reserved set) the class goes with the process.
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    UnregisterClassW(viewer::kWindowClass, instance);
  }
  return TRUE;
}
