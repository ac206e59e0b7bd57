// A viewer that misbehaves never freezes the host for long, never leaves a process behind and
// never costs the user a setting: one that exits without a window, one that is slow, one that
// never shows a window, one that is busy or hung while it is captured, embedded or closed, one
// that crashes after it was captured, a host that closes the view in the middle of the load, and
// the user's way out. A viewer is ended only once Windows would call it hung.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "view_fixture.h"

using namespace testing_support;

namespace {

// A call of the host that would block on the viewer must not hang the suite: past the limit the
// watchdog ends every viewer, which frees the call, and Stop() tells the test it had to.
class Watchdog {
 public:
  explicit Watchdog(DWORD limitMs) : done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = std::thread([this, limitMs] {
      if (WaitForSingleObject(done_, limitMs) != WAIT_TIMEOUT) return;
      fired_ = true;
      EndAllViewers();
    });
  }
  ~Watchdog() { Stop(); }
  bool Stop() {
    SetEvent(done_);
    if (thread_.joinable()) thread_.join();
    return fired_;
  }

 private:
  HANDLE done_;
  std::thread thread_;
  std::atomic<bool> fired_{false};
};

// An event the viewer watches (KELV_HANG_EVENT): once set, the viewer stops handling messages.
class HangSignal {
 public:
  HangSignal()
      : name_(L"kelvane-hang-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(GetTickCount64())),
        event_(CreateEventW(nullptr, TRUE, FALSE, name_.c_str())),
        variable_(L"KELV_HANG_EVENT", name_.c_str()) {}
  ~HangSignal() { CloseHandle(event_); }
  void Hang() { SetEvent(event_); }

 private:
  std::wstring name_;
  HANDLE event_;
  ScopedEnvironment variable_;
};

// Asks the host's thread from another thread, every 100 ms, and keeps the longest time it took
// to answer: how long the host's thread was held meanwhile.
class HostProbe {
 public:
  explicit HostProbe(HWND hostWindow) : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = std::thread([this, hostWindow] {
      do {
        ULONGLONG start = GetTickCount64();
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(hostWindow, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
        ULONGLONG took = GetTickCount64() - start;
        if (took > longest_) longest_ = took;
      } while (WaitForSingleObject(stop_, 100) == WAIT_TIMEOUT);
    });
  }
  ~HostProbe() {
    Stop();
    CloseHandle(stop_);
  }
  ULONGLONG Stop() {
    SetEvent(stop_);
    if (thread_.joinable()) thread_.join();
    return longest_;
  }

