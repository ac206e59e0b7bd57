// The plugin in a real host: the portable Double Commander of the test's own width, which
// scripts/test.sh unpacks into the test prefix and names in KELVANE_DOUBLECMD_EXE. It is started
// with its own settings folder, naming the plugin under test, and driven with real input: the view
// opens in a Lister window and in the quick-view pane, the host stays idle and answers, and closing
// leaves nothing.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <tlhelp32.h>

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "view_fixture.h"

using namespace testing_support;

namespace {

constexpr const wchar_t* kHostVariable = L"KELVANE_DOUBLECMD_EXE";
// The host's window classes as it shows them: its main window bears the class name of Total
// Commander's, its other windows the toolkit's "Window".
constexpr const wchar_t* kMainClass = L"TTOTAL_CMD";
constexpr const wchar_t* kToolkitClass = L"Window";
constexpr const wchar_t* kPopupMenuClass = L"#32768";

// The idle bound: processor time of the host over the measured time, 5 % of one core.
constexpr DWORD kIdleMeasureMs = 5000;
constexpr double kIdleShare = 0.05;

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// Processor time of a process so far. Wine answers GetProcessTimes for another process with
// fixed values; its threads' times are real there, and their sum is the process's.
double ProcessCpuMilliseconds(HANDLE process, DWORD processId) {
  FILETIME created, exited, kernel, user;
  if (!UnderWine()) {
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    return CpuMilliseconds(kernel, user);
  }
  double total = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != processId) continue;
    HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID);
    if (thread == nullptr) continue;
    if (GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
      total += CpuMilliseconds(kernel, user);
    }
    CloseHandle(thread);
  }
  CloseHandle(snapshot);
  return total;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectWindowAndDescendants(HWND window, LPARAM list) {
  CollectWindow(window, list);
  EnumChildWindows(window, CollectWindow, list);
  return TRUE;
}

