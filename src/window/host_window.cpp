#include "window/host_window.h"

#include "contracts/host.h"
#include "plugin/window_class.h"

bool IsHostMainWindow(HWND topLevel) {
  return WindowClassIs(topLevel, {host::kMainWindowClass, host::kFcMainWindowClass});
}

HWND CaptionWindowFor(HWND topLevel) {
  return IsHostMainWindow(topLevel) ? GetWindow(topLevel, GW_CHILD) : topLevel;
}
