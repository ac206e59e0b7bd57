// The keyboard hook driven in this process with the windows of an open view and real key state:
// each row of the key table, its result (swallowed or passed on) and its effects.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "hook_layout.h"

using namespace testing_support;

namespace {

constexpr LRESULT kSwallowed = 1;
constexpr LRESULT kPassedOn = 0;  // what the end of the hook chain answers here

class KeyboardHook : public ::testing::Test {
 protected:
  KeyboardHook() : plugin_(WithoutViewer()) {}
  void TearDown() override { ReleaseAllKeys(); }
  LRESULT Key(int key, int code = HC_ACTION) { return plugin_.KbdProc(code, key, 0x00010001); }
  static bool Contains(const std::vector<DWORD>& keys, DWORD key) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
  }

  PluginUnderTest plugin_;
};

TEST_F(KeyboardHook, NavigationKeysRefreshTheCaptionAndSynthesiseALeftButtonRelease) {
  for (int key : std::initializer_list<int>{VK_BACK, VK_SPACE, VK_LEFT, VK_RIGHT}) {
    HookLayout layout(false);
    InjectedInput injected;
    EXPECT_EQ(Key(key), kPassedOn) << key;
    EXPECT_EQ(TitleOf(layout.topLevel()), L"Lister (kelvane) - [a.png]") << key;
    const std::vector<WPARAM>& mouse = injected.MouseMessages();
    EXPECT_NE(std::find(mouse.begin(), mouse.end(), static_cast<WPARAM>(WM_LBUTTONUP)), mouse.end())
        << key;
  }
}

TEST_F(KeyboardHook, InQuickViewNavigationKeysPaintThePathBarAndLeaveTheHostsCaption) {
  HostSettings settings(L"[Colors]\r\nActiveTitle=255\r\n");
  HookLayout layout(true);
  HWND bar = layout.host()->leftPathBar();
  RECT client = {};
  GetClientRect(bar, &client);
  layout.host()->PaintPathBars(RGB(200, 200, 200));
  EXPECT_EQ(Key(VK_RIGHT), kPassedOn);
  EXPECT_EQ(MainWindow::PixelAt(bar, client.right - 10, client.bottom / 2), RGB(255, 0, 0));
  EXPECT_EQ(TitleOf(layout.topLevel()), L"before") << "the host's main window keeps its caption";
}

TEST_F(KeyboardHook, CtrlTabMovesTheFocusToTheTopLevelWindowsFirstChild) {
  HookLayout layout(false);
  EXPECT_EQ(Key(VK_TAB), kPassedOn);
  EXPECT_EQ(GetFocus(), layout.focus()) << "Tab alone only passes on";
  SetHeld({VK_CONTROL}, true);
  EXPECT_EQ(Key(VK_TAB), kPassedOn);
  EXPECT_EQ(GetFocus(), layout.container());
}

TEST_F(KeyboardHook, DigitsGoToTheHostWhileTheFocusClassIsAccepted) {
  for (int key = '1'; key <= '8'; ++key) {
    HookLayout layout(false);
    InjectedInput injected;
    EXPECT_EQ(Key(key), kPassedOn);
    EXPECT_EQ(GetFocus(), layout.topLevel()) << "the host's window has the focus";
    EXPECT_TRUE(Contains(injected.KeyDowns(), static_cast<DWORD>(key))) << static_cast<char>(key);
  }
  for (int key : std::initializer_list<int>{'0', '9'}) {
    HookLayout layout(false);
    InjectedInput injected;
    EXPECT_EQ(Key(key), kPassedOn);
    EXPECT_EQ(GetFocus(), layout.focus());
    EXPECT_TRUE(injected.KeyDowns().empty()) << static_cast<char>(key);
  }
}

TEST_F(KeyboardHook, DigitsOnlyPassOnWhileAnotherClassHasTheFocus) {
  HookLayout layout(false);
  HookLayout::RegisterFocusClass(L"WindowX");
  HWND other = CreateWindowExW(0, L"WindowX", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                               layout.viewer(), nullptr, GetModuleHandleW(nullptr), nullptr);
  SetFocus(other);
  InjectedInput injected;
  EXPECT_EQ(Key('5'), kPassedOn);
  EXPECT_EQ(GetFocus(), other);
  EXPECT_TRUE(injected.KeyDowns().empty());
}

TEST_F(KeyboardHook, NAndPGoToTheHostOnlyWhenHeldAndItsMenuBarHasMoreThanSevenItems) {
  struct Case {
    bool quickView;
    int menuItems;
    bool held;
    bool handedOver;
  };
  for (Case c :
       {Case{true, 9, true, true}, Case{true, 8, true, true}, Case{true, 7, true, false},
        Case{true, 0, true, false}, Case{true, 9, false, false}, Case{false, 9, true, false}}) {
    for (int key : std::initializer_list<int>{'N', 'P'}) {
      HookLayout layout(c.quickView, c.menuItems);
      InjectedInput injected;
      SetHeld({key}, c.held);
      EXPECT_EQ(Key(key), kPassedOn);
      EXPECT_EQ(Contains(injected.KeyDowns(), static_cast<DWORD>(key)), c.handedOver)
          << static_cast<char>(key) << " quick view " << c.quickView << " menu " << c.menuItems
          << " held " << c.held;
      ReleaseAllKeys();
    }
  }
}

