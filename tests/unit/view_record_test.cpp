// Routines behind the container window that only an in-process test can reach: the system menu
// stripped, the view's hooks removed and its setting given back at destruction.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "launch/system_menu.h"
#include "plugin/exports.h"
#include "window/view_record.h"

namespace {

std::wstring TempIni(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  std::wstring path =
      std::wstring(folder) + name + std::to_wstring(GetCurrentProcessId()) + L".ini";
  DeleteFileW(path.c_str());
  return path;
}

std::wstring ReadFullScreen(const std::wstring& ini) {
  wchar_t value[260];
  GetPrivateProfileStringW(L"Viewing", L"FullScreen", L"<absent>", value, 260, ini.c_str());
  return value;
}

TEST(SystemMenu, CloseIsGreyedAndTheWindowCommandsAreRemoved) {
  HWND window = CreateWindowExW(0, L"STATIC", L"viewer", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200,
                                nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  HMENU before = GetSystemMenu(window, FALSE);
  ASSERT_NE(GetMenuState(before, SC_MOVE, MF_BYCOMMAND), static_cast<UINT>(-1));

  StripSystemMenu(window);
  HMENU menu = GetSystemMenu(window, FALSE);
  UINT close = GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND);
  ASSERT_NE(close, static_cast<UINT>(-1)) << "Close stays in the menu";
  EXPECT_EQ(close & (MF_GRAYED | MF_DISABLED), static_cast<UINT>(MF_GRAYED | MF_DISABLED));
  for (UINT command : {SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE, SC_SIZE, SC_MOVE}) {
    EXPECT_EQ(GetMenuState(menu, command, MF_BYCOMMAND), static_cast<UINT>(-1)) << command;
  }
  DestroyWindow(window);
}

LRESULT CALLBACK PassOn(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND CreateContainer() {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"KelvaneUnitContainer";
  RegisterClassExW(&windowClass);
  return CreateWindowExW(0, L"KelvaneUnitContainer", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

// A view of its own settings file (FullScreen null: no such key), with its own container and,
// when asked, its own hooks.
struct OpenedView {
  OpenedView(const wchar_t* name, const wchar_t* fullScreen, bool hooks) : ini(TempIni(name)) {
    WritePrivateProfileStringW(L"Viewing", L"FullScreen", fullScreen, ini.c_str());
    View* view = OpenView(ini.c_str());
    if (hooks) {
      keyboard = view->keyboardHook =
          SetWindowsHookExW(WH_KEYBOARD, PassOn, nullptr, GetCurrentThreadId());
      mouse = view->mouseHook = SetWindowsHookExW(WH_MOUSE, PassOn, nullptr, GetCurrentThreadId());
    }
    container = CreateContainer();
    SetWindowLongPtrW(container, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
  }
  ~OpenedView() { DeleteFileW(ini.c_str()); }
  std::wstring ini;
  HHOOK keyboard = nullptr;
  HHOOK mouse = nullptr;
  HWND container = nullptr;
};

TEST(ContainerDestruction, RemovesOnlyItsOwnViewsHooksAndGivesItsSettingBack) {
  OpenedView first(L"kelvane-unit-first-", L"1", true);
  OpenedView second(L"kelvane-unit-second-", L"2", true);
  ASSERT_TRUE(first.keyboard && first.mouse && second.keyboard && second.mouse && first.container);
  EXPECT_EQ(ReadFullScreen(first.ini), L"0");
  EXPECT_EQ(ReadFullScreen(second.ini), L"0");

  DestroyWindow(first.container);
  EXPECT_FALSE(UnhookWindowsHookEx(first.keyboard)) << "its keyboard hook was still installed";
  EXPECT_FALSE(UnhookWindowsHookEx(first.mouse)) << "its mouse hook was still installed";
  EXPECT_EQ(ReadFullScreen(first.ini), L"1");
  EXPECT_TRUE(UnhookWindowsHookEx(second.keyboard)) << "the other view's keyboard hook was removed";
  EXPECT_TRUE(UnhookWindowsHookEx(second.mouse)) << "the other view's mouse hook was removed";
  EXPECT_EQ(ReadFullScreen(second.ini), L"0") << "the other view is still open";
  DestroyWindow(second.container);
  EXPECT_EQ(ReadFullScreen(second.ini), L"2");
}

TEST(ContainerDestruction, WithoutHooksStillGivesTheSettingBack) {
  OpenedView view(L"kelvane-unit-nohooks-", nullptr, false);
  DestroyWindow(view.container);
  EXPECT_EQ(ReadFullScreen(view.ini), L"") << "an absent key comes back empty";
}

}  // namespace
