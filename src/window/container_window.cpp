// The container window: the plugin's child of the Lister window that holds the viewer window.
// It keeps the viewer filling it, passes keys on, greys the viewer's menu items that make no
// sense embedded, refreshes the caption, and on destruction unhooks the viewer's thread and
// gives the viewer its full-screen setting back. It always answers what DefWindowProcW answers.
#include <initializer_list>

#include "contracts/host.h"
#include "contracts/viewer.h"
#include "launch/full_screen.h"
#include "plugin/class_test.h"
#include "plugin/exports.h"

namespace {

// While a FreeCommander XE viewer form is active, the Lister stands one level further up.
HWND FindListerSide(HWND container) {
  if (WindowClassIs(GetActiveWindow(), {host::kFcViewerClass})) {
    return GetParent(GetParent(container));
  }
  return GetParent(container);
}

// A key the user still holds from choosing the file would otherwise end the wait for the viewer
// at once. The rounds are bounded: a key that a device keeps reporting must not hang the host.
constexpr int kArrowReleaseRounds = 64;

void ReleaseHeldArrowKeys() {
  for (BYTE key : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}) {
    for (int round = 0; round < kArrowReleaseRounds && GetAsyncKeyState(key) != 0; ++round) {
      keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    }
  }
}

void CloseContainer(HWND container) {
  View* view = reinterpret_cast<View*>(GetWindowLongPtrW(container, GWLP_USERDATA));
  if (view == nullptr) return;
  SetWindowLongPtrW(container, GWLP_USERDATA, 0);
  if (view->keyboardHook != nullptr) UnhookWindowsHookEx(view->keyboardHook);
  if (view->mouseHook != nullptr) UnhookWindowsHookEx(view->mouseHook);
  CloseView(view);
}

void FitViewer(HWND container, HWND viewerWindow) {
  RECT client = {};
  GetClientRect(container, &client);
  SetWindowPos(viewerWindow, HWND_TOP, client.left, client.top, client.right - client.left,
               client.bottom - client.top, 0);
}

void GreyMenuItem(HMENU menu, int position) {
  EnableMenuItem(menu, GetMenuItemID(menu, position), MF_BYCOMMAND | MF_GRAYED);
}

// The viewer's context menu is open at this moment; some of its items act on the viewer's own
// window, which the host owns while it is embedded.
void GreyContextMenu(HWND listerSide) {
  HWND popup = FindWindowExW(nullptr, nullptr, viewer::kPopupMenuClass, nullptr);
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
  GreyMenuItem(menu, viewer::kMenuItemNotForLister1);
  GreyMenuItem(menu, viewer::kMenuItemNotForLister2);
  if (GetParent(listerSide) != nullptr) GreyMenuItem(menu, viewer::kMenuItemNotForQuickView);
}

void PassKeyOn(HWND viewerWindow, WPARAM key) {
  if (key == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000) != 0) {
    SetForegroundWindow(viewerWindow);
    SetFocus(viewerWindow);
  }
  PostMessageW(viewerWindow, WM_KEYDOWN, key, 0);
}

}  // namespace

LRESULT CALLBACK WindowProc(HWND container, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND listerSide = FindListerSide(container);
  HWND viewerWindow = GetWindow(container, GW_CHILD);

  switch (message) {
    case WM_CREATE:
      ReleaseHeldArrowKeys();
      break;
    case WM_DESTROY:
      CloseContainer(container);
      break;
    case WM_SIZE:
      FitViewer(container, viewerWindow);
      break;
    case WM_CONTEXTMENU:
      GreyContextMenu(listerSide);
      break;
    case WM_KEYDOWN:
      PassKeyOn(viewerWindow, wParam);
      break;
    case WM_KEYUP:
      WindowCaption(viewerWindow, listerSide);
      break;
    default:
      break;
  }

  if ((GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0) WindowCaption(viewerWindow, listerSide);
  return DefWindowProcW(container, message, wParam, lParam);
}
