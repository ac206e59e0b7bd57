// Keyboard hook on the viewer's GUI thread: the host's own keys go back to the host, Esc closes
// a Lister window, quick view withholds the keys that would act on the viewer's own window, and
// the caption follows the viewer's navigation keys. Stateless; runs in the viewer's process
// when the library and the viewer have the same width.
#include "contracts/host.h"
#include "plugin/exports.h"
#include "plugin/window_class.h"
#include "window/hook_answers.h"
#include "window/host_window.h"
#include "window/key_state.h"

namespace {

bool FocusClassAccepted() {
  return WindowClassIs(GetFocus(),
                       {host::kListerClassAlias, host::kListerClass, host::kFcViewerClass});
}

bool DialogOrFullScreenActive() {
  return WindowClassIs(GetActiveWindow(), {host::kDialogClass, host::kFullScreenClass});
}

void HandKeyToHost(HWND topLevel, BYTE key) {
  SetForegroundWindow(topLevel);
  SetFocus(topLevel);
  keybd_event(key, 0, 0, 0);
}

// N and P mean something to the host only while its full menu bar is shown.
bool HostTakesPanelKey(HWND topLevel, int key) {
  return KeyHeld(key) && GetMenuItemCount(GetMenu(topLevel)) > host::kMenuItemsForPanelKeys &&
         FocusClassAccepted();
}

enum class Outcome { kPassOn, kSwallow };

Outcome HandleEscape(HWND topLevel) {
  if (!KeyHeld(VK_ESCAPE)) return Outcome::kPassOn;
  if (IsHostMainWindow(topLevel)) return Outcome::kSwallow;
  if (DialogOrFullScreenActive()) return Outcome::kPassOn;
  PostMessageW(topLevel, WM_CLOSE, 0, 0);
  return Outcome::kPassOn;
}

bool HasRule(WPARAM key) {
  switch (key) {
    case VK_BACK:
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_SPACE:
    case VK_LEFT:
    case VK_RIGHT:
    case 'C':
    case 'M':
    case 'N':
    case 'P':
      return true;
    default:
      return key >= '1' && key <= '8';
  }
}

Outcome HandleKey(WPARAM key, HWND focusParent, HWND topLevel) {
  switch (key) {
    case VK_BACK:
    case VK_SPACE:
    case VK_LEFT:
    case VK_RIGHT:
      WindowCaption(focusParent, CaptionWindowFor(topLevel));
      // The release comes back through the mouse hook after the viewer has moved on, and
      // refreshes the caption from the new title.
      mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
      return Outcome::kPassOn;
    case VK_TAB:
      if (KeyHeld(VK_CONTROL)) {
        SetForegroundWindow(GetWindow(topLevel, GW_CHILD));
        SetFocus(GetWindow(topLevel, GW_CHILD));
      }
      return Outcome::kPassOn;
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
      if (FocusClassAccepted()) HandKeyToHost(topLevel, static_cast<BYTE>(key));
      return Outcome::kPassOn;
    case 'C':
    case 'M':
      if (KeyHeld(VK_MENU) && KeyHeld(VK_SHIFT)) return Outcome::kSwallow;
      if (IsHostMainWindow(topLevel)) return Outcome::kSwallow;
      // The Esc rule asks whether Esc itself is held, not this key: C, M and Enter pass on
      // unless Esc is down at the same moment, and then close the Lister as Esc would.
      return HandleEscape(topLevel);
    case VK_RETURN:
      if (IsHostMainWindow(topLevel)) return Outcome::kSwallow;
      return HandleEscape(topLevel);
    case VK_ESCAPE:
      return HandleEscape(topLevel);
    case 'N':
    case 'P':
      if (HostTakesPanelKey(topLevel, static_cast<int>(key))) {
        HandKeyToHost(topLevel, static_cast<BYTE>(key));
      }
      return Outcome::kPassOn;
    default:
      return Outcome::kPassOn;
  }
}

}  // namespace

LRESULT CALLBACK KbdProc(int code, WPARAM wParam, LPARAM lParam) {
  // Keys outside the table pass on without any window being looked at: every key of the
  // viewer passes through here.
  if (code == HC_ACTION && HasRule(wParam)) {
    HWND focusParent = GetParent(GetFocus());
    HWND topLevel = GetAncestor(focusParent, GA_ROOT);
    if (HandleKey(wParam, focusParent, topLevel) == Outcome::kSwallow) return kSwallow;
  }
  return PassOn(code, wParam, lParam);
}
