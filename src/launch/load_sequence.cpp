// The load sequence behind ListLoadW, on the host's GUI thread: viewer paths, Ghostscript,
// command line, full-screen hand-over, container window, viewer start, wait, capture.
#include "launch/load_sequence.h"

#include <cwchar>

#include "contracts/host.h"
#include "contracts/plugin_files.h"
#include "contracts/viewer.h"
#include "launch/command_line.h"
#include "launch/full_screen.h"
#include "launch/ghostscript.h"
#include "launch/system_menu.h"
#include "launch/viewer_paths.h"
#include "launch/viewer_wait.h"
#include "plugin/error_message.h"
#include "plugin/exports.h"
#include "plugin/module_state.h"

namespace {

void RegisterContainerClass() {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_PARENTDC;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = gModule;
  windowClass.hIcon = LoadIconW(nullptr, IDI_WINLOGO);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = viewer::kWindowClass;
  windowClass.hIconSm = LoadIconW(nullptr, IDI_WINLOGO);
  // From the second load on the class exists already and serves as it is.
  RegisterClassExW(&windowClass);
}

HWND CreateContainerWindow(HWND listerWindow, View* view) {
  HWND container = CreateWindowExW(0, viewer::kWindowClass, L"",
                                   WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0,
                                   listerWindow, nullptr, gModule, nullptr);
  if (container == nullptr) return nullptr;
  SetWindowLongPtrW(container, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
  BringWindowToTop(container);
  return container;
}

bool StartViewer(const ViewerPaths& paths, wchar_t* commandLine, PROCESS_INFORMATION* process) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESIZE | STARTF_USEPOSITION |
                    STARTF_FORCEOFFFEEDBACK;
  startup.wShowWindow = SW_SHOW;
  return CreateProcessW(paths.viewerProgram, commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, process) != FALSE;
}

// Long enough for the system to take an ended process down, so that none is seen running after
// the load returns.
constexpr DWORD kViewerEndWaitMs = 200;

void EndViewer(const PROCESS_INFORMATION& process) {
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, kViewerEndWaitMs);
}

void CloseProcessHandles(const PROCESS_INFORMATION& process) {
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

void HookViewerThread(View* view, DWORD viewerThread) {
  view->keyboardHook = SetWindowsHookExW(WH_KEYBOARD, KbdProc, gModule, viewerThread);
  view->mouseHook = SetWindowsHookExW(WH_MOUSE, MouseProc, gModule, viewerThread);
}

void EmbedViewerWindow(HWND viewerWindow, HWND container, HWND listerWindow) {
  SetParent(viewerWindow, container);
  SetWindowLongPtrW(viewerWindow, GWL_STYLE, WS_CHILD);
  SetForegroundWindow(listerWindow);
  SetParent(viewerWindow, container);
  SetFocus(listerWindow);
  ShowWindow(viewerWindow, SW_SHOWMAXIMIZED);
}

// A Lister window that the host keeps maximized is shown through the viewer window.
void ShowView(HWND viewerWindow, HWND listerWindow, bool listerMode) {
  wchar_t hostSettings[kTextCapacity] = {};
  wchar_t maximized[kTextCapacity] = {};
  DWORD length = GetEnvironmentVariableW(host::kSettingsFileVariable, hostSettings, kTextCapacity);
  if (length > 0 && length < static_cast<DWORD>(kTextCapacity)) {
    GetPrivateProfileStringW(host::kListerSection, host::kMaximizedKey, L"", maximized,
                             kTextCapacity, hostSettings);
  }
  if (listerMode && wcschr(maximized, L'1') != nullptr) {
    ShowWindow(viewerWindow, SW_SHOW);
  } else {
    ShowWindow(listerWindow, SW_SHOW);
  }
}

}  // namespace

HWND RunLoadSequence(HWND listerWindow, const wchar_t* fileName) {
  bool listerMode = GetParent(listerWindow) == nullptr;

  ViewerPaths paths;
  if (!ResolveViewerPaths(gModule, &paths)) return nullptr;

  HandOverGhostscript(paths);

  const wchar_t* modeIniFolder = listerMode ? paths.listerIniFolder : paths.quickViewIniFolder;
  wchar_t modeIniFile[kTextCapacity];
  if (!FormModeIniFile(paths, modeIniFolder, modeIniFile)) return nullptr;
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
    CloseView(view);
    return nullptr;
  }

  PROCESS_INFORMATION process = {};
  if (!StartViewer(paths, commandLine, &process)) {
    DestroyWindow(container);
    return nullptr;
  }

  HWND viewerWindow = nullptr;
  switch (WaitForViewerWindow(process, container, &viewerWindow)) {
    case ViewerWait::kFound:
      break;
    case ViewerWait::kArrowKey:
    case ViewerWait::kTimedOut:
      DestroyWindow(listerWindow);
      EndViewer(process);
      CloseProcessHandles(process);
      return nullptr;
    case ViewerWait::kViewerExited:
      DestroyWindow(container);
      CloseProcessHandles(process);
      return nullptr;
    case ViewerWait::kContainerGone:
      EndViewer(process);
      CloseProcessHandles(process);
      return nullptr;
  }
  DWORD viewerThread = process.dwThreadId;
  CloseProcessHandles(process);

  StripSystemMenu(viewerWindow);
  HookViewerThread(view, viewerThread);
  EmbedViewerWindow(viewerWindow, container, listerWindow);
  ShowView(viewerWindow, listerWindow, listerMode);
  return container;
}
