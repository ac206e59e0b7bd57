// The container window: the plugin's child of the Lister window that holds the viewer window.
// It keeps the viewer filling it, passes keys on, greys the viewer's menu items that make no
// sense embedded, refreshes the caption, and on destruction unhooks the viewer's thread and gives
// the viewer its full-screen setting back. The view's watch ends a viewer that Windows would call
// hung; the container then says so until the host closes it. Nothing it does waits on the
// viewer's thread beyond that rule. It always answers what DefWindowProcW answers.
#include "window/container_window.h"

#include "contracts/host.h"
#include "contracts/plugin_files.h"
#include "contracts/viewer.h"
#include "plugin/bounded_send.h"
#include "plugin/exports.h"
#include "plugin/module_state.h"
#include "plugin/window_class.h"
#include "window/key_state.h"
#include "window/viewer_watch.h"

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
  for (BYTE key : kArrowKeys) {
    for (int round = 0; round < kArrowReleaseRounds && KeyHeldNow(key); ++round) {
      keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    }
  }
}

// The record kept with the container, only while it is an open view: the window's user data is
// the host's to touch as well once the window is the host's.
View* ViewOf(HWND container) {
  View* view = reinterpret_cast<View*>(GetWindowLongPtrW(container, GWLP_USERDATA));
  return IsOpenView(view) ? view : nullptr;
}

// The viewer's window is destroyed with the container, after this message; that waits for the
// viewer's thread, which the view's watch ends should it hang meanwhile.
void BeginClosing(HWND container) {
  View* view = ViewOf(container);
  if (view == nullptr) return;
  view->closing = true;
  if (view->keyboardHook != nullptr) UnhookWindowsHookEx(view->keyboardHook);
  if (view->mouseHook != nullptr) UnhookWindowsHookEx(view->mouseHook);
  view->keyboardHook = view->mouseHook = nullptr;
}

// The last message of the container: its child is gone.
void FinishClosing(HWND container) {
  View* view = ViewOf(container);
  if (view == nullptr) return;
  SetWindowLongPtrW(container, GWLP_USERDATA, 0);
  StopViewerWatch(&view->watch);
  CloseView(view);
}

bool BeingHidden(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SHOWWINDOW) return wParam == FALSE;
  if (message != WM_WINDOWPOSCHANGING && message != WM_WINDOWPOSCHANGED) return false;
  return (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW) != 0;
}

// A view that is closing, or hidden, must not paint the file it showed over the host's display
// once more: the host may show another file there by now. Destruction hides the window first.
bool OutOfSight(HWND container, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY || message == WM_NCDESTROY) return true;
  if (BeingHidden(message, wParam, lParam) || !IsWindowVisible(container)) return true;
  View* view = ViewOf(container);
  return view != nullptr && view->closing;
}

bool ViewerEnded(HWND container) {
  View* view = ViewOf(container);
  return view != nullptr && ViewerWasEnded(view->watch);
}

// Once the watch has ended a hung viewer, the empty container tells the user why, in the
// system's colours and font, until the host closes the view.
void PaintViewerEndedNotice(HWND container) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(container, &paint);
  if (dc == nullptr) return;
  RECT client = {};
  GetClientRect(container, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  HGDIOBJ previousFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  DrawTextW(dc, plugin_files::kViewerEndedNotice, -1, &client,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, previousFont);
  EndPaint(container, &paint);
}

// A fit put off while the viewer looked hung is tried again this often, until the viewer answers
// or is gone: the watch ends a viewer that stays hung.
constexpr UINT_PTR kRefitTimer = 1;
constexpr UINT kRefitDelayMs = 100;