TEST_F(KeyboardHook, AltShiftCAndMAreSwallowedEverywhere) {
  for (bool quickView : {false, true}) {
    HookLayout layout(quickView);
    SetHeld({VK_MENU, VK_SHIFT}, true);
    EXPECT_EQ(Key('C'), kSwallowed);
    EXPECT_EQ(Key('M'), kSwallowed);
    SetHeld({VK_SHIFT}, false);
    EXPECT_EQ(Key('C'), quickView ? kSwallowed : kPassedOn) << "Alt alone";
    ReleaseAllKeys();
  }
}

TEST_F(KeyboardHook, CMAndEnterAreSwallowedInQuickViewAndPassOnInAListerWindow) {
  for (int key : std::initializer_list<int>{'C', 'M', VK_RETURN}) {
    HookLayout quick(true);
    EXPECT_EQ(Key(key), kSwallowed) << key;
  }
  for (int key : std::initializer_list<int>{'C', 'M', VK_RETURN}) {
    HookLayout lister(false);
    EXPECT_EQ(Key(key), kPassedOn) << key;
    PumpFor(20);
    EXPECT_TRUE(IsWindow(lister.topLevel()));
  }
}

TEST_F(KeyboardHook, EscClosesAListerWindowButNotWhileADialogOrFullScreenWindowIsActive) {
  {
    HookLayout layout(false);
    SetHeld({VK_ESCAPE}, true);
    EXPECT_EQ(Key(VK_ESCAPE), kPassedOn) << "the viewer gets the Esc as well";
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(layout.topLevel()); }, 2000)) << "WM_CLOSE posted";
  }
  for (const wchar_t* active : {L"#32770", L"FullScreenClass"}) {
    HookLayout layout(false);
    HookLayout::RegisterFocusClass(L"FullScreenClass");
    HWND window = CreateWindowExW(0, active, L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    SetActiveWindow(window);
    ASSERT_EQ(GetActiveWindow(), window);
    SetHeld({VK_ESCAPE}, true);
    EXPECT_EQ(Key(VK_ESCAPE), kPassedOn);
    PumpFor(100);
    EXPECT_TRUE(IsWindow(layout.topLevel())) << Narrow(active);
    DestroyWindow(window);
    ReleaseAllKeys();
  }
}

TEST_F(KeyboardHook, EscIsSwallowedInQuickViewAndItsReleasePassesOn) {
  HookLayout quick(true);
  SetHeld({VK_ESCAPE}, true);
  EXPECT_EQ(Key(VK_ESCAPE), kSwallowed);
  EXPECT_TRUE(IsWindow(quick.topLevel()));
  HookLayout lister(false);
  SetHeld({VK_ESCAPE}, false);
  EXPECT_EQ(Key(VK_ESCAPE), kPassedOn) << "Esc no longer held";
  PumpFor(100);
  EXPECT_TRUE(IsWindow(lister.topLevel()));
}

TEST_F(KeyboardHook, EnterWithEscHeldFollowsTheEscRulesInAListerWindow) {
  HookLayout layout(false);
  SetHeld({VK_ESCAPE}, true);
  EXPECT_EQ(Key(VK_RETURN), kPassedOn);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(layout.topLevel()); }, 2000));
}

TEST_F(KeyboardHook, CodesOtherThanActionAndUnlistedKeysPassOnUntouched) {
  HookLayout layout(false);
  InjectedInput injected;
  SetHeld({VK_ESCAPE, VK_MENU, VK_SHIFT, VK_CONTROL}, true);
  for (int code : {HC_NOREMOVE, -1}) {
    for (int key : std::initializer_list<int>{'5', VK_RIGHT, VK_ESCAPE, 'C', VK_TAB})
      EXPECT_EQ(Key(key, code), kPassedOn);
  }
  for (int key : std::initializer_list<int>{0, 7, 'A', 'Z', VK_F1, 0xFF})
    EXPECT_EQ(Key(key), kPassedOn) << key;
  EXPECT_TRUE(injected.KeyDowns().empty());
  EXPECT_TRUE(injected.MouseMessages().empty());
  EXPECT_EQ(GetFocus(), layout.focus());
  EXPECT_EQ(TitleOf(layout.topLevel()), L"before");
  EXPECT_TRUE(IsWindow(layout.topLevel()));
}

TEST_F(KeyboardHook, WithoutAFocusWindowNothingMatchesWhateverAnEarlierTestFound) {
  HookLayout layout(true);
  ASSERT_EQ(Key(VK_RETURN), kSwallowed) << "the host's main window was recognised";
  SetFocus(nullptr);
  ASSERT_EQ(GetFocus(), nullptr);
  SetHeld({VK_ESCAPE}, true);
  InjectedInput injected;
  for (int key : std::initializer_list<int>{VK_RETURN, 'C', '5', 'N', VK_ESCAPE, VK_RIGHT})
    EXPECT_EQ(Key(key), kPassedOn) << key;
  EXPECT_FALSE(Contains(injected.KeyDowns(), '5'));
}

}  // namespace
