// Mouse hook on the viewer's GUI thread: a left-button release refreshes the caption, quick
// view withholds double clicks from the viewer, and a wheel turn is answered with a release so
// that the caption follows the file the wheel stepped to. Stateless.
#include "plugin/exports.h"
#include "window/hook_answers.h"
#include "window/host_window.h"

LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
  // The windows are derived only for the messages that use them: every pointer move of the
  // viewer passes through here.
  if (code == HC_ACTION && (wParam == WM_LBUTTONUP || wParam == WM_LBUTTONDBLCLK)) {
    const MOUSEHOOKSTRUCT* record = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    HWND targetParent = GetParent(record->hwnd);
    HWND hostWindow = CaptionWindowFor(GetAncestor(targetParent, GA_ROOT));
    if (wParam == WM_LBUTTONDBLCLK && GetParent(hostWindow) != nullptr) return kSwallow;
    WindowCaption(targetParent, hostWindow);
  } else if (code == HC_ACTION && wParam == WM_MOUSEWHEEL) {
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
  }
  return PassOn(code, wParam, lParam);
}