void FitViewer(HWND container, HWND viewerWindow) {
  if (viewerWindow == nullptr) {
    KillTimer(container, kRefitTimer);
    return;
  }
  // Where the two threads share their input, the sizing waits for the viewer's thread, so a hung
  // viewer is not sized now. A viewer that wakes after an idle spell of over five seconds may be
  // reported hung for a moment, too: the fit is put off, never dropped.
  if (IsHungAppWindow(viewerWindow)) {
    SetTimer(container, kRefitTimer, kRefitDelayMs, nullptr);
    return;
  }
  KillTimer(container, kRefitTimer);
  RECT client = {};
  GetClientRect(container, &client);
  // Posted where the threads' input is separate, as under some platforms: a busy viewer catches
  // up later instead of holding the host.
  SetWindowPos(viewerWindow, HWND_TOP, client.left, client.top, client.right - client.left,
               client.bottom - client.top, SWP_ASYNCWINDOWPOS);
}

void GreyMenuItem(LRESULT menuHandle, int position) {
  HMENU menu = reinterpret_cast<HMENU>(menuHandle);
  EnableMenuItem(menu, GetMenuItemID(menu, position), MF_BYCOMMAND | MF_GRAYED);
}

// The viewer's context menu is open at this moment; some of its items act on the viewer's own
// window, which the host owns while it is embedded.
void GreyContextMenu(HWND listerSide) {
  HWND popup = FindWindowExW(nullptr, nullptr, viewer::kPopupMenuClass, nullptr);
  LRESULT menu = 0;
  if (!SendBounded(popup, MN_GETHMENU, 0, 0, &menu)) return;
  GreyMenuItem(menu, viewer::kMenuItemNotForLister1);
  GreyMenuItem(menu, viewer::kMenuItemNotForLister2);
  if (GetParent(listerSide) != nullptr) GreyMenuItem(menu, viewer::kMenuItemNotForQuickView);
}

void PassKeyOn(HWND viewerWindow, WPARAM key) {
  // Giving the focus to another thread's window waits for that thread under some platforms:
  // a viewer that does not answer keeps the focus where it is.
  if (key == VK_TAB && KeyHeld(VK_CONTROL) && WindowAnswers(viewerWindow, kAnswerLimitMs)) {
    SetForegroundWindow(viewerWindow);
    SetFocus(viewerWindow);
  }
  PostMessageW(viewerWindow, WM_KEYDOWN, key, 0);
}

// GetAsyncKeyState reads the physical buttons; the primary one is the right one for a user who
// swapped them.
bool PrimaryButtonHeld() {
  return KeyHeldNow(GetSystemMetrics(SM_SWAPBUTTON) != 0 ? VK_RBUTTON : VK_LBUTTON);
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
      BeginClosing(container);
      break;
    case WM_NCDESTROY:
      FinishClosing(container);
      break;
    case WM_SIZE:
      FitViewer(container, viewerWindow);
      break;
    case WM_TIMER:
      if (wParam == kRefitTimer) FitViewer(container, viewerWindow);
      break;
    case WM_PAINT:
      if (ViewerEnded(container)) PaintViewerEndedNotice(container);
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

  // Any message may follow a change of the viewer's title (a step, a resize, a key it was
  // given), so every one refreshes the caption; not while the button is held, as during a drag,
  // nor once the view is out of sight.
  if (!OutOfSight(container, message, wParam, lParam) && !PrimaryButtonHeld()) {
    WindowCaption(viewerWindow, listerSide);
  }
  return DefWindowProcW(container, message, wParam, lParam);
}

void RegisterContainerClass() {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_PARENTDC;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = gModule;
  windowClass.hIcon = LoadIconW(nullptr, IDI_WINLOGO);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = viewer::kWindowClass;
  windowClass.hIconSm = LoadIconW(nullptr, IDI_WINLOGO);
  RegisterClassExW(&windowClass);
}

View* FindLiveView(HWND container) { return IsWindow(container) ? ViewOf(container) : nullptr; }

HWND CreateContainerWindow(HWND listerWindow, View* view) {
  HWND container =
      CreateWindowExW(0, viewer::kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                      0, 0, listerWindow, nullptr, gModule, nullptr);
  if (container == nullptr) return nullptr;
  SetWindowLongPtrW(container, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
  BringWindowToTop(container);
  return container;
}
