// The container's window procedure driven in this process, where the platform lets a test own
// every window and menu involved: the viewer's context menu greyed, held arrow keys released.
// (Across processes the menu calls are the host's and the viewer's; see the README.)
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "view_fixture.h"

using namespace testing_support;

namespace {

const wchar_t kContainerClass[] = L"KelvaneTestContainer";
const wchar_t kMenuOwnerClass[] = L"KelvaneTestMenuOwner";

// A window class that runs the plugin's exported container procedure.
void RegisterContainerClass(const PluginUnderTest& plugin) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = plugin.WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kContainerClass;
  UnregisterClassW(kContainerClass, GetModuleHandleW(nullptr));
  ASSERT_NE(RegisterClassExW(&windowClass), 0);
}

// A square window of that class inside the Lister side.
HWND CreateContainer(HWND parent, int size) {
  return CreateWindowExW(0, kContainerClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, size, size, parent,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

HWND gContainerForMenu = nullptr;

// Stands in for the viewer: when its popup is open, it tells its parent, as the viewer does.
LRESULT CALLBACK MenuOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENTERIDLE && wParam == MSGF_MENU && gContainerForMenu != nullptr) {
    SendMessageW(gContainerForMenu, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), 0);
    gContainerForMenu = nullptr;
    EndMenu();
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

struct MenuStates {
  bool greyed[32];
};

MenuStates OpenContextMenuOver(HWND container) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = MenuOwnerProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kMenuOwnerClass;
  RegisterClassExW(&windowClass);
  HWND owner = CreateWindowExW(0, kMenuOwnerClass, L"owner", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50,
                               container, nullptr, GetModuleHandleW(nullptr), nullptr);
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < 32; ++i) {
    AppendMenuW(menu, MF_STRING, 100 + i, (L"Item " + std::to_wstring(i)).c_str());
  }
  gContainerForMenu = container;
  // A time-out closes the menu should the idle message never come.
  SetTimer(owner, 1, 3000, CloseMenu);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RETURNCMD, 10, 10, 0, owner, nullptr);
  KillTimer(owner, 1);
  MenuStates states = {};
  for (int i = 0; i < 32; ++i)
    states.greyed[i] = (GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED) != 0;
  EXPECT_EQ(gContainerForMenu, nullptr) << "the menu never went idle";
  gContainerForMenu = nullptr;
  DestroyMenu(menu);
  DestroyWindow(owner);
  return states;
}

TEST(ContainerMenu, GreysPositions27And28OfTheOpenPopupInListerMode) {
  PluginUnderTest plugin(WithoutViewer());
  RegisterContainerClass(plugin);
  ListerWindow lister;
  HWND container = CreateContainer(lister.hwnd(), 200);
  ASSERT_NE(container, nullptr);
  MenuStates states = OpenContextMenuOver(container);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(states.greyed[i], i == 27 || i == 28) << "position " << i;
  DestroyWindow(container);
}

TEST(ContainerMenu, AlsoGreysPosition29InQuickView) {
  PluginUnderTest plugin(WithoutViewer());
  RegisterContainerClass(plugin);
  MainWindow host;
  HWND container = CreateContainer(host.quickView(), 200);
  ASSERT_NE(container, nullptr);
  MenuStates states = OpenContextMenuOver(container);
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(states.greyed[i], i == 27 || i == 28 || i == 29) << "position " << i;
  }
  DestroyWindow(container);
}

TEST(ContainerKeys, CtrlTabMovesTheFocusIntoTheViewerWindow) {
  PluginUnderTest plugin(WithoutViewer());
  RegisterContainerClass(plugin);
  ListerWindow lister;
  HWND container = CreateContainer(lister.hwnd(), 200);
  HWND viewer = CreateWindowExW(0, L"STATIC", L"a.png - Kelvane", WS_CHILD | WS_VISIBLE, 0, 0, 200,
                                200, container, nullptr, nullptr, nullptr);
  SetFocus(lister.hwnd());
  SendMessageW(container, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_EQ(GetFocus(), lister.hwnd()) << "Tab alone moves nothing";

  BYTE keys[256] = {};
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(container, WM_KEYDOWN, VK_TAB, 0);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(GetFocus(), viewer);
  MSG posted = {};
  EXPECT_TRUE(PeekMessageW(&posted, viewer, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  EXPECT_EQ(posted.wParam, static_cast<WPARAM>(VK_TAB));
  EXPECT_EQ(posted.lParam, 0);
  DestroyWindow(container);
}

TEST(ContainerCreation, ReleasesHeldArrowKeysUpFirstAndLeavesOthersAlone) {
  PluginUnderTest plugin(WithoutViewer());
  RegisterContainerClass(plugin);
  ListerWindow lister;
  // The X server reports its own key state once the new window has the focus; keys pressed
  // before that report are taken back by it.
  PumpFor(300);
  PressKey(VK_LEFT, true);
  PressKey(VK_UP, true);
  PumpFor(100);
  ASSERT_NE(GetAsyncKeyState(VK_UP) & 0x8000, 0);
  ASSERT_NE(GetAsyncKeyState(VK_LEFT) & 0x8000, 0);

  HWND container = CreateContainer(lister.hwnd(), 100);
  EXPECT_EQ(GetAsyncKeyState(VK_UP) & 0x8000, 0);
  EXPECT_EQ(GetAsyncKeyState(VK_LEFT) & 0x8000, 0);

  // The releases reach the focus window, the Lister, in the order they were made.
  std::vector<WPARAM> keyUps;
  ULONGLONG until = GetTickCount64() + 300;
  while (GetTickCount64() < until) {
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYUP, WM_KEYUP, PM_REMOVE))
      keyUps.push_back(message.wParam);
    PumpFor(10);
  }
  ASSERT_FALSE(keyUps.empty());
  EXPECT_EQ(keyUps.front(), static_cast<WPARAM>(VK_UP));
  EXPECT_NE(std::find(keyUps.begin(), keyUps.end(), static_cast<WPARAM>(VK_LEFT)), keyUps.end());
  for (WPARAM key : keyUps)
    EXPECT_TRUE(key == VK_UP || key == VK_LEFT) << "Down and Right were not held";
  DestroyWindow(container);
}

}  // namespace
