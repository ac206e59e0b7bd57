// A viewer that misbehaves never freezes the host for long, never leaves a process behind and
// never costs the user a setting: one that exits without a window, one that is slow, one that
// never shows a window, one that crashes after it was captured, and the user's way out.
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

TEST_F(ViewerFaults, AViewerThatStopsAnsweringWhileEmbeddedNeverHoldsTheHost) {
  HangSignal signal;
  HWND container = Open();
  ASSERT_NE(container, nullptr);
  lister_->FitChild(container);
  signal.Hang();
  ASSERT_TRUE(log_.WaitForLine(L"hang")) << "the viewer saw the signal";

  Watchdog watchdog(10000);
  ULONGLONG start = GetTickCount64();
  // What the host does to a view meanwhile: sizes it, passes keys (Ctrl+Tab moves the focus),
  // opens the context menu, and closes it.
  SetWindowPos(container, nullptr, 0, 0, 300, 200, SWP_NOZORDER);
  HoldOnly({VK_CONTROL});
  SendMessageW(container, WM_KEYDOWN, VK_TAB, 0);
  HoldOnly({});
  SendMessageW(container, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(viewer_), 0);
  DestroyWindow(container);
  ULONGLONG took = GetTickCount64() - start;

  EXPECT_FALSE(watchdog.Stop()) << "the host was held until the watchdog ended the viewer";
  EXPECT_LT(took, 2500u) << "the host's calls returned within about a second";
  EXPECT_TRUE(IsWindow(listerSide_));
  EXPECT_TRUE(NoViewerLeft(1000)) << "the unanswering viewer was ended";
  EXPECT_EQ(FullScreenValue(), L"1");
}

TEST_F(ViewerFaults, AnArrowKeyDuringTheWaitAbortsTheLoad) {
  ScopedEnvironment delay(L"KELV_DELAY_MS", L"4000");
  ListerSide();
  // The user presses the key once the viewer has started, while the load waits for its window.
  std::thread user([this] {
    if (!log_.WaitForLine(L"env COMMANDER_INI", 3000)) return;
    PressKey(VK_DOWN, true);
    PressKey(VK_DOWN, false);
  });
  ULONGLONG start = GetTickCount64();
  HWND container = Open();
  user.join();
  EXPECT_EQ(container, nullptr);
  EXPECT_LT(GetTickCount64() - start, 3500u);
  EXPECT_FALSE(IsWindow(listerSide_)) << "the Lister window is destroyed";
  EXPECT_TRUE(NoViewerLeft()) << "the viewer is terminated";
  EXPECT_EQ(FullScreenValue(), L"1");
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
