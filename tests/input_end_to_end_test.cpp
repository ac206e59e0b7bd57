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

bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

void Send(std::initializer_list<INPUT> inputs) {
  std::vector<INPUT> list(inputs);
  SendInput(static_cast<UINT>(list.size()), list.data(), sizeof(INPUT));
}

INPUT MouseEvent(DWORD flags, DWORD data = 0) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  input.mi.mouseData = data;
  return input;
}

void Press(WORD key) { Send({KeyInput(key, true), KeyInput(key, false)}); }

// Records the key-downs a host window receives.
std::vector<WPARAM> gHostKeys;
WNDPROC gHostProc = nullptr;
LRESULT CALLBACK RecordingHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) gHostKeys.push_back(wParam);
  return CallWindowProcW(gHostProc, window, message, wParam, lParam);
}

class InputEndToEnd : public ViewTest {
 protected:
  void Open(bool quickView) {
    if (quickView) {
      host_.reset(new MainWindow());
      listerSide_ = host_->quickView();
      topLevel_ = host_->hwnd();
    } else {
      lister_.reset(new ListerWindow());
      listerSide_ = lister_->hwnd();
      topLevel_ = lister_->hwnd();
    }
    gHostKeys.clear();
    gHostProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(topLevel_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingHostProc)));
    container_ = LoadView(plugin_, listerSide_, pictures_.File(L"a.bmp"));
    ASSERT_NE(container_, nullptr);
    RECT client = {};
    GetClientRect(listerSide_, &client);
    SetWindowPos(container_, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER);
    viewer_ = ViewerWindowOf(container_);
    ASSERT_NE(viewer_, nullptr);
    ClickIntoViewer();
  }

  // Real keys reach the embedded viewer once it has been clicked into.
  void ClickIntoViewer() {
    PumpFor(300);
    RECT area = {};
    GetWindowRect(viewer_, &area);
    SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    Send({MouseEvent(MOUSEEVENTF_LEFTDOWN), MouseEvent(MOUSEEVENTF_LEFTUP)});
    ASSERT_TRUE(log_.WaitForLine(L"mouse lbuttonup")) << "the click reached the viewer";
    PumpFor(200);
  }

  void DoubleClick() {
    Send({MouseEvent(MOUSEEVENTF_LEFTDOWN), MouseEvent(MOUSEEVENTF_LEFTUP),
          MouseEvent(MOUSEEVENTF_LEFTDOWN), MouseEvent(MOUSEEVENTF_LEFTUP)});
  }

  // Lets what was sent be processed in both processes, then asks the log.
  size_t CountAfterSettling(const std::wstring& prefix) {
    PumpFor(400);
    return log_.LinesStartingWith(prefix).size();
  }

  void TearDown() override {
    if (container_ != nullptr && IsWindow(container_)) DestroyWindow(container_);
    ViewTest::TearDown();
  }

  PluginUnderTest plugin_;
  PictureFolder pictures_;
  ViewerLog log_;
  std::unique_ptr<ListerWindow> lister_;
  std::unique_ptr<MainWindow> host_;
  HWND listerSide_ = nullptr;
  HWND topLevel_ = nullptr;
  HWND container_ = nullptr;
  HWND viewer_ = nullptr;
};

TEST_F(InputEndToEnd, TheHooksRunInTheViewersProcess) {
  Open(false);
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
  Open(false);
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
  Open(true);
  RECT bar = {};
  GetClientRect(host_->leftPathBar(), &bar);
  auto centre = [&] {
    return MainWindow::PixelAt(host_->leftPathBar(), bar.right - 20, bar.bottom / 2);
  };

  host_->PaintPathBars(RGB(200, 200, 200));
  SendMessageW(container_, WM_KEYUP, VK_RIGHT, 0);
  EXPECT_EQ(centre(), RGB(255, 0, 0)) << "painted from the host's process";

  host_->PaintPathBars(RGB(200, 200, 200));
  ClickIntoViewer();
  EXPECT_TRUE(WaitUntil([&] { return centre() == RGB(255, 0, 0); }, 3000))
      << "painted after a click in the viewer";
}

TEST_F(InputEndToEnd, ADigitReachesTheHostsWindow) {
  Open(false);
  Press('5');
  EXPECT_TRUE(WaitUntil([] {
    return std::find(gHostKeys.begin(), gHostKeys.end(), '5') != gHostKeys.end();
  })) << "the host's window received the 5";
  EXPECT_TRUE(log_.WaitForLine(L"keydown vk=53 ")) << "the viewer gets the key as well";
}

TEST_F(InputEndToEnd, EscClosesAListerWindow) {
  Open(false);
  HWND lister = topLevel_;
  Press(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(lister); }));
  container_ = nullptr;
}