// Every window of a thread, top-level ones and all their descendants.
std::vector<HWND> WindowsOfThread(DWORD thread) {
  std::vector<HWND> windows;
  EnumThreadWindows(thread, CollectWindowAndDescendants, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// Copies the files of a folder (no subfolders) into another.
void CopyFolderFiles(const std::wstring& from, const std::wstring& to) {
  WIN32_FIND_DATAW found = {};
  HANDLE search = FindFirstFileW((from + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    CopyFileW((from + found.cFileName).c_str(), (to + found.cFileName).c_str(), FALSE);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

std::string XmlEscaped(const std::string& text) {
  std::string escaped;
  for (char c : text) escaped += c == '&' ? std::string("&amp;") : std::string(1, c);
  return escaped;
}

std::wstring WithoutTrailingBackslash(std::wstring path) {
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

class DoubleCommander : public EmbeddedView {
 protected:
  void SetUp() override {
    wchar_t exe[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(kHostVariable, exe, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !FileExists(exe)) {
      GTEST_SKIP() << "Double Commander is not unpacked: scripts/test.sh unpacks it from "
                      "../shared/hosts/doublecmd-1.1.32-win<width>.tar.xz (or the archive that "
                      "KELVANE_DOUBLECMD<width> names) and names it in KELVANE_DOUBLECMD_EXE";
    }
    hostExe_ = exe;
    PrepareHost();
    WriteSettings();
    SetUserFullScreen(L"1");
    if (!HasFatalFailure()) StartHost();
  }

  void TearDown() override {
    if (process_ != nullptr) {
      // A host that does not close within the bound is ended: nothing is left running.
      if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        PostMessageW(main_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_, 5000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
      }
      CloseHandle(process_);
    }
    EmbeddedView::TearDown();
  }

  // What a fixture sets up before the host starts, which reads its folders and environment then.
  virtual void PrepareHost() {}

  // The host's own settings folder with the plugin under test as its only lister plugin, named
  // with the detect string the plugin answers.
  void WriteSettings() {
    std::wstring shipped = hostExe_.substr(0, hostExe_.find_last_of(L'\\') + 1) + L"settings\\";
    CopyFolderFiles(shipped, settings_.path());
    std::string xml = ReadFileBytes(settings_.path() + L"doublecmd.xml");
    size_t start = xml.find("<WlxPlugins>");
    size_t end = xml.find("</WlxPlugins>");
    ASSERT_TRUE(start != std::string::npos && end != std::string::npos)
        << "the host's settings name no lister plugins";
    char detect[2048] = {};
    plugin_.ListGetDetectString(detect, sizeof(detect));
    std::string plugin =
        "<WlxPlugins><WlxPlugin Enabled=\"True\"><Name>Kelvane</Name><Path>" +
        Narrow(plugin_.folder()) + (OwnWidth() == Width::k64 ? "Kelvane.wlx64" : "Kelvane.wlx") +
        "</Path><DetectString>" + XmlEscaped(detect) + "</DetectString></WlxPlugin>";
    xml.replace(start, end - start, plugin);
    WriteFileBytes(settings_.path() + L"doublecmd.xml", xml);
  }

  // Both panels show the pictures; the left one, with the cursor on "..", has the focus.
  void StartHost() {
    std::wstring pictures = WithoutTrailingBackslash(pictures_.path());
    std::wstring commandLine = L"\"" + hostExe_ + L"\" --no-splash \"--config-dir=" +
                               WithoutTrailingBackslash(settings_.path()) + L"\" -L \"" + pictures +
                               L"\" -R \"" + pictures + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessW(hostExe_.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &started))
        << "error " << GetLastError();
    CloseHandle(started.hThread);
    process_ = started.hProcess;
    processId_ = started.dwProcessId;
    ASSERT_TRUE(WaitUntil(
        [&] {
          main_ = FindWindowW(kMainClass, nullptr);
          return main_ != nullptr && ProcessOf(main_) == processId_ && IsWindowVisible(main_);
        },
        20000))
        << "the host's main window did not show";
    thread_ = GetWindowThreadProcessId(main_, nullptr);
    ASSERT_TRUE(WaitUntil([&] {
      fileList_ = FocusOfHost();
      return fileList_ != nullptr && IsChild(main_, fileList_);
    })) << "no file list took the focus";
    PumpFor(300);  // keys pressed before a new window settles are taken back under Wine
    // While the host starts, the focus may pass through another of its windows first: the file
    // list is the window that still has it once the host has settled.
    fileList_ = FocusOfHost();
    ASSERT_TRUE(fileList_ != nullptr && IsChild(main_, fileList_)) << "no file list kept the focus";
  }

  HWND FocusOfHost() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(thread_, &info) ? info.hwndFocus : nullptr;
  }

  // Under Wine no window is active after a load: a click on the file list's empty lower part
  // gives it the keyboard again without moving its cursor. A click that only activates the
  // host's window, or closes a menu still on its way out, is followed by another (three at most).
  void ClickFileList() {
    RECT list = {};
    GetWindowRect(fileList_, &list);
    bool focused = false;
    for (int attempt = 0; attempt < 3 && !focused; ++attempt) {
      ClickAt({(list.left + list.right) / 2, list.bottom - 20});
      focused = WaitUntil([&] { return FocusOfHost() == fileList_; }, 2000);
    }
    ASSERT_TRUE(focused) << "the file list";
  }

  // The plugin's window of the host that holds a viewer titled so: the container.
  // The plugin's windows in the host: the containers (the viewers' windows in them are of the
  // same class, in another process).
  std::vector<HWND> Containers() const {
    std::vector<HWND> containers;
    for (HWND window : WindowsOfThread(thread_)) {
      if (ClassOf(window) == L"Kelvane" && ProcessOf(window) == processId_) {
        containers.push_back(window);
      }
    }
    return containers;
  }

  // The container that holds a viewer titled so.
  HWND FindView(const std::wstring& viewerTitle) const {
    for (HWND container : Containers()) {
      HWND viewer = GetWindow(container, GW_CHILD);
      if (viewer != nullptr && TitleOf(viewer) == viewerTitle) return container;
    }
    return nullptr;
  }
  // What the host shows besides its main window, its error report and how far the viewer got:
  // a dialog the host shows meanwhile takes the keys the test presses.
  std::string WhatHappened() const {
    std::string found = "views: " + std::to_string(Containers().size()) + "; other windows:";
    for (HWND window : WindowsOfThread(thread_)) {
      if (window == main_ || !IsWindowVisible(window) || GetAncestor(window, GA_ROOT) == main_) {
        continue;
      }
      found += " [" + Narrow(ClassOf(window)) + " '" + Narrow(TitleOf(window)) + "']";
    }
    // The host writes what it reports as an error, with its stack, to this file.
    std::string errors = ReadFileBytes(settings_.path() + L"doublecmd.err");
    if (!errors.empty()) found += "; the host's error report:\n" + errors;
    return found + "; the viewer got: " + log_.Progress();
  }

  HWND WaitForView(const std::wstring& viewerTitle) const {
    HWND container = nullptr;
    WaitUntil([&] { return (container = FindView(viewerTitle)) != nullptr; }, 15000);
    return container;
  }

  // The viewer's window in the container in the host's window; another process's.
  void ExpectEmbedded(HWND container, HWND hostWindow) const {
    HWND viewer = GetWindow(container, GW_CHILD);
    EXPECT_EQ(ClassOf(viewer), L"Kelvane");
    EXPECT_EQ(GetAncestor(viewer, GA_PARENT), container);
    EXPECT_EQ(ProcessOf(container), processId_);
    EXPECT_NE(ProcessOf(viewer), processId_);
    EXPECT_TRUE(GetAncestor(container, GA_ROOT) == hostWindow) << "in the host's window";
  }

  double HostCpuShareWhileIdle() const {
    double before = ProcessCpuMilliseconds(process_, processId_);
    PumpFor(kIdleMeasureMs);
    return (ProcessCpuMilliseconds(process_, processId_) - before) / kIdleMeasureMs;
  }

  // A click on the first item of a window's menu bar opens its menu; a second click closes it.
  bool MenuOpensAndClosesOnClicks(HWND window) const {
    POINT client = {0, 0};
    ClientToScreen(window, &client);
    POINT item = {client.x + 12, client.y - GetSystemMetrics(SM_CYMENU) / 2};
    auto menuShown = [&] {
      HWND menu = FindWindowW(kPopupMenuClass, nullptr);
      return menu != nullptr && IsWindowVisible(menu) && ProcessOf(menu) == processId_;
    };
    // Under Wine no window is active after a load: a first click that only activates the host is
    // followed by a second.
    bool opened = false;
    for (int click = 0; click < 2 && !opened; ++click) {
      ClickAt(item);
      opened = WaitUntil(menuShown, 3000);
    }
    ClickAt(item);
    return opened && WaitUntil([&] { return !menuShown(); }, 3000);
  }

  void PressWith(WORD modifier, WORD key) {
    Send({KeyInput(modifier, true), KeyInput(key, true), KeyInput(key, false),
          KeyInput(modifier, false)});
  }

  std::wstring hostExe_;
  TempFolder settings_{L"dc-settings"};
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  DWORD thread_ = 0;
  HWND main_ = nullptr;
  HWND fileList_ = nullptr;
};

TEST_F(DoubleCommander, AListerWindowHoldsTheViewIdlesAnswersFollowsItsSizeAndClosesOnEsc) {
  Press(VK_DOWN);
  Press(VK_F3);
  HWND container = WaitForView(L"a.bmp - Kelvane");
  ASSERT_NE(container, nullptr) << "no view opened; the viewer got: " << log_.Progress();
  HWND lister = GetParent(container);
  EXPECT_EQ(ClassOf(lister), kToolkitClass);
  ExpectEmbedded(container, lister);
  EXPECT_TRUE(WaitUntil([&] { return TitleOf(lister) == L"Lister (kelvane) - [a.bmp]"; }))
      << "the caption reads " << Narrow(TitleOf(lister));

  EXPECT_LT(HostCpuShareWhileIdle(), kIdleShare) << "the host is busy with a view open";
  EXPECT_TRUE(MenuOpensAndClosesOnClicks(lister)) << "the Lister's menu";

  // Posted: a host that does not answer must not hold the test.
  ShowWindowAsync(lister, SW_RESTORE);
  SetWindowPos(lister, nullptr, 40, 30, 700, 500,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
  HWND viewer = GetWindow(container, GW_CHILD);
  RECT client = {};
  RECT area = {};
  EXPECT_TRUE(WaitUntil([&] {
    GetClientRect(container, &client);
    MapWindowPoints(container, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    GetWindowRect(viewer, &area);
    return EqualRect(&client, &area) && area.right - area.left < 700;
  })) << "the viewer lies at "
      << area.left << "," << area.top << " to " << area.right << "," << area.bottom;

  Press(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(lister); })) << "Esc closes the Lister";
  EXPECT_TRUE(NoViewerLeft());
  EXPECT_EQ(FullScreenValue(), L"1");
}

TEST_F(DoubleCommander, TheQuickViewPaneIdlesStepsWithTheFileListAndTheHostClosesCleanly) {
  Press(VK_DOWN);
  PressWith(VK_CONTROL, 'Q');
  HWND container = WaitForView(L"a.bmp - Kelvane");
  ASSERT_NE(container, nullptr) << "no view opened; the viewer got: " << log_.Progress();
  HWND pane = GetParent(container);
  EXPECT_NE(GetParent(pane), nullptr) << "the pane lies inside a panel";
  ExpectEmbedded(container, main_);
  DWORD first = ProcessOf(GetWindow(container, GW_CHILD));

  EXPECT_LT(HostCpuShareWhileIdle(), kIdleShare) << "the host is busy with a view open";
  EXPECT_TRUE(MenuOpensAndClosesOnClicks(main_)) << "the main window's menu";

  ClickFileList();
  Press(VK_DOWN);
  HWND next = WaitForView(L"b.bmp - Kelvane");
  ASSERT_NE(next, nullptr) << "the next picture did not open";
  ExpectEmbedded(next, main_);
  EXPECT_EQ(GetParent(next), pane) << "in the same pane";
  EXPECT_FALSE(IsWindow(container)) << "in place of the first view";
  EXPECT_TRUE(WaitUntil([&] {
    std::vector<DWORD> viewers = RunningViewerProcesses();
    return viewers.size() == 1 && viewers[0] != first;
  })) << "the first picture's viewer ends";

  ClickFileList();
  PressWith(VK_MENU, 'X');
  EXPECT_EQ(WaitForSingleObject(process_, 10000), WAIT_OBJECT_0) << "Alt+X ends the host";
  EXPECT_TRUE(NoViewerLeft());
  EXPECT_EQ(FullScreenValue(), L"1");
}

// The folder as the host sorts it, by name: a.bmp, b.bmp, c.bmp, then p01.bmp to p24.bmp.
std::vector<std::wstring> FolderPictures() {
  std::vector<std::wstring> names = {L"a.bmp", L"b.bmp", L"c.bmp"};
  for (int i = 1; i <= 24; ++i) {
    wchar_t name[16] = {};
    swprintf(name, 16, L"p%02d.bmp", i);
    names.push_back(name);
  }
  return names;
}

// The user moves on before the picture shows: a viewer that needs 1.5 s for its window, and a
// folder of two dozen pictures more to flip through.
class DoubleCommanderSlowViewer : public DoubleCommander {
 protected:
  void SetUp() override {
    // Under Wine the host now and then reports an access violation while the user flips through
    // pictures, and shows its error dialog: its process heap is found damaged (in the system's
    // INI-file cache, once in its list of loaded libraries) by code its reports do not show. The
    // cause is not found yet. These cases run only when asked for.
    if (UnderWine() && GetEnvironmentVariableW(L"KELVANE_FLIPPING_CASES", nullptr, 0) == 0) {
      GTEST_SKIP() << "the host crashes now and then under Wine while the user flips through "
                      "pictures; set KELVANE_FLIPPING_CASES=1 to run these cases";
    }
    DoubleCommander::SetUp();
  }

  void PrepareHost() override {
    delay_.reset(new ScopedEnvironment(L"KELV_DELAY_MS", L"1500"));
    std::vector<std::wstring> names = FolderPictures();
    for (size_t i = 3; i < names.size(); ++i) PictureFolder::WriteBitmap(pictures_.File(names[i]));
  }

  // The pictures the host had the viewer started on, in order: the file name of each command line.
  std::vector<std::wstring> StartedPictures() const {
    std::vector<std::wstring> pictures;
    for (const std::wstring& line : log_.LinesStartingWith(L"cmdline ")) {
      size_t name = line.find_last_of(L'\\') + 1;
      pictures.push_back(line.substr(name, line.find(L'"', name) - name));
    }
    return pictures;
  }

  static int PlaceOf(const std::wstring& picture) {
    std::vector<std::wstring> names = FolderPictures();
    return static_cast<int>(std::find(names.begin(), names.end(), picture) - names.begin());
  }

  // Exactly one view is left, of this picture, inside a pane of a panel (this one, when given),
  // and one viewer runs.
  void ExpectOnlyViewOf(const std::wstring& picture, HWND pane = nullptr) {
    HWND container = WaitForView(picture + L" - Kelvane");
    ASSERT_NE(container, nullptr) << "no view of " << Narrow(picture) << "; " << WhatHappened();
    if (pane == nullptr) pane = GetParent(container);
    PumpFor(2000);  // a view the host still had queued would show by now
    EXPECT_EQ(Containers().size(), 1u) << "views left in the host";
    EXPECT_TRUE(IsWindow(container) && GetParent(container) == pane) << "the view in the pane";
    EXPECT_NE(GetParent(pane), nullptr) << "the pane lies inside a panel";
    EXPECT_EQ(RunningViewerProcesses().size(), 1u) << "viewers running";
  }

  std::unique_ptr<ScopedEnvironment> delay_;
};

TEST_F(DoubleCommanderSlowViewer, DownDuringTheLoadLeavesThePaneAndOpensThePictureUnderTheCursor) {
  // Quick view is on before the user moves to the picture, as when flipping through a folder.
  PressWith(VK_CONTROL, 'Q');
  PumpFor(500);
  Press(VK_DOWN);
  HWND pane = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    std::vector<HWND> containers = Containers();
    pane = containers.empty() ? nullptr : GetParent(containers[0]);
    return pane != nullptr;
  })) << "the load of a.bmp did not begin";
  ASSERT_TRUE(log_.WaitForLine(L"env COMMANDER_INI")) << "the viewer did not start";
  HoldKey(VK_DOWN, 80);

  ExpectOnlyViewOf(L"b.bmp", pane);
  EXPECT_TRUE(MenuOpensAndClosesOnClicks(main_)) << "the main window's menu";
}

TEST_F(DoubleCommanderSlowViewer,
       HoldingDownAndThenTappingItLeavesOneViewOfThePictureUnderTheCursor) {
  PressWith(VK_CONTROL, 'Q');
  PumpFor(500);
  // Held: the keyboard repeats the key every 33 ms, twelve times in all. Then three taps, each
  // before the picture of the one before could show.
  for (int repeat = 0; repeat < 12; ++repeat) {
    PressKey(VK_DOWN, true);
    PumpFor(33);
  }
  PressKey(VK_DOWN, false);
  for (int tap = 0; tap < 3; ++tap) {
    PumpFor(250);
    HoldKey(VK_DOWN, 80);
  }
  // The host starts a viewer on each picture it is still asked to show, the last one on the
  // picture under the cursor. Each tap came before the picture of the one before could show, so
  // each started a load one place further on.
  ASSERT_TRUE(WaitUntil([&] { return StartedPictures().size() >= 3; }, 15000)) << WhatHappened();
  PumpFor(500);
  std::vector<std::wstring> started = StartedPictures();
  const std::wstring& firstTap = started[started.size() - 3];
  EXPECT_EQ(PlaceOf(started.back()) - PlaceOf(firstTap), 2)
      << "the taps started " << Narrow(firstTap) << " .. " << Narrow(started.back());
  ExpectOnlyViewOf(started.back());
}

}  // namespace
