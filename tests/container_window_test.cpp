// The container window with the real viewer embedded: it follows the size the host gives it,
// passes keys on and moves the focus into the viewer on Ctrl+Tab.
#include <gtest/gtest.h>
#include <windows.h>

#include "view_fixture.h"

using namespace testing_support;

namespace {

class ContainerWindow : public EmbeddedView {
 protected:
  void SetUp() override {
    ASSERT_NE(Open(), nullptr);
    ASSERT_NE(viewer_, nullptr);
  }
};

TEST_F(ContainerWindow, HasNoFrameAndTheViewerCoversItsWholeClientAreaAfterEveryResize) {
  for (SIZE size : {SIZE{300, 200}, SIZE{620, 410}, SIZE{1, 1}, SIZE{800, 600}}) {
    SetWindowPos(container_, nullptr, 7, 9, size.cx, size.cy, SWP_NOZORDER);
    RECT client = {};
    GetClientRect(container_, &client);
    EXPECT_EQ(client.right, size.cx) << "the client area is the whole window: it has no frame";
    EXPECT_EQ(client.bottom, size.cy);
    RECT viewer = {};
    // The size is posted to the viewer's thread, which takes it in its own time.
    EXPECT_TRUE(WaitUntil([&] {
      GetWindowRect(viewer_, &viewer);
      MapWindowPoints(HWND_DESKTOP, container_, reinterpret_cast<POINT*>(&viewer), 2);
      return viewer.left == 0 && viewer.top == 0 && viewer.right == client.right &&
             viewer.bottom == client.bottom;
    })) << size.cx
        << "x" << size.cy << ": the viewer lies at " << viewer.left << "," << viewer.top << " to "
        << viewer.right << "," << viewer.bottom;
  }
}

// Every message of the container refreshes the caption, and this Lister repaints the container
// when its caption is set: a caption set again although it reads the same would never let the
// host's thread go idle.
TEST_F(ContainerWindow, AnIdleViewLeavesACaptionThatReadsRightAlone) {
  lister_->FitChild(container_);  // as the host does; the resize refreshes the caption
  ASSERT_TRUE(WaitUntil([&] { return TitleOf(topLevel_) == L"Lister (kelvane) - [a.bmp]"; }));
  LONG_PTR before = lister_->captionSets();
  PumpFor(2000);
  EXPECT_EQ(lister_->captionSets() - before, 0) << "the caption was set again and again";
  EXPECT_EQ(TitleOf(topLevel_), L"Lister (kelvane) - [a.bmp]");
}

TEST_F(ContainerWindow, KeysThatReachItArePostedOnWithoutTheirFlagsAndKeyUpsAreNot) {
  SendMessageW(container_, WM_KEYDOWN, 'X', 0x002D0001);
  SendMessageW(container_, WM_KEYUP, 'X', 0xC02D0001);
  SendMessageW(container_, WM_KEYDOWN, VK_F5, 0x003F0001);
  // Posted keys arrive in order: once the last is in, a key-up posted before it would be too.
  ASSERT_TRUE(log_.WaitForLine(L"keydown vk=116"));
  EXPECT_EQ(log_.First(L"keydown vk=88 "), L"lparam=0x0");
  EXPECT_EQ(log_.First(L"keydown vk=116 "), L"lparam=0x0");
  EXPECT_TRUE(log_.LinesStartingWith(L"keyup ").empty());
}

TEST_F(ContainerWindow, CtrlTabPassesTheTabOnToTheViewer) {
  // The focus move itself is shown in-process (container_menu_test.cpp): across processes the
  // platform here does not let one process focus another's window.
  HoldOnly({VK_CONTROL});
  SendMessageW(container_, WM_KEYDOWN, VK_TAB, 0x000F0001);
  HoldOnly({});
  ASSERT_TRUE(log_.WaitForLine(L"keydown vk=9 "));
  EXPECT_EQ(log_.First(L"keydown vk=9 "), L"lparam=0x0");
}

TEST_F(ContainerWindow, NoCaptionRefreshWhileThePrimaryButtonIsHeldWhicheverButtonThatIs) {
  // The button is pressed over the screen's far corner, away from every window of the test.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
  auto anyButtonHeld = [] {
    return ((GetAsyncKeyState(VK_LBUTTON) | GetAsyncKeyState(VK_RBUTTON)) & 0x8000) != 0;
  };
  auto captionAfterAMessage = [&](DWORD buttonDown, DWORD buttonUp) {
    SetWindowTextW(topLevel_, L"unchanged");
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = buttonDown;
    SendInput(1, &input, sizeof(input));
    EXPECT_TRUE(WaitUntil(anyButtonHeld, 1000)) << "the button reads as held";
    SendMessageW(container_, WM_NULL, 0, 0);
    std::wstring held = TitleOf(topLevel_);
    input.mi.dwFlags = buttonUp;
    SendInput(1, &input, sizeof(input));
    EXPECT_TRUE(WaitUntil([&] { return !anyButtonHeld(); }, 1000)) << "the button reads as up";
    return held;
  };
  const std::wstring refreshed = L"Lister (kelvane) - [a.bmp]";
  EXPECT_EQ(captionAfterAMessage(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP), L"unchanged");
  EXPECT_EQ(captionAfterAMessage(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP), refreshed);
  SwapMouseButton(TRUE);
  std::wstring swappedPrimary = captionAfterAMessage(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  std::wstring swappedSecondary = captionAfterAMessage(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  SwapMouseButton(FALSE);
  EXPECT_EQ(swappedPrimary, L"unchanged");
  EXPECT_EQ(swappedSecondary, refreshed);
}

TEST_F(ContainerWindow, ItsDestructionLeavesTheHostsDisplayAsTheHostHasIt) {
  // The closing view would otherwise name the file it showed once more, over whatever the host
  // shows next.
  SetWindowTextW(topLevel_, L"unchanged");
  DestroyWindow(container_);
  EXPECT_EQ(TitleOf(topLevel_), L"unchanged");
}

}  // namespace
