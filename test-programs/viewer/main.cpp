// Stand-in image viewer for the plugin's tests and demo: it reads its command line and settings
// file, shows one window of class "Kelvane" from the primary thread, steps through the folder on
// the navigation keys and logs every event that a test may want to check (see README.md).
// Fault switches in the environment make it late, absent or crashing on purpose.
#include <windows.h>

#include <objbase.h>

#include <string>

#include "busy.h"
#include "log.h"
#include "settings.h"
#include "window.h"

namespace {

// A viewer that stops answering still ends by itself at this limit, so that a test that forgets
// it leaves nothing behind.
constexpr DWORD kUnresponsiveLimitMs = 60 * 1000;
constexpr DWORD kSleepSliceMs = 100;
// The crash fault ends the viewer this long after its window was made.
constexpr UINT kCrashAfterMs = 300;

void LogEnvironment(const wchar_t* name) {
  std::wstring value;
  if (GetEnvironmentText(name, &value)) {
    LogLine(std::wstring(L"env ") + name + L"=" + value);
  } else {
    LogLine(std::wstring(L"env ") + name + L"-unset");
  }
}

int LogExit(int code) {
  LogLine(L"exit code=" + std::to_wstring(code));
  return code;
}

// Busy without handling any message, as a viewer decoding a huge picture or waiting on a share.
void StopAnswering() {
  const ULONGLONG start = GetTickCount64();
  while (GetTickCount64() - start < kUnresponsiveLimitMs) {
    Sleep(kSleepSliceMs);
  }
}

// The message loop. Once the event a test named in KELV_HANG_EVENT is set, the viewer stops
// handling messages for good and ends at the limit without destroying its window (or, with
// KELV_BUSY=signal:<ms>, is busy for that long and carries on).
int RunMessageLoop() {
  std::wstring hangEventName;
  HANDLE hangEvent = GetEnvironmentText(L"KELV_HANG_EVENT", &hangEventName)
                         ? OpenEventW(SYNCHRONIZE, FALSE, hangEventName.c_str())
                         : nullptr;
  DWORD handleCount = hangEvent != nullptr ? 1 : 0;
  MSG message = {};
  for (;;) {
    const DWORD woken =
        MsgWaitForMultipleObjects(handleCount, &hangEvent, FALSE, INFINITE, QS_ALLINPUT);
    if (handleCount == 1 && woken == WAIT_OBJECT_0) {
      if (BusyMomentAsked() == BusyMoment::kSignal) {
        // Busy for a while, then the loop goes on, no longer watching the event.
        BeBusyAt(BusyMoment::kSignal);
        handleCount = 0;
        continue;
      }
      LogLine(L"hang");
      StopAnswering();
      ExitProcess(static_cast<UINT>(LogExit(4)));
    }
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        if (hangEvent != nullptr) {
          CloseHandle(hangEvent);
        }
        return static_cast<int>(message.wParam);
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

// A real crash would start the debugger under Wine; ending the process hard has the same
// outcome for the host: the window goes away without any clean-up message.
void CALLBACK CrashNow(HWND, UINT, UINT_PTR, DWORD) {
  TerminateProcess(GetCurrentProcess(), 0xC0000005);
}

// Makes the file absolute when it has no folder, so that navigation knows where to look.
std::wstring WithFolder(const std::wstring& file) {
  if (file.empty() || file.find_first_of(L"\\/") != std::wstring::npos) {
    return file;
  }
  wchar_t full[MAX_PATH] = {};
  const DWORD length = GetFullPathNameW(file.c_str(), MAX_PATH, full, nullptr);
  return (length == 0 || length >= MAX_PATH) ? file : std::wstring(full, length);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The counter is system-wide: a host can set the start against its own clock.
  LARGE_INTEGER startedAt = {};
  QueryPerformanceCounter(&startedAt);
  OpenLog();
  LogLine(L"start pid=" + std::to_wstring(GetCurrentProcessId()) + L" tid=" +
          std::to_wstring(GetCurrentThreadId()) + L" qpc=" + std::to_wstring(startedAt.QuadPart));
  const wchar_t* commandLine = GetCommandLineW();
  LogLine(std::wstring(L"cmdline ") + commandLine);

  const CommandLine arguments = ParseCommandLine(commandLine);
  const std::wstring iniPath = FindSettingsPath(arguments);
  LogLine(L"ini " + iniPath);
  std::wstring fullScreen;
  const bool hasFullScreen = ReadFullScreen(iniPath, &fullScreen);
  LogLine(hasFullScreen ? L"fullscreen " + fullScreen : std::wstring(L"fullscreen-absent"));
  LogEnvironment(L"GS_LIB");
  LogEnvironment(L"COMMANDER_INI");

  std::wstring fault;
  GetEnvironmentText(L"KELV_FAULT", &fault);
  if (fault == L"exit") {
    return LogExit(3);
  }
  const unsigned long delayMs = GetEnvironmentNumber(L"KELV_DELAY_MS", 0);
  if (delayMs > 0) {
    Sleep(delayMs);
  }

  // As programs do for a single-instance check or DDE: every top-level window is asked, and the
  // send returns only once each has answered.
  std::wstring broadcast;
  if (GetEnvironmentText(L"KELV_BROADCAST", &broadcast)) {
    SendMessageW(HWND_BROADCAST, RegisterWindowMessageW(broadcast.c_str()), 0, 0);
    LogLine(L"broadcast answered");
  }

  // COM is for the picture decoder only; without it pictures fall back to their names.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

  WindowSetup setup;
  setup.file = WithFolder(arguments.file);
  setup.fullScreen = hasFullScreen && fullScreen == L"1";
  GetEnvironmentText(L"KELV_MIRROR", &setup.mirrorFile);

  LONGLONG createdAt = 0;
  HWND window = CreateViewerWindow(instance, setup, &createdAt);
  if (window == nullptr) {
    if (SUCCEEDED(com)) {
      CoUninitialize();
    }
    return LogExit(1);
  }
  LARGE_INTEGER frequency = {};
  QueryPerformanceFrequency(&frequency);
  LogLine(L"window hwnd=" + HexText(reinterpret_cast<ULONG_PTR>(window)) + L" qpc=" +
          std::to_wstring(createdAt) + L" freq=" + std::to_wstring(frequency.QuadPart));
  LogLine(L"title " + TitleFor(setup.file));
  UpdateWindow(window);

  if (fault == L"crash") {
    // A thread timer keeps the message loop running until then, so the host can still capture us.
    SetTimer(nullptr, 0, kCrashAfterMs, CrashNow);
  }

  if (fault == L"noloop") {
    // The window is there, but its thread never gets to handle a message.
    StopAnswering();
    return LogExit(0);
  }

  // When the message loop starts, calls from other threads on the window (the host's SetParent)
  // can be answered; the benchmark sets the host's capture against this moment.
  LARGE_INTEGER loopAt = {};
  QueryPerformanceCounter(&loopAt);
  LogLine(L"loop qpc=" + std::to_wstring(loopAt.QuadPart));
  BeBusyAt(BusyMoment::kLoop);

  const int exitCode = RunMessageLoop();
  if (SUCCEEDED(com)) {
    CoUninitialize();
  }
  return LogExit(exitCode);
}
