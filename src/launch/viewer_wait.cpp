#include "launch/viewer_wait.h"

#include "contracts/viewer.h"
#include "plugin/bounded_send.h"
#include "window/key_state.h"

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
  for (BYTE key : kArrowKeys) {
    if (GetAsyncKeyState(key) != 0) return true;
  }
  return false;
}

}  // namespace

ViewerWait WaitForViewerWindow(HANDLE viewer, DWORD viewerId, HWND container, HWND* viewerWindow) {
  ULONGLONG deadline = GetTickCount64() + kViewerWaitLimitMs;
  for (;;) {
    // A window whose thread is not yet handling messages cannot be captured without waiting
    // for it: it counts as found once it answers.
    *viewerWindow = FindViewerWindowOf(viewerId);
    bool answered = *viewerWindow != nullptr && WindowAnswers(*viewerWindow, kViewerAnswerPassMs);
    // While the probe waits, the host's thread handles what other threads send it, and the host
    // may close the view in the middle.
    if (!IsWindow(container)) {
      *viewerWindow = nullptr;
      return ViewerWait::kContainerGone;
    }
    if (answered) return ViewerWait::kFound;
    *viewerWindow = nullptr;
    if (ArrowKeyPressed()) return ViewerWait::kArrowKey;
    if (WaitForSingleObject(viewer, kViewerWaitPassMs) == WAIT_OBJECT_0) {
      return ViewerWait::kViewerExited;
    }
    if (GetTickCount64() >= deadline) return ViewerWait::kTimedOut;
  }
}
