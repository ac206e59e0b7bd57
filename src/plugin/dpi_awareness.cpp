// The functions are looked up by name in user32, which the library imports: the module stays
// loaded, and its handle needs no release.
#include "plugin/dpi_awareness.h"

namespace {

constexpr const wchar_t* kUser32 = L"user32.dll";
constexpr const char* kSetThreadDpiAwarenessContext = "SetThreadDpiAwarenessContext";
constexpr const char* kGetDpiForWindow = "GetDpiForWindow";

using SetThreadDpiAwarenessContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// Through a plain function pointer type, which converts to any other without a warning.
template <typename Fn>
Fn LookUp(const char* name) {
  FARPROC address = GetProcAddress(GetModuleHandleW(kUser32), name);
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(address));
}

}  // namespace

DPI_AWARENESS_CONTEXT EnterPerMonitorDpiAwareness() {
  auto setContext = LookUp<SetThreadDpiAwarenessContextFn>(kSetThreadDpiAwarenessContext);
  if (setContext == nullptr) return nullptr;
  // A system that does not know the second version refuses it and leaves the thread as it was.
  DPI_AWARENESS_CONTEXT previous = setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  if (previous == nullptr) previous = setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
  return previous;
}

void RestoreDpiAwareness(DPI_AWARENESS_CONTEXT previous) {
  if (previous == nullptr) return;
  auto setContext = LookUp<SetThreadDpiAwarenessContextFn>(kSetThreadDpiAwarenessContext);
  if (setContext != nullptr) setContext(previous);
}

UINT WindowDpi(HWND window) {
  auto dpiForWindow = LookUp<GetDpiForWindowFn>(kGetDpiForWindow);
  return dpiForWindow != nullptr ? dpiForWindow(window) : 0;
}
