#include "window/viewer_watch.h"

namespace {

// How often the watch asks. The question costs the viewer nothing; the host is not asked at all.
constexpr DWORD kWatchPeriodMs = 1000;

// Long enough for the system to take an ended process down.
constexpr DWORD kViewerEndWaitMs = 200;

// A thread that wakes after an idle spell of over five seconds can be reported hung for the moment
// before it retrieves its message: a viewer is ended only when a second look this much later
// still finds it hung.
constexpr DWORD kHungConfirmMs = 250;

// How long the host waits for the watch's thread to end once told to: it only ever waits on the
// stop event or ends the viewer.
constexpr DWORD kWatchStopWaitMs = 500;

// What the watch's thread owns: its own handles, freed by the thread itself.
struct WatchTask {
  HMODULE library;  // a reference that keeps this code loaded while the thread runs
  HANDLE process;
  HANDLE stop;
  HANDLE ended;
  HWND viewerWindow;
  HWND container;
};

void CloseIfOpen(HANDLE handle) {
  if (handle != nullptr) CloseHandle(handle);
}

void FreeTask(WatchTask* task) {
  CloseIfOpen(task->process);
  CloseIfOpen(task->stop);
  CloseIfOpen(task->ended);
  HeapFree(GetProcessHeap(), 0, task);
}

bool StaysHung(const WatchTask& task) {
  return IsHungAppWindow(task.viewerWindow) &&
         WaitForSingleObject(task.stop, kHungConfirmMs) == WAIT_TIMEOUT &&
         IsHungAppWindow(task.viewerWindow);
}

void WatchViewer(const WatchTask& task) {
  while (WaitForSingleObject(task.stop, kWatchPeriodMs) == WAIT_TIMEOUT) {
    // A viewer that ended by itself needs no watch.
    if (WaitForSingleObject(task.process, 0) == WAIT_OBJECT_0) return;
    if (StaysHung(task)) {
      SetEvent(task.ended);
      EndViewerProcess(task.process);
      // The container shows why it is empty; invalidating another thread's window sends nothing.
      InvalidateRect(task.container, nullptr, TRUE);
      return;
    }
  }
}

DWORD WINAPI RunWatch(void* parameter) {
  WatchTask* task = static_cast<WatchTask*>(parameter);
  HMODULE library = task->library;
  WatchViewer(*task);
  FreeTask(task);
  FreeLibraryAndExitThread(library, 0);
}

HANDLE DuplicateForTask(HANDLE handle) {
  HANDLE copy = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    return nullptr;
  }
  return copy;
}

// The task's handles and the library reference; null when any of them cannot be had.
WatchTask* CreateTask(HANDLE viewerProcess, HWND viewerWindow, HWND container,
                      const ViewerWatch& watch) {
  WatchTask* task =
      static_cast<WatchTask*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(WatchTask)));
  if (task == nullptr) return nullptr;
  task->viewerWindow = viewerWindow;
  task->container = container;
  task->process = DuplicateForTask(viewerProcess);
  task->stop = DuplicateForTask(watch.stop);
  task->ended = DuplicateForTask(watch.ended);
  if (task->process == nullptr || task->stop == nullptr || task->ended == nullptr ||
      !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCWSTR>(&RunWatch), &task->library)) {
    FreeTask(task);
    return nullptr;
  }
  return task;
}

}  // namespace

void StartViewerWatch(HANDLE viewerProcess, HWND viewerWindow, HWND container, ViewerWatch* watch) {
  *watch = ViewerWatch();
  watch->stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  watch->ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (watch->stop == nullptr || watch->ended == nullptr) {
    StopViewerWatch(watch);
    return;
  }
  WatchTask* task = CreateTask(viewerProcess, viewerWindow, container, *watch);
  if (task == nullptr) return;
  HMODULE library = task->library;
  watch->thread = CreateThread(nullptr, 0, RunWatch, task, 0, nullptr);
  if (watch->thread == nullptr) {
    FreeTask(task);
    FreeLibrary(library);
  }
}

bool ViewerWasEnded(const ViewerWatch& watch) {
  return watch.ended != nullptr && WaitForSingleObject(watch.ended, 0) == WAIT_OBJECT_0;
}

void StopViewerWatch(ViewerWatch* watch) {
  if (watch->thread != nullptr) {
    SetEvent(watch->stop);
    WaitForSingleObject(watch->thread, kWatchStopWaitMs);
  }
  CloseIfOpen(watch->thread);
  CloseIfOpen(watch->stop);
  CloseIfOpen(watch->ended);
  *watch = ViewerWatch();
}

void EndViewerProcess(HANDLE process) {
  TerminateProcess(process, 0);
  WaitForSingleObject(process, kViewerEndWaitMs);
}
