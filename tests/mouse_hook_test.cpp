// The mouse hook driven in this process with the windows of an open view: each row of the
// mouse table, its result and its effects.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "hook_layout.h"

using namespace testing_support;

namespace {

constexpr LRESULT kSwallowed = 1;
constexpr LRESULT kPassedOn = 0;

class MouseHook : public ::testing::Test {
 protected:
  MouseHook() : plugin_(WithoutViewer()), settings_(L"[Colors]\r\nActiveTitle=255\r\n") {}
  LRESULT Mouse(UINT message, HWND target, int code = HC_ACTION) {
    MOUSEHOOKSTRUCT record = {};
    record.hwnd = target;
    record.pt = POINT{5, 5};
    record.wHitTestCode = HTCLIENT;
    return plugin_.MouseProc(code, message, reinterpret_cast<LPARAM>(&record));
  }
  // Whether the plugin painted over the path bar since it was last painted grey.
  static bool PathBarPainted(const HookLayout& layout) {
    RECT bar = {};
    GetClientRect(layout.host()->leftPathBar(), &bar);
    return MainWindow::PixelAt(layout.host()->leftPathBar(), bar.right / 2, bar.bottom / 2) !=
           RGB(200, 200, 200);
  }

  PluginUnderTest plugin_;
  HostSettings settings_;
};

TEST_F(MouseHook, ALeftButtonReleaseRefreshesTheCaptionInBothModes) {
  HookLayout lister(false);
  EXPECT_EQ(Mouse(WM_LBUTTONUP, lister.focus()), kPassedOn);
  EXPECT_EQ(TitleOf(lister.topLevel()), L"Lister (kelvane) - [a.png]");

  HookLayout quick(true);
  quick.host()->PaintPathBars(RGB(200, 200, 200));
  EXPECT_EQ(Mouse(WM_LBUTTONUP, quick.focus()), kPassedOn);
  EXPECT_TRUE(PathBarPainted(quick)) << "quick view paints the path bar";
  EXPECT_EQ(TitleOf(quick.topLevel()), L"before") << "the host's caption stays";
}

TEST_F(MouseHook, DoubleClicksAreSwallowedInQuickViewAndRefreshTheCaptionElsewhere) {
  HookLayout quick(true);
  quick.host()->PaintPathBars(RGB(200, 200, 200));
  EXPECT_EQ(Mouse(WM_LBUTTONDBLCLK, quick.focus()), kSwallowed);
  EXPECT_FALSE(PathBarPainted(quick));

  HookLayout lister(false);
  EXPECT_EQ(Mouse(WM_LBUTTONDBLCLK, lister.focus()), kPassedOn);
  EXPECT_EQ(TitleOf(lister.topLevel()), L"Lister (kelvane) - [a.png]");
}

TEST_F(MouseHook, AWheelTurnSynthesisesALeftButtonRelease) {
  HookLayout layout(false);
  InjectedInput injected;
  EXPECT_EQ(Mouse(WM_MOUSEWHEEL, layout.focus()), kPassedOn);
  const std::vector<WPARAM>& mouse = injected.MouseMessages();
  EXPECT_NE(std::find(mouse.begin(), mouse.end(), static_cast<WPARAM>(WM_LBUTTONUP)), mouse.end());
}

TEST_F(MouseHook, OtherMessagesAndCodesPassOnWithoutAction) {
  HookLayout layout(false);
  InjectedInput injected;
  for (UINT message : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MOUSEMOVE, WM_MBUTTONUP}) {
    EXPECT_EQ(Mouse(message, layout.focus()), kPassedOn) << message;
  }
  for (int code : {HC_NOREMOVE, -1}) {
    for (UINT message : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEWHEEL}) {
      EXPECT_EQ(Mouse(message, layout.focus(), code), kPassedOn) << message << " code " << code;
    }
  }
  EXPECT_EQ(TitleOf(layout.topLevel()), L"before");
  EXPECT_TRUE(injected.MouseMessages().empty());
}

TEST_F(MouseHook, AMessageForAWindowWithoutParentChangesNothing) {
  HookLayout quick(true);
  ASSERT_EQ(Mouse(WM_LBUTTONDBLCLK, quick.focus()), kSwallowed)
      << "the host's main window was recognised";
  HWND alone = CreateWindowExW(0, L"STATIC", L"b.png - Kelvane", WS_POPUP, 0, 0, 10, 10, nullptr,
                               nullptr, nullptr, nullptr);
  EXPECT_EQ(Mouse(WM_LBUTTONDBLCLK, alone), kPassedOn);
  EXPECT_EQ(Mouse(WM_LBUTTONUP, alone), kPassedOn);
  EXPECT_EQ(Mouse(WM_LBUTTONUP, nullptr), kPassedOn);
  DestroyWindow(alone);
}

}  // namespace
