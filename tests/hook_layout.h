// Windows laid out as they stand while a view is open, all in this process so that the hook
// procedures can be driven directly: the host's window (a Lister of its own, or the host's main
// window with its quick-view Lister), the container, the viewer's main window and the picture
// area inside it that holds the focus. Also records the input the hooks synthesise.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "view_fixture.h"

namespace testing_support {

class HookLayout {
 public:
  // quickView: embed the view in the host's quick-view pane instead of a Lister window.
  explicit HookLayout(bool quickView, int menuItems = 9) {
    RegisterFocusClass(L"Window");
    if (quickView) {
      MainWindowOptions options;
      options.menuItems = menuItems;
      host_.reset(new MainWindow(options));
      listerSide_ = host_->quickView();
      topLevel_ = host_->hwnd();
    } else {
      lister_.reset(new ListerWindow());
      listerSide_ = lister_->hwnd();
      topLevel_ = lister_->hwnd();
    }
    container_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200,
                                 listerSide_, nullptr, nullptr, nullptr);
    viewer_ = CreateWindowExW(0, L"STATIC", L"a.png - Kelvane", WS_CHILD | WS_VISIBLE, 0, 0, 300,
                              200, container_, nullptr, nullptr, nullptr);
    focus_ = CreateWindowExW(0, L"Window", L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, viewer_,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(topLevel_);
    SetActiveWindow(topLevel_);
    SetFocus(focus_);
    SetWindowTextW(topLevel_, L"before");
  }
  ~HookLayout() { DestroyWindow(container_); }

  HWND topLevel() const { return topLevel_; }
  HWND listerSide() const { return listerSide_; }
  HWND container() const { return container_; }
  HWND viewer() const { return viewer_; }
  HWND focus() const { return focus_; }
  MainWindow* host() const { return host_.get(); }

  // A window of a given class with nothing of its own.
  static void RegisterFocusClass(const wchar_t* name) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
  }

 private:
  std::unique_ptr<ListerWindow> lister_;
  std::unique_ptr<MainWindow> host_;
  HWND listerSide_ = nullptr;
  HWND topLevel_ = nullptr;
  HWND container_ = nullptr;
  HWND viewer_ = nullptr;
  HWND focus_ = nullptr;
};

// Sets or clears the held state of keys for this thread, as GetKeyState reports them.
inline void SetHeld(std::initializer_list<int> keys, bool held) {
  BYTE state[256] = {};
  GetKeyboardState(state);
  for (int key : keys) state[key] = held ? 0x80 : 0;
  SetKeyboardState(state);
}

inline void ReleaseAllKeys() {
  BYTE state[256] = {};
  SetKeyboardState(state);
}

// Injected keyboard and mouse events, seen through low-level hooks (pumped while waiting).
class InjectedInput {
 public:
  InjectedInput() {
    instance_ = this;
    keyboard_ = SetWindowsHookExW(WH_KEYBOARD_LL, OnKey, GetModuleHandleW(nullptr), 0);
    mouse_ = SetWindowsHookExW(WH_MOUSE_LL, OnMouse, GetModuleHandleW(nullptr), 0);
  }
  ~InjectedInput() {
    UnhookWindowsHookEx(keyboard_);
    UnhookWindowsHookEx(mouse_);
    instance_ = nullptr;
  }
  // Key-downs and mouse messages injected so far, after pumping for a moment.
  const std::vector<DWORD>& KeyDowns() {
    PumpFor(150);
    return keyDowns_;
  }
  const std::vector<WPARAM>& MouseMessages() {
    PumpFor(150);
    return mouseMessages_;
  }

 private:
  static LRESULT CALLBACK OnKey(int code, WPARAM wParam, LPARAM lParam) {
    const KBDLLHOOKSTRUCT* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION && instance_ != nullptr && (key->flags & LLKHF_INJECTED) &&
        (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN)) {
      instance_->keyDowns_.push_back(key->vkCode);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static LRESULT CALLBACK OnMouse(int code, WPARAM wParam, LPARAM lParam) {
    const MSLLHOOKSTRUCT* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION && instance_ != nullptr && (mouse->flags & LLMHF_INJECTED)) {
      instance_->mouseMessages_.push_back(wParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static inline InjectedInput* instance_ = nullptr;
  HHOOK keyboard_ = nullptr;
  HHOOK mouse_ = nullptr;
  std::vector<DWORD> keyDowns_;
  std::vector<WPARAM> mouseMessages_;
};

}  // namespace testing_support
