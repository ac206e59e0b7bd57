// Real input through SendInput into the stand-in viewer embedded by the real load sequence: the
// hooks run in the viewer's process and hand the host's keys back, close the Lister, keep keys
// and double clicks from the viewer in quick view, and let the caption follow the viewer.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <tlhelp32.h>

#include <algorithm>

#include <memory>
#include <vector>

#include "view_fixture.h"

using namespace testing_support;

namespace {

// Records the key-downs a host window receives.
std::vector<WPARAM> gHostKeys;
WNDPROC gHostProc = nullptr;
LRESULT CALLBACK RecordingHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) gHostKeys.push_back(wParam);
  return CallWindowProcW(gHostProc, window, message, wParam, lParam);
}

class InputEndToEnd : public EmbeddedView {
 protected:
  // Opens the view with the host's top-level window recording its keys, fits it to the Lister
  // side and clicks into it: real keys reach the embedded viewer once it has been clicked into.
  void OpenAndClickIn(bool quickView) {
    ListerSide(quickView);
    gHostKeys.clear();
    gHostProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(topLevel_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingHostProc)));
    ASSERT_NE(Open(quickView), nullptr);
    ASSERT_NE(viewer_, nullptr);
    RECT client = {};
    GetClientRect(listerSide_, &client);
    SetWindowPos(container_, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER);
    // The size reaches the viewer's thread in its own time.
    RECT area = {};
    ASSERT_TRUE(WaitUntil([&] {
      GetWindowRect(viewer_, &area);
      return area.right - area.left == client.right && area.bottom - area.top == client.bottom;
    })) << "the viewer fills the Lister side";
    ClickAt({(area.left + area.right) / 2, (area.top + area.bottom) / 2});
    ASSERT_TRUE(log_.WaitForLine(L"mouse lbuttonup")) << "the click reached the viewer";
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof(thread);
    DWORD viewerThread = GetWindowThreadProcessId(viewer_, nullptr);
    ASSERT_TRUE(WaitUntil([&] {
      return GetGUIThreadInfo(viewerThread, &thread) &&
             (thread.hwndFocus == viewer_ || IsChild(viewer_, thread.hwndFocus));
    })) << "the viewer has the focus";
  }

  void DoubleClick() {
    Send({MouseEvent(MOUSEEVENTF_LEFTDOWN), MouseEvent(MOUSEEVENTF_LEFTUP),
          MouseEvent(MOUSEEVENTF_LEFTDOWN), MouseEvent(MOUSEEVENTF_LEFTUP)});
  }
  size_t Count(const std::wstring& prefix) const { return log_.LinesStartingWith(prefix).size(); }
};

TEST_F(InputEndToEnd, TheHooksRunInTheViewersProcess) {
  OpenAndClickIn(false);
  DWORD viewer = ProcessOf(viewer_);
  std::wstring library = OwnWidth() == Width::k64 ? L"Kelvane.wlx64" : L"Kelvane.wlx";
  EXPECT_TRUE(WaitUntil([&] {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, viewer);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    MODULEENTRY32W module = {};
    module.dwSize = sizeof(module);
    bool found = false;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !found;
         more = Module32NextW(snapshot, &module)) {
      found = lstrcmpiW(module.szModule, library.c_str()) == 0;
    }
    CloseHandle(snapshot);
    return found;
  })) << "the plugin library is mapped into the viewer to run its hooks";
}

TEST_F(InputEndToEnd, RightArrowStepsTheViewerAndTheListerCaptionFollows) {
  OpenAndClickIn(false);
  Press(VK_RIGHT);
  ASSERT_TRUE(log_.WaitForLine(L"title b.bmp - Kelvane"));
  EXPECT_TRUE(WaitUntil([&] {
    wchar_t caption[300] = {};
    GetWindowTextW(topLevel_, caption, 300);
    return lstrcmpW(caption, L"Lister (kelvane) - [b.bmp]") == 0;
  })) << "the caption follows the viewer";

  // The container's own refresh, in this process, comes to the same caption.
  SetWindowTextW(topLevel_, L"Lister");
  SendMessageW(container_, WM_KEYUP, VK_RIGHT, 0);
  wchar_t caption[300] = {};
  GetWindowTextW(topLevel_, caption, 300);
  EXPECT_STREQ(caption, L"Lister (kelvane) - [b.bmp]");
}

TEST_F(InputEndToEnd, InQuickViewAClickInTheViewerAndTheContainerPaintThePathBarAlike) {
  HostSettings settings(L"[Colors]\r\nActiveTitle=255\r\nActiveTitleText=65535\r\n");
  OpenAndClickIn(true);
  RECT bar = {};
  GetClientRect(host_->leftPathBar(), &bar);
  auto centre = [&] {
    return MainWindow::PixelAt(host_->leftPathBar(), bar.right - 20, bar.bottom / 2);
  };

  host_->PaintPathBars(RGB(200, 200, 200));
  SendMessageW(container_, WM_KEYUP, VK_RIGHT, 0);
  EXPECT_EQ(centre(), RGB(255, 0, 0)) << "painted from the host's process";

  host_->PaintPathBars(RGB(200, 200, 200));
  Send({MouseEvent(MOUSEEVENTF_LEFTDOWN), MouseEvent(MOUSEEVENTF_LEFTUP)});
  EXPECT_TRUE(WaitUntil([&] { return centre() == RGB(255, 0, 0); }, 3000))
      << "painted after a click in the viewer";
}

