// The load sequence behind ListLoadW, on the host's GUI thread: viewer paths, Ghostscript,
// command line, full-screen hand-over, container window, viewer start, wait, capture.
#include "launch/load_sequence.h"

#include <cwchar>

#include "contracts/host.h"
#include "contracts/plugin_files.h"
#include "contracts/viewer.h"
#include "launch/command_line.h"
#include "launch/ghostscript.h"
#include "launch/system_menu.h"
#include "launch/viewer_paths.h"
#include "launch/viewer_wait.h"
#include "plugin/error_message.h"
#include "plugin/exports.h"
#include "plugin/file_names.h"
#include "plugin/module_state.h"
#include "window/container_window.h"
#include "window/view_record.h"
#include "window/viewer_watch.h"

namespace {

// Only the process is kept: the hooks need the primary thread's id, not its handle.
bool StartViewer(const ViewerPaths& paths, wchar_t* commandLine, HANDLE* process, DWORD* processId,
                 DWORD* threadId) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags =
      STARTF_USESHOWWINDOW | STARTF_USESIZE | STARTF_USEPOSITION | STARTF_FORCEOFFFEEDBACK;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(paths.viewerProgram, commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &started)) {
    return false;
  }
  CloseHandle(started.hThread);
  *process = started.hProcess;
  *processId = started.dwProcessId;
  *threadId = started.dwThreadId;
  return true;
}

// Whatever ended the wait, the load ends here unless the window was found. Only the plugin's own
// container is destroyed, which gives FullScreen back: the Lister window is the host's. An arrow
// key is the user's way out of the whole view: a Lister window of its own is asked to close, as
// Esc asks it, and the host closes it; in quick view the host moves on to the next file itself.
bool EndWaitWithoutWindow(ViewerWait outcome, HANDLE process, HWND container, HWND listerWindow,
                          bool listerMode) {
  if (outcome == ViewerWait::kFound) return false;
  if (outcome != ViewerWait::kContainerGone) DestroyWindow(container);
  if (outcome != ViewerWait::kViewerExited) EndViewerProcess(process);
  if (outcome == ViewerWait::kArrowKey && listerMode) PostMessageW(listerWindow, WM_CLOSE, 0, 0);
  return true;
}

void HookViewerThread(View* view, DWORD viewerThread) {
  view->keyboardHook = SetWindowsHookExW(WH_KEYBOARD, KbdProc, gModule, viewerThread);
  view->mouseHook = SetWindowsHookExW(WH_MOUSE, MouseProc, gModule, viewerThread);
}

// The window of the host's thread that had the focus when the load began; null when none had.
HWND HostFocus() {
  HWND focus = GetFocus();
  return GetWindowThreadProcessId(focus, nullptr) == GetCurrentThreadId() ? focus : nullptr;
}

// In quick view the user moves from picture to picture in the host's file list: the focus goes
// back to where it was. A Lister window of its own takes it.
void EmbedViewerWindow(HWND viewerWindow, HWND container, HWND listerWindow, HWND focusWindow) {
  SetParent(viewerWindow, container);
  SetWindowLongPtrW(viewerWindow, GWL_STYLE, WS_CHILD);
  SetForegroundWindow(listerWindow);
  // Once more now that the style says WS_CHILD: the first call re-parented a window that was
  // still top-level in style, and the system settles it as a true child only with the style set.
  SetParent(viewerWindow, container);
  SetFocus(focusWindow != nullptr && IsWindow(focusWindow) ? focusWindow : listerWindow);
  ShowWindow(viewerWindow, SW_SHOWMAXIMIZED);
}

// A Lister window that the host keeps maximized is shown through the viewer window.
void ShowView(HWND viewerWindow, HWND listerWindow, bool listerMode) {
  wchar_t hostSettings[kTextCapacity] = {};
  wchar_t maximized[kTextCapacity] = {};
  GetHostSettingsFile(hostSettings);
  if (hostSettings[0] != L'\0') {
    GetPrivateProfileStringW(host::kListerSection, host::kMaximizedKey, L"", maximized,
                             kTextCapacity, hostSettings);
  }
  if (listerMode && wcschr(maximized, L'1') != nullptr) {
    ShowWindow(viewerWindow, SW_SHOW);
  } else {
    ShowWindow(listerWindow, SW_SHOW);
  }
}