 private:
  HANDLE stop_;
  std::thread thread_;
  std::atomic<ULONGLONG> longest_{0};
};

// Pixels of the window's text colour in the band across the middle of a window's client area.
int CountTextPixels(HWND window, const RECT& client) {
  int count = 0;
  COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  HDC dc = GetDC(window);
  for (int y = client.bottom / 2 - 8; y <= client.bottom / 2 + 8; ++y) {
    for (int x = 0; x < client.right; ++x) {
      if (GetPixel(dc, x, y) == text) ++count;
    }
  }
  ReleaseDC(window, dc);
  return count;
}

// The user keeps the viewer full screen; whatever the viewer does, the setting comes back.
class ViewerFaults : public EmbeddedView {
 protected:
  void SetUp() override { SetUserFullScreen(L"1"); }
};

TEST_F(ViewerFaults, AViewerThatExitsWithoutAWindowEndsTheLoadAtOnce) {
  ScopedEnvironment fault(L"KELV_FAULT", L"exit");
  ListerSide();
  ULONGLONG start = GetTickCount64();
  EXPECT_EQ(Open(), nullptr);
  EXPECT_LT(GetTickCount64() - start, 5000u) << "the load noticed the exit";
  EXPECT_TRUE(IsWindow(listerSide_)) << "the Lister window stays";
  EXPECT_EQ(GetWindow(listerSide_, GW_CHILD), nullptr) << "the container was destroyed";
  EXPECT_EQ(FullScreenValue(), L"1");
}

TEST_F(ViewerFaults, WaitingForASlowViewerCostsTheHostThreadAlmostNoProcessor) {
  // The clock must see real work, or a figure of zero below would prove nothing. On a loaded
  // machine the thread gets less of the processor, so it spins until it has had enough (bounded).
  double before = ThreadCpuMilliseconds();
  ULONGLONG giveUpAt = GetTickCount64() + 5000;
  volatile unsigned spin = 0;
  while (ThreadCpuMilliseconds() - before <= 100.0 && GetTickCount64() < giveUpAt) spin = spin + 1;
  ASSERT_GT(ThreadCpuMilliseconds() - before, 100.0) << "thread times are not measured here";

  ScopedEnvironment delay(L"KELV_DELAY_MS", L"1500");
  ListerSide();
  double cpuStart = ThreadCpuMilliseconds();
  ULONGLONG start = GetTickCount64();
  HWND container = Open();
  double wall = static_cast<double>(GetTickCount64() - start);
  double cpu = ThreadCpuMilliseconds() - cpuStart;
  ASSERT_NE(container, nullptr);
  EXPECT_GE(wall, 1400.0);
  EXPECT_LT(cpu, wall / 10) << "cpu " << cpu << " ms of " << wall << " ms";
  DestroyWindow(container);
  EXPECT_EQ(FullScreenValue(), L"1");
}

TEST_F(ViewerFaults, AViewerWhoseWindowNeverAnswersIsEndedAtTheBoundAndTheListerStays) {
  ScopedEnvironment fault(L"KELV_FAULT", L"noloop");
  ListerSide();
  Watchdog watchdog(40000);
  ULONGLONG start = GetTickCount64();
  EXPECT_EQ(Open(), nullptr);
  ULONGLONG waited = GetTickCount64() - start;
  EXPECT_FALSE(watchdog.Stop()) << "the load was held by the viewer's window";
  EXPECT_GE(waited, 19000u);
  EXPECT_LT(waited, 25000u);
  EXPECT_TRUE(IsWindow(listerSide_)) << "the host's window is left alone";
  EXPECT_EQ(GetWindow(listerSide_, GW_CHILD), nullptr) << "the container was destroyed";
  EXPECT_TRUE(NoViewerLeft());
  EXPECT_EQ(FullScreenValue(), L"1");
}

// Windows calls a thread hung once it has retrieved no message for five seconds; the watch asks
// about once a second. The slack covers that period and a loaded machine.
constexpr ULONGLONG kHungRuleMs = 5000;
constexpr ULONGLONG kWatchSlackMs = 2500;

TEST_F(ViewerFaults, AViewerHungForGoodIsEndedByTheWatchAndTheEmptyViewSaysSo) {
  HangSignal signal;
  HWND container = Open();
  ASSERT_NE(container, nullptr);
  lister_->FitChild(container);
  signal.Hang();
  ASSERT_TRUE(log_.WaitForLine(L"hang")) << "the viewer saw the signal";
  ULONGLONG hungAt = GetTickCount64();
  Watchdog watchdog(15000);
  HostProbe probe(listerSide_);

  // What the host may do meanwhile returns at once: size the view, pass keys (Ctrl+Tab moves
  // the focus), ask for the context menu.
  SetWindowPos(container, nullptr, 0, 0, 300, 200, SWP_NOZORDER);
  HoldOnly({VK_CONTROL});
  SendMessageW(container, WM_KEYDOWN, VK_TAB, 0);
  HoldOnly({});
  SendMessageW(container, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(viewer_), 0);
  EXPECT_LT(GetTickCount64() - hungAt, 2000u) << "the host's calls were held";

  EXPECT_TRUE(NoViewerLeft(kHungRuleMs + kWatchSlackMs));
  ULONGLONG endedAfter = GetTickCount64() - hungAt;
  EXPECT_GE(endedAfter, kHungRuleMs - 1000) << "ended before Windows would call it hung";
  EXPECT_LT(endedAfter, kHungRuleMs + kWatchSlackMs);
  EXPECT_TRUE(log_.LinesStartingWith(L"exit ").empty()) << "the viewer was ended, not closed";
  EXPECT_LT(probe.Stop(), 1000u) << "the host's thread was held";
  EXPECT_FALSE(watchdog.Stop());

  // The empty view says why: its text on the window colour.
  RECT client = {};
  GetClientRect(container, &client);
  EXPECT_TRUE(WaitUntil([&] { return CountTextPixels(container, client) > 10; }, 2000))
      << "no notice in the empty view";
  EXPECT_EQ(MainWindow::PixelAt(container, 2, 2), GetSysColor(COLOR_WINDOW));
  DestroyWindow(container);
  EXPECT_TRUE(IsWindow(listerSide_));
  EXPECT_EQ(FullScreenValue(), L"1");
}

TEST_F(ViewerFaults, ClosingAHungViewerWaitsOnlyUntilTheWatchEndsIt) {
  HangSignal signal;
  HWND container = Open();
  ASSERT_NE(container, nullptr);
  signal.Hang();
  ASSERT_TRUE(log_.WaitForLine(L"hang"));
  ULONGLONG hungAt = GetTickCount64();
  Watchdog watchdog(15000);
  DestroyWindow(container);
  EXPECT_LT(GetTickCount64() - hungAt, kHungRuleMs + kWatchSlackMs);
  EXPECT_FALSE(watchdog.Stop()) << "the close was held until the watchdog ended the viewer";
  EXPECT_TRUE(NoViewerLeft(1000));
  EXPECT_TRUE(IsWindow(listerSide_));
  EXPECT_EQ(FullScreenValue(), L"1");
}

TEST_F(ViewerFaults, AViewerBusyAtTheCaptureIsWaitedForAndOneHungThereIsEnded) {
  struct Row {
    const wchar_t* busy;
    bool opens;
  };
  for (Row row : {Row{L"capture:3000", true}, Row{L"capture:30000", false}}) {
    ScopedEnvironment busy(L"KELV_BUSY", row.busy);
    ListerSide();
    Watchdog watchdog(20000);
    ULONGLONG start = GetTickCount64();
    HWND container = Open();
    ULONGLONG took = GetTickCount64() - start;
    EXPECT_FALSE(watchdog.Stop()) << Narrow(row.busy);
    EXPECT_TRUE(log_.WaitForLine(L"busy capture", 1000)) << Narrow(row.busy);
    if (row.opens) {
      EXPECT_GE(took, 2900u) << "the capture waited for the busy viewer";
      ASSERT_NE(container, nullptr) << "a busy viewer's view is lost";
      EXPECT_EQ(GetParent(viewer_), container);
      DestroyWindow(container);
      EXPECT_TRUE(log_.WaitForLine(L"exit code=0", 3000)) << "the viewer ends by itself";
    } else {
      EXPECT_EQ(container, nullptr);
      EXPECT_GE(took, kHungRuleMs - 1000) << "ended before Windows would call it hung";
      EXPECT_LT(took, kHungRuleMs + kWatchSlackMs);
      EXPECT_EQ(GetWindow(listerSide_, GW_CHILD), nullptr) << "the container was destroyed";
    }
    EXPECT_TRUE(NoViewerLeft()) << Narrow(row.busy);
    EXPECT_TRUE(IsWindow(listerSide_));
    EXPECT_EQ(FullScreenValue(), L"1");
  }
}

TEST_F(ViewerFaults, ClosingWaitsForAViewerBusyInItsDestructionAndItEndsByItself) {
  ScopedEnvironment busy(L"KELV_BUSY", L"destroy:2000");
  HWND container = Open();
  ASSERT_NE(container, nullptr);
  Watchdog watchdog(15000);
  ULONGLONG start = GetTickCount64();
  DestroyWindow(container);
  EXPECT_GE(GetTickCount64() - start, 1800u) << "the close did not wait for the viewer";
  EXPECT_FALSE(watchdog.Stop());
  EXPECT_TRUE(log_.WaitForLine(L"exit code=0", 3000))
      << "the viewer was ended: " << log_.Progress();
  EXPECT_TRUE(NoViewerLeft());
  EXPECT_EQ(FullScreenValue(), L"1");
}

TEST_F(ViewerFaults, AHostThatClosesTheListerInTheMiddleOfTheLoadGetsNoViewAndNothingLeft) {
  // The host's thread handles what other threads send it while the load waits for the viewer:
  // here the Lister's WM_CLOSE, just before the viewer answers the wait's probe, and in the
  // middle of the viewer's busy capture.
  struct Row {
    const wchar_t* busy;
    const wchar_t* line;
    DWORD closeAfterMs;
  };
  for (Row row :
       {Row{L"loop:400", L"busy loop", 330}, Row{L"capture:1500", L"busy capture", 300}}) {
    ScopedEnvironment busy(L"KELV_BUSY", row.busy);
    lister_.reset(new ListerWindow());
    listerSide_ = topLevel_ = lister_->hwnd();
    HWND lister = listerSide_;
    std::thread closer([&] {
      if (!log_.WaitForLine(row.line, 5000)) return;
      Sleep(row.closeAfterMs);
      DWORD_PTR answer = 0;
      SendMessageTimeoutW(lister, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, &answer);
    });
    Watchdog watchdog(20000);
    HWND container = Open();
    closer.join();
    EXPECT_FALSE(watchdog.Stop()) << Narrow(row.busy);
    EXPECT_EQ(container, nullptr) << Narrow(row.busy);
    EXPECT_FALSE(IsWindow(lister)) << Narrow(row.busy) << ": the host's close was not handled";
    EXPECT_TRUE(NoViewerLeft()) << Narrow(row.busy);
    EXPECT_EQ(FullScreenValue(), L"1") << Narrow(row.busy);
  }
}

// The user moves on while the viewer is still starting: the load ends at once with no view and
// nothing left, and no window of the host's is destroyed by the plugin. A Lister window of its own
// is asked to close (a posted WM_CLOSE, which it handles itself); in quick view the host's windows
// are left alone. A key held from before the load ends it at the keyboard's next repeat.
TEST_F(ViewerFaults, AnArrowKeyDuringTheWaitEndsTheLoadAndLeavesTheHostsWindowsToTheHost) {
  struct Row {
    const char* name;
    bool quickView;
    bool heldFromBefore;
  };
  for (Row row : {Row{"Lister", false, false}, Row{"quick view", true, false},
                  Row{"quick view, held and repeated", true, true}}) {
    ScopedEnvironment delay(L"KELV_DELAY_MS", L"4000");
    ViewerLog log;
    lister_.reset();
    host_.reset();
    listerSide_ = nullptr;
    ListerSide(row.quickView);
    if (row.heldFromBefore) PressKey(VK_DOWN, true);
    // The key goes down once the viewer has started, while the load waits for its window, and is
    // held as long as a user's press lasts: only a key held at that moment counts.
    std::thread user([&log] {
      if (!log.WaitForLine(L"env COMMANDER_INI", 3000)) return;
      HoldKey(VK_DOWN, 150);
    });
    ULONGLONG start = GetTickCount64();
    HWND container = Open(row.quickView);
    user.join();
    EXPECT_EQ(container, nullptr) << row.name;
    EXPECT_LT(GetTickCount64() - start, 3500u) << row.name;
    EXPECT_TRUE(IsWindow(listerSide_)) << row.name << ": the plugin destroyed the host's window";
    EXPECT_EQ(GetWindow(listerSide_, GW_CHILD), nullptr) << row.name << ": the container stays";
    EXPECT_TRUE(NoViewerLeft()) << row.name << ": the viewer is ended";
    EXPECT_EQ(FullScreenValue(), L"1") << row.name;
    PumpFor(200);
    if (row.quickView) {
      EXPECT_TRUE(IsWindow(listerSide_) && IsWindow(topLevel_)) << row.name << ": host closed";
    } else {
      EXPECT_FALSE(IsWindow(listerSide_)) << "the Lister handled the WM_CLOSE it was posted";
    }
  }
}

TEST_F(ViewerFaults, AnArrowKeyStillHeldFromChoosingTheFileDoesNotAbort) {
  ScopedEnvironment delay(L"KELV_DELAY_MS", L"300");
  ListerSide();
  // The X server reports its own key state once the new window has the focus; keys pressed
  // before that report are taken back by it, and nothing here tells when it has come.
  PumpFor(300);
  PressKey(VK_RIGHT, true);
  ASSERT_TRUE(WaitUntil([] { return (GetAsyncKeyState(VK_RIGHT) & 0x8000) != 0; }, 1000))
      << "the key reads as held";
  EXPECT_NE(Open(), nullptr);
  EXPECT_EQ(GetAsyncKeyState(VK_RIGHT) & 0x8000, 0) << "released at creation";
  PressKey(VK_RIGHT, false);
}

// A viewer that asks every top-level window something before it shows its own (a single-instance
// check, DDE) is answered by the host's windows while the load waits: it opens as any other does.
TEST_F(ViewerFaults, AViewerThatAsksEveryWindowBeforeItShowsOpensAsQuickly) {
  ScopedEnvironment broadcast(L"KELV_BROADCAST", L"KelvaneStandInViewerAsks");
  ListerSide();
  Watchdog watchdog(15000);
  ULONGLONG start = GetTickCount64();
  EXPECT_NE(Open(), nullptr) << log_.Progress();
  EXPECT_LT(GetTickCount64() - start, 3000u) << "the viewer waited for the host";
  EXPECT_FALSE(watchdog.Stop());
  EXPECT_FALSE(log_.LinesStartingWith(L"broadcast answered").empty()) << log_.Progress();
}

TEST_F(ViewerFaults, AViewerWindowOfAnotherProcessInFrontIsPassedOver) {
  // The user's own viewer, started before the view.
  std::wstring program = BuiltViewerPath(OwnWidth());
  std::wstring commandLine = L"kelv32.exe \"" + pictures_.File(L"c.bmp") + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION own = {};
  ASSERT_TRUE(CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &own));
  ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"Kelvane", nullptr) != nullptr; }));
  HWND usersWindow = FindWindowW(L"Kelvane", nullptr);

  ScopedEnvironment delay(L"KELV_DELAY_MS", L"200");
  ListerSide();
  ULONGLONG start = GetTickCount64();
  EXPECT_NE(Open(), nullptr);
  EXPECT_LT(GetTickCount64() - start, 5000u);
  EXPECT_NE(viewer_, usersWindow);
  EXPECT_NE(ProcessOf(viewer_), own.dwProcessId);
  EXPECT_EQ(GetParent(usersWindow), nullptr) << "the user's viewer stays where it was";
  if (container_ != nullptr) DestroyWindow(container_);

  TerminateProcess(own.hProcess, 0);
  WaitForSingleObject(own.hProcess, 5000);
  CloseHandle(own.hThread);
  CloseHandle(own.hProcess);
}

TEST_F(ViewerFaults, AViewerThatCrashesAfterCaptureLeavesAContainerThatClosesCleanly) {
  ScopedEnvironment fault(L"KELV_FAULT", L"crash");
  HWND container = Open();
  ASSERT_NE(container, nullptr);
  EXPECT_TRUE(NoViewerLeft());
  EXPECT_TRUE(WaitUntil([&] { return ViewerWindowOf(container) == nullptr; }));
  lister_->FitChild(container);
  SendMessageW(container, WM_KEYDOWN, 'A', 0);
  SendMessageW(container, WM_KEYUP, 'A', 0);
  EXPECT_EQ(FullScreenValue(), L"0");
  DestroyWindow(container);
  EXPECT_EQ(FullScreenValue(), L"1");
}

}  // namespace