TEST_F(InputEndToEnd, ADigitReachesTheHostsWindow) {
  OpenAndClickIn(false);
  Press('5');
  EXPECT_TRUE(WaitUntil([] {
    return std::find(gHostKeys.begin(), gHostKeys.end(), '5') != gHostKeys.end();
  })) << "the host's window received the 5";
  EXPECT_TRUE(log_.WaitForLine(L"keydown vk=53 ")) << "the viewer gets the key as well";
}

TEST_F(InputEndToEnd, EscClosesAListerWindow) {
  OpenAndClickIn(false);
  Press(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(topLevel_); }));
}

TEST_F(InputEndToEnd, EnterAndEscAreKeptFromTheViewerInQuickView) {
  OpenAndClickIn(true);
  Press(VK_RETURN);
  Press(VK_ESCAPE);
  // The hook takes keys in order: once a later key is in, the earlier ones were decided.
  Press('X');
  ASSERT_TRUE(log_.WaitForLine(L"keyup vk=88 "));
  EXPECT_EQ(Count(L"keydown vk=13 "), 0u);
  EXPECT_EQ(Count(L"keyup vk=13 "), 0u);
  // Inside a hook the platform here counts a key as held only from its release on (Windows from
  // its press): the release of Esc is the one kept from the viewer then.
  EXPECT_EQ(Count(UnderWine() ? L"keyup vk=27 " : L"keydown vk=27 "), 0u);
  EXPECT_TRUE(IsWindow(host_->hwnd()));
  EXPECT_TRUE(IsWindow(container_)) << "nothing was closed";
}

TEST_F(InputEndToEnd, AltShiftCIsKeptFromTheViewer) {
  OpenAndClickIn(false);
  Send({KeyInput(VK_MENU, true), KeyInput(VK_SHIFT, true), KeyInput('C', true),
        KeyInput('C', false), KeyInput(VK_SHIFT, false), KeyInput(VK_MENU, false)});
  ASSERT_TRUE(WaitUntil([&] {
    return !log_.LinesStartingWith(L"syskeyup vk=18 ").empty() ||
           !log_.LinesStartingWith(L"keyup vk=18 ").empty();
  })) << "the keys around it arrived";
  EXPECT_FALSE(log_.LinesStartingWith(L"syskeydown vk=16 ").empty())
      << "Shift was pressed with Alt held";
  EXPECT_EQ(Count(L"syskeydown vk=67 "), 0u);
  EXPECT_EQ(Count(L"keydown vk=67 "), 0u);
}

// The second click of a double click follows the click into the viewer: one or the other pair
// makes the double click, and the third release comes after it.
TEST_F(InputEndToEnd, ADoubleClickIsKeptFromTheViewerInQuickView) {
  OpenAndClickIn(true);
  DoubleClick();
  ASSERT_TRUE(WaitUntil([&] { return Count(L"mouse lbuttonup") >= 3; }));
  EXPECT_EQ(Count(L"mouse lbuttondblclk"), 0u);
}

TEST_F(InputEndToEnd, ADoubleClickReachesTheViewerInAListerWindow) {
  OpenAndClickIn(false);
  DoubleClick();
  EXPECT_TRUE(log_.WaitForLine(L"mouse lbuttondblclk"));
}

TEST_F(InputEndToEnd, AWheelTurnReachesTheViewer) {
  OpenAndClickIn(false);
  Send({MouseEvent(MOUSEEVENTF_WHEEL, WHEEL_DELTA)});
  EXPECT_TRUE(log_.WaitForLine(L"wheel delta=120"));
}

// With a viewer of the other width the platform cannot map the library into the viewer's
// process. Windows then runs the hooks on the thread that installed them; this platform does not
// run them at all. The view must work all the same, and the caption follows the viewer through
// the container window's own refreshes.
TEST_F(InputEndToEnd, AViewerOfTheOtherWidthTakesRealInputAndClosesCleanly) {
  const Width otherWidth = OwnWidth() == Width::k64 ? Width::k32 : Width::k64;
  if (!StartsProgramsOf(otherWidth)) GTEST_SKIP() << kNo32BitPrograms;
  plugin_.UseViewer(otherWidth);
  OpenAndClickIn(false);
  Press(VK_RIGHT);
  EXPECT_TRUE(log_.WaitForLine(L"title b.bmp - Kelvane")) << "keys reach the viewer";
  Send({MouseEvent(MOUSEEVENTF_WHEEL, WHEEL_DELTA)});
  EXPECT_TRUE(log_.WaitForLine(L"wheel delta=120"));
  EXPECT_TRUE(WaitUntil([&] { return TitleOf(topLevel_) == L"Lister (kelvane) - [b.bmp]"; }))
      << "the caption reads " << Narrow(TitleOf(topLevel_));
  EXPECT_TRUE(IsWindow(viewer_)) << "nothing crashed";
  DestroyWindow(container_);
  EXPECT_TRUE(NoViewerLeft());
}

}  // namespace
