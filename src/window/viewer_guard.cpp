#include "window/viewer_guard.h"

namespace {

// Long enough for the system to take an ended process down.
constexpr DWORD kViewerEndWaitMs = 200;

DWORD WINAPI GuardViewer(void* parameter) {
  const ViewerGuard* guard = static_cast<const ViewerGuard*>(parameter);
  if (WaitForSingleObject(guard->finished, guard->limitMs) == WAIT_OBJECT_0) return 0;
  EndViewerProcess(guard->process);
  return 1;
}

}  // namespace

void StartViewerGuard(HWND viewerWindow, DWORD limitMs, ViewerGuard* guard) {
  *guard = ViewerGuard();
  guard->limitMs = limitMs;
  DWORD processId = 0;
  if (viewerWindow == nullptr || GetWindowThreadProcessId(viewerWindow, &processId) == 0) return;
  guard->process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
  if (guard->process == nullptr) return;
  guard->finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (guard->finished != nullptr) {
    guard->thread = CreateThread(nullptr, 0, GuardViewer, guard, 0, nullptr);
  }
  if (guard->thread == nullptr) StopViewerGuard(guard);
}

bool StopViewerGuard(ViewerGuard* guard) {
  DWORD ended = 0;
  if (guard->thread != nullptr) {
    SetEvent(guard->finished);
    // The guard's thread only waits on the event or ends the process: it is done at once, or
    // within the end wait.
    WaitForSingleObject(guard->thread, INFINITE);
    GetExitCodeThread(guard->thread, &ended);
    CloseHandle(guard->thread);
  }
  if (guard->finished != nullptr) CloseHandle(guard->finished);
  if (guard->process != nullptr) CloseHandle(guard->process);
  *guard = ViewerGuard();
  return ended == 1;
}

void EndViewerProcess(HANDLE process) {
  TerminateProcess(process, 0);
  WaitForSingleObject(process, kViewerEndWaitMs);
}
