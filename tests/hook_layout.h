// Windows laid out as they stand while a view is open, all in this process so that the hook
// procedures can be driven directly: the host's window (a Lister of its own, or a host's main
// window with its quick-view Lister), the container, the viewer's main window and the picture
// area inside it that holds the focus. Also records the input the hooks synthesise, and checks
// every effect a hook may have against the effects a table row expects.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "view_fixture.h"

namespace testing_support {

enum class Host { kLister, kMainWindow, kFcMainWindow };

class HookLayout {
 public:
  // focusClass: the class of the window that holds the focus; null for no focus window at all.
  explicit HookLayout(Host host, const wchar_t* focusClass = L"Window", int menuItems = 9)
      : hostType_(host) {
    if (host == Host::kLister) {
      lister_.reset(new ListerWindow());
      listerSide_ = topLevel_ = lister_->hwnd();
    } else {
      MainWindowOptions options;
      options.menuItems = menuItems;
      if (host == Host::kFcMainWindow) options.className = L"FreeCommanderXE.SingleInst.1";
      host_.reset(new MainWindow(options));
      listerSide_ = host_->quickView();
      topLevel_ = host_->hwnd();
      host_->PaintPathBars(kGrey);
    }
    container_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200,
                                 listerSide_, nullptr, nullptr, nullptr);
    HWND viewer = CreateWindowExW(0, L"STATIC", L"a.png - Kelvane", WS_CHILD | WS_VISIBLE, 0, 0,
                                  300, 200, container_, nullptr, nullptr, nullptr);
    focus_ = Create(focusClass != nullptr ? focusClass : L"Window", WS_CHILD, viewer);
    SetForegroundWindow(topLevel_);
    SetActiveWindow(topLevel_);
    SetFocus(focusClass != nullptr ? focus_ : nullptr);
    SetWindowTextW(topLevel_, L"before");
  }
  explicit HookLayout(bool quickView) : HookLayout(quickView ? Host::kMainWindow : Host::kLister) {}
  ~HookLayout() {
    DestroyWindow(container_);
    if (active_ != nullptr) DestroyWindow(active_);
  }

  // Makes a window of this class the active one, with the focus on a child of it, as when the
  // viewer shows a dialog of its own.
  void ActivateWindowOfClass(const wchar_t* className) {
    active_ = Create(className, WS_POPUP, nullptr);
    SetActiveWindow(active_);
    ASSERT_EQ(GetActiveWindow(), active_);
    SetFocus(Create(L"Window", WS_CHILD, active_));
  }

  HWND topLevel() const { return topLevel_; }
  HWND container() const { return container_; }
  HWND focus() const { return focus_; }
  Host hostType() const { return hostType_; }

  // Whether the plugin painted over the path bar, painted grey at the start, in the caption colour
  // of the tests' host settings.
  bool PathBarPainted() const {
    RECT bar = {};
    GetClientRect(host_->leftPathBar(), &bar);
    return MainWindow::PixelAt(host_->leftPathBar(), bar.right - 10, bar.bottom / 2) ==
           RGB(255, 0, 0);
  }

 private:
  static constexpr COLORREF kGrey = RGB(200, 200, 200);

  // A window of a given class with nothing of its own.
  static HWND Create(const wchar_t* className, DWORD style, HWND parent) {
    WNDCLASSEXW windowClass = {sizeof(windowClass), 0, DefWindowProcW};
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);
    return CreateWindowExW(0, className, L"", style | WS_VISIBLE, 0, 0, 40, 40, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }

  Host hostType_;
  std::unique_ptr<ListerWindow> lister_;
  std::unique_ptr<MainWindow> host_;
  HWND listerSide_ = nullptr;
  HWND topLevel_ = nullptr;
  HWND container_ = nullptr;
  HWND focus_ = nullptr;
  HWND active_ = nullptr;
};

// Injected keyboard and mouse events, seen through low-level hooks.
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
  // Sends a marker down the input stream and waits for it: whatever was injected before it has
  // been seen by then.
  void Settle() {
    INPUT marker = KeyInput(VK_F24, false);
    marker.ki.dwExtraInfo = kMarker;
    markerSeen_ = false;
    SendInput(1, &marker, sizeof(marker));
    EXPECT_TRUE(WaitUntil([this] { return markerSeen_; }, 3000)) << "the marker never came";
  }
  const std::vector<DWORD>& keyDowns() const { return keyDowns_; }
  const std::vector<WPARAM>& mouseMessages() const { return mouseMessages_; }

 private:
  static constexpr ULONG_PTR kMarker = 0x4B454C56;

  static LRESULT CALLBACK OnKey(int code, WPARAM wParam, LPARAM lParam) {
    const KBDLLHOOKSTRUCT* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION && instance_ != nullptr && (key->flags & LLKHF_INJECTED)) {
      if (key->dwExtraInfo == kMarker) {
        instance_->markerSeen_ = true;
      } else if (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN) {
        instance_->keyDowns_.push_back(key->vkCode);
      }
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
  bool markerSeen_ = false;
  std::vector<DWORD> keyDowns_;
  std::vector<WPARAM> mouseMessages_;
};

// What a hook call may do besides its answer. A row of a hook's table names the ones it expects;
// every other one is checked not to have happened.
enum Effect : int {
  kNoEffect = 0,
  kCaption = 1,       // the Lister's caption set, or in quick view the path bar painted
  kRelease = 2,       // a left-button release synthesised
  kHandOver = 4,      // the top-level window focused and given a synthesised press of the key
  kFocusToChild = 8,  // the focus moved to the top-level window's first child, the container
  kClose = 16,        // WM_CLOSE posted to the top-level window
};

inline void ExpectEffects(const HookLayout& layout, HWND focusBefore, InjectedInput& injected,
                          DWORD key, int effects) {
  injected.Settle();
  EXPECT_EQ(injected.keyDowns(),
            (effects & kHandOver) ? std::vector<DWORD>{key} : std::vector<DWORD>{})
      << "synthesised key presses";
  EXPECT_EQ(injected.mouseMessages(),
            (effects & kRelease) ? std::vector<WPARAM>{WM_LBUTTONUP} : std::vector<WPARAM>{})
      << "synthesised mouse input";
  HWND focus = (effects & kHandOver)       ? layout.topLevel()
               : (effects & kFocusToChild) ? layout.container()
                                           : focusBefore;
  EXPECT_EQ(GetFocus(), focus) << "the focus";
  MSG posted = {};
  bool closePosted = PeekMessageW(&posted, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0;
  EXPECT_EQ(closePosted ? posted.hwnd : HWND(-1), (effects & kClose) ? layout.topLevel() : HWND(-1))
      << "the window WM_CLOSE was posted to (-1: none)";
  bool listerCaption = layout.hostType() == Host::kLister && (effects & kCaption);
  EXPECT_EQ(TitleOf(layout.topLevel()), listerCaption ? L"Lister (kelvane) - [a.png]" : L"before")
      << "the top-level window's caption";
  if (layout.hostType() != Host::kLister) {
    EXPECT_EQ(layout.PathBarPainted(), (effects & kCaption) != 0) << "the path bar painted";
  }
}

}  // namespace testing_support