TEST_F(InputEndToEnd, EnterAndEscAreKeptFromTheViewerInQuickView) {
  Open(true);
  Press(VK_RETURN);
  Press(VK_ESCAPE);
  EXPECT_EQ(CountAfterSettling(L"keydown vk=13 "), 0u);
  EXPECT_EQ(CountAfterSettling(L"keyup vk=13 "), 0u);
  // Inside a hook the platform here counts a key as held only from its release on (Windows from
  // its press): the release of Esc is the one kept from the viewer then.
  EXPECT_EQ(CountAfterSettling(UnderWine() ? L"keyup vk=27 " : L"keydown vk=27 "), 0u);
  EXPECT_TRUE(IsWindow(host_->hwnd()));
  EXPECT_TRUE(IsWindow(container_)) << "nothing was closed";
}

TEST_F(InputEndToEnd, AltShiftCIsKeptFromTheViewer) {
  Open(false);
  Send({KeyInput(VK_MENU, true), KeyInput(VK_SHIFT, true), KeyInput('C', true),
        KeyInput('C', false), KeyInput(VK_SHIFT, false), KeyInput(VK_MENU, false)});
  ASSERT_TRUE(WaitUntil([&] {
    return !log_.LinesStartingWith(L"syskeyup vk=18 ").empty() ||
           !log_.LinesStartingWith(L"keyup vk=18 ").empty();
  })) << "the keys around it arrived";
  EXPECT_FALSE(log_.LinesStartingWith(L"syskeydown vk=16 ").empty())
      << "Shift was pressed with Alt held";
  EXPECT_EQ(CountAfterSettling(L"syskeydown vk=67 "), 0u);
  EXPECT_EQ(CountAfterSettling(L"keydown vk=67 "), 0u);
}

TEST_F(InputEndToEnd, ADoubleClickIsKeptFromTheViewerInQuickViewOnly) {
  Open(true);
  DoubleClick();
  ASSERT_TRUE(WaitUntil([&] { return log_.LinesStartingWith(L"mouse lbuttonup").size() >= 3; }));
  EXPECT_EQ(CountAfterSettling(L"mouse lbuttondblclk"), 0u);
  DestroyWindow(container_);
  container_ = nullptr;
  host_.reset();
  ASSERT_TRUE(NoViewerLeft());

  ViewerLog log;
  ListerWindow lister;
  container_ = LoadView(plugin_, lister.hwnd(), pictures_.File(L"a.bmp"));
  ASSERT_NE(container_, nullptr);
  lister.FitChild(container_);
  viewer_ = ViewerWindowOf(container_);
  PumpFor(300);
  RECT area = {};
  GetWindowRect(viewer_, &area);
  SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
  DoubleClick();
  EXPECT_TRUE(log.WaitForLine(L"mouse lbuttondblclk")) << "passed on in a Lister window";
  DestroyWindow(container_);
  container_ = nullptr;
}

TEST_F(InputEndToEnd, AWheelTurnReachesTheViewer) {
  Open(false);
  Send({MouseEvent(MOUSEEVENTF_WHEEL, WHEEL_DELTA)});
  EXPECT_TRUE(log_.WaitForLine(L"wheel delta=120"));
}

}  // namespace

namespace {

// With a viewer of the other width the platform cannot map the library into the viewer's
// process. Windows then runs the hooks on the thread that installed them; this platform does not
// run them at all. The view must work all the same.
TEST_F(ViewTest, AViewerOfTheOtherWidthTakesRealInputAndClosesCleanly) {
  Width other = OwnWidth() == Width::k64 ? Width::k32 : Width::k64;
  PluginUnderTest plugin(WithSettings(L"[Kelvane]\r\n", false));
  std::wstring viewerPath =
      plugin.InstallViewer(other, L"other\\" + std::wstring(ViewerProgramName(other)));
  WriteTextFile(plugin.folder() + L"kelvane.ini",
                L"[Kelvane]\r\n" + std::wstring(OwnWidth() == Width::k64 ? L"path64=" : L"path=") +
                    viewerPath + L"\r\n");
  PictureFolder pictures;
  ViewerLog log;
  ListerWindow lister;
  HWND container = LoadView(plugin, lister.hwnd(), pictures.File(L"a.bmp"));
  ASSERT_NE(container, nullptr);
  lister.FitChild(container);
  HWND viewer = ViewerWindowOf(container);
  PumpFor(300);
  RECT area = {};
  GetWindowRect(viewer, &area);
  SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
  Send({MouseEvent(MOUSEEVENTF_LEFTDOWN), MouseEvent(MOUSEEVENTF_LEFTUP)});
  ASSERT_TRUE(log.WaitForLine(L"mouse lbuttonup"));
  PumpFor(200);
  Press(VK_RIGHT);
  EXPECT_TRUE(log.WaitForLine(L"title b.bmp - Kelvane")) << "keys reach the viewer";
  Send({MouseEvent(MOUSEEVENTF_WHEEL, WHEEL_DELTA)});
  EXPECT_TRUE(log.WaitForLine(L"wheel delta=120"));
  PumpFor(300);
  wchar_t caption[300] = {};
  GetWindowTextW(lister.hwnd(), caption, 300);
  printf("note: Lister caption with a viewer of the other width: %ls\n", caption);
  EXPECT_TRUE(IsWindow(viewer)) << "nothing crashed";
  DestroyWindow(container);
  EXPECT_TRUE(NoViewerLeft());
}

}  // namespace