struct Capture {
  HANDLE process;
  HWND viewerWindow;
  DWORD viewerThread;
  HWND container;
  HWND listerWindow;
  HWND focusWindow;  // the host's window to get the focus back in quick view; null: the Lister
};

// The view was closed while the capture waited: the viewer has no place to go.
HWND AbandonCapture(HANDLE process) {
  EndViewerProcess(process);
  return nullptr;
}

// Each capture call waits for the viewer's thread, and while it waits the host's thread handles
// what other threads send it: the host may close the view in the middle, which frees the view
// record. So the record is taken from the container anew after every call. The view's watch
// ends a viewer that hangs meanwhile, which frees the waiting call.
HWND CaptureViewerWindow(const Capture& capture, bool listerMode) {
  View* view = FindLiveView(capture.container);
  if (view == nullptr) return AbandonCapture(capture.process);
  StartViewerWatch(capture.process, capture.viewerWindow, capture.container, &view->watch);
  StripSystemMenu(capture.viewerWindow);

  view = FindLiveView(capture.container);
  if (view == nullptr) return AbandonCapture(capture.process);
  HookViewerThread(view, capture.viewerThread);
  EmbedViewerWindow(capture.viewerWindow, capture.container, capture.listerWindow,
                    capture.focusWindow);
  if (FindLiveView(capture.container) == nullptr) return AbandonCapture(capture.process);
  ShowView(capture.viewerWindow, capture.listerWindow, listerMode);

  view = FindLiveView(capture.container);
  if (view == nullptr) return AbandonCapture(capture.process);
  if (ViewerWasEnded(view->watch)) {
    DestroyWindow(capture.container);  // removes the hooks and gives FullScreen back
    return nullptr;
  }
  return capture.container;
}

}  // namespace

HWND RunLoadSequence(HWND listerWindow, const wchar_t* fileName) {
  bool listerMode = GetParent(listerWindow) == nullptr;
  HWND focusWindow = listerMode ? nullptr : HostFocus();

  ViewerPaths paths{};
  if (!ResolveViewerPaths(gModule, &paths)) return nullptr;

  HandOverGhostscript(paths);

  const wchar_t* modeIniFolder = listerMode ? paths.listerIniFolder : paths.quickViewIniFolder;
  wchar_t modeIniFile[kTextCapacity] = {};
  if (!ChooseModeIniFile(paths, listerMode, modeIniFile)) return nullptr;
  if (modeIniFile[0] != L'\0' && GetFileAttributesW(modeIniFile) == INVALID_FILE_ATTRIBUTES) {
    ShowError(plugin_files::kCannotFindModeIni, {modeIniFile});
    return nullptr;
  }

  wchar_t commandLine[viewer::kCommandLineCapacity];
  if (!BuildCommandLine(fileName, modeIniFolder, commandLine)) return nullptr;

  const wchar_t* settingsPath = modeIniFile[0] != L'\0' ? modeIniFile : paths.defaultViewerIni;
  View* view = OpenView(settingsPath);
  if (view == nullptr) return nullptr;

  RegisterContainerClass();
  HWND container = CreateContainerWindow(listerWindow, view);
  if (container == nullptr) {
    CloseView(view);  // no container will give FullScreen back
    return nullptr;
  }

  HANDLE process = nullptr;
  DWORD processId = 0;
  DWORD viewerThread = 0;
  if (!StartViewer(paths, commandLine, &process, &processId, &viewerThread)) {
    DestroyWindow(container);  // its destruction gives FullScreen back
    return nullptr;
  }

  HWND viewerWindow = nullptr;
  ViewerWait outcome = WaitForViewerWindow(process, processId, container, &viewerWindow);
  if (EndWaitWithoutWindow(outcome, process, container, listerWindow, listerMode)) {
    CloseHandle(process);
    return nullptr;
  }

  HWND captured = CaptureViewerWindow(
      {process, viewerWindow, viewerThread, container, listerWindow, focusWindow}, listerMode);
  CloseHandle(process);
  return captured;
}
