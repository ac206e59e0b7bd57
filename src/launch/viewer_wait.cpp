#include "launch/viewer_wait.h"

#include <initializer_list>

#include "contracts/viewer.h"

namespace {

// The first top-level viewer window of the started process. Windows of the same class that
// belong to other processes (a viewer the user started) are passed over, wherever they lie.
HWND FindViewerWindowOf(DWORD processId) {
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, viewer::kWindowClass, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId) return window;
  }
  return nullptr;
}

// An arrow key held now, or pressed since the last query, is the user's way out of the wait.
bool ArrowKeyPressed() {
  for (int key : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}) {
    if (GetAsyncKeyState(key) != 0) return true;
  }
  return false;
}

}  // namespace

ViewerWait WaitForViewerWindow(const PROCESS_INFORMATION& viewer, HWND container,
                               HWND* viewerWindow) {
  ULONGLONG deadline = GetTickCount64() + kViewerWaitLimitMs;
  for (;;) {
    *viewerWindow = FindViewerWindowOf(viewer.dwProcessId);
    if (*viewerWindow != nullptr) return ViewerWait::kFound;
    if (ArrowKeyPressed()) return ViewerWait::kArrowKey;
    if (WaitForSingleObject(viewer.hProcess, kViewerWaitPassMs) == WAIT_OBJECT_0) {
      return ViewerWait::kViewerExited;
    }
    if (!IsWindow(container)) return ViewerWait::kContainerGone;
    if (GetTickCount64() >= deadline) return ViewerWait::kTimedOut;
  }
}
