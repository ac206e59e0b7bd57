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

enum class Pause { kElapsed, kViewerExited };

// Pauses for one pass, or less when the viewer ends or another thread sends the host's thread a
// message; those are handled here, as a send waiting on this thread expects. Posted messages and
// input are left in the queue for the host: handling them would run the host's own code in the
// middle of its call to the plugin.
Pause PauseOnePass(HANDLE viewer) {
  DWORD woken = MsgWaitForMultipleObjects(1, &viewer, FALSE, kViewerWaitPassMs, QS_SENDMESSAGE);
  if (woken == WAIT_OBJECT_0) return Pause::kViewerExited;
  if (woken == WAIT_OBJECT_0 + 1) {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  return Pause::kElapsed;
}

}  // namespace

ViewerWait WaitForViewerWindow(HANDLE viewer, DWORD viewerId, HWND container, HWND* viewerWindow) {
  ULONGLONG deadline = GetTickCount64() + kViewerWaitLimitMs;
  for (;;) {
    // A window whose thread is not yet handling messages cannot be captured without waiting
    // for it: it counts as found once it answers.
    *viewerWindow = FindViewerWindowOf(viewerId);
    bool answered = *viewerWindow != nullptr && WindowAnswers(*viewerWindow, kViewerAnswerPassMs);
    // While the probe and the pause wait, the host's thread handles what other threads send it,
    // and the host may close the view in the middle.
    if (!IsWindow(container)) {
      *viewerWindow = nullptr;
      return ViewerWait::kContainerGone;
    }
    if (answered) return ViewerWait::kFound;
    *viewerWindow = nullptr;
    if (ArrowKeyHeldNow()) return ViewerWait::kArrowKey;
    if (PauseOnePass(viewer) == Pause::kViewerExited) return ViewerWait::kViewerExited;
    if (GetTickCount64() >= deadline) return ViewerWait::kTimedOut;
  }
}
