// The container's window procedure driven in this process, where the platform lets a test own
// every window and menu involved: the viewer's context menu greyed, held arrow keys released.
// (Across processes the menu calls are the host's and the viewer's; see the README.)
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "hook_layout.h"

using namespace testing_support;

namespace {

const wchar_t kContainerClass[] = L"KelvaneTestContainer";
const wchar_t kMenuOwnerClass[] = L"KelvaneTestMenuOwner";

// A window class of this process.
void RegisterPlainClass(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW windowClass = {sizeof(windowClass), 0, procedure};
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

// A window class that runs the plugin's exported container procedure.
void RegisterContainerClass(const PluginUnderTest& plugin) {
  UnregisterClassW(kContainerClass, GetModuleHandleW(nullptr));
  RegisterPlainClass(kContainerClass, plugin.WindowProc);
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

// The positions of the viewer's popup that the container greyed while it was open.
std::vector<int> GreyedOnContextMenu(HWND container) {
  RegisterPlainClass(kMenuOwnerClass, MenuOwnerProc);
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
  std::vector<int> greyed;
  for (int i = 0; i < 32; ++i) {
    if (GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED) greyed.push_back(i);
  }
  EXPECT_EQ(gContainerForMenu, nullptr) << "the menu never went idle";
  gContainerForMenu = nullptr;
  DestroyMenu(menu);
  DestroyWindow(owner);
  return greyed;
}

TEST(ContainerMenu, GreysTheItemsOfTheOpenPopupByTheListerSidesParent) {
  PluginUnderTest plugin(WithoutViewer());
  RegisterContainerClass(plugin);
  ListerWindow lister;
  MainWindow host;
  // The other host's viewer form, with the Lister side one level below it.
  RegisterPlainClass(L"TfcViewerForm", DefWindowProcW);
  HWND form = CreateWindowExW(0, L"TfcViewerForm", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300,
                              300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND formPanel = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 250, 250, form,
                                   nullptr, nullptr, nullptr);
  struct Row {
    const char* what;
    HWND active;
    HWND parent;
    std::vector<int> greyed;
  };
  for (const Row& row :
       {Row{"a Lister window of its own", lister.hwnd(), lister.hwnd(), {27, 28}},
        Row{"quick view", host.hwnd(), host.quickView(), {27, 28, 29}},
        Row{"a TfcViewerForm active: its grandparent, without parent, stands for the Lister",
            form,
            formPanel,
            {27, 28}}}) {
    SetActiveWindow(row.active);
    HWND container = CreateContainer(row.parent, 200);
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(GreyedOnContextMenu(container), row.greyed) << row.what;
    DestroyWindow(container);
  }
  DestroyWindow(form);
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

  HoldOnly({VK_CONTROL});
  SendMessageW(container, WM_KEYDOWN, VK_TAB, 0);
  HoldOnly({});
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
  // The X server reports its own key state once the new window has the focus, and takes back
  // keys pressed before that report. Nothing tells when the report has come: let the window
  // settle first, then press again until the keys read as held.
  PumpFor(300);
  auto held = [](int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; };
  bool bothHeld = false;
  for (int attempt = 0; attempt < 10 && !bothHeld; ++attempt) {
    PressKey(VK_LEFT, true);
    PressKey(VK_UP, true);
    bothHeld = WaitUntil([&] { return held(VK_UP) && held(VK_LEFT); }, 200);
  }
  ASSERT_TRUE(bothHeld);

  HWND container = CreateContainer(lister.hwnd(), 100);
  EXPECT_FALSE(held(VK_UP));
  EXPECT_FALSE(held(VK_LEFT));

  // The releases reach the focus window, the Lister, in the order they were made; a marker key
  // sent after them tells when all have come.
  PressKey(VK_F24, false);
  std::vector<WPARAM> keyUps;
  EXPECT_TRUE(WaitUntil(
      [&] {
        MSG message;
        while (keyUps.empty() || keyUps.back() != VK_F24) {
          if (!PeekMessageW(&message, nullptr, WM_KEYUP, WM_KEYUP, PM_REMOVE)) return false;
          keyUps.push_back(message.wParam);
        }
        return true;
      },
      3000));
  EXPECT_EQ(keyUps, (std::vector<WPARAM>{VK_UP, VK_LEFT, VK_F24})) << "Down and Right not held";
  DestroyWindow(container);
}

}  // namespace
