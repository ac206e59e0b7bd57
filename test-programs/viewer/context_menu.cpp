// Context menu. A window that embeds the viewer learns that the popup is open through a
// WM_CONTEXTMENU sent to it once the menu loop first waits for input: only then does the popup
// window exist for it to find and change (it greys some items).
#include "context_menu.h"

#include <string>

#include "log.h"
#include "viewer_names.h"

namespace {

// State of the one menu that can be open at a time; the menu loop is modal.
HMENU gMenu = nullptr;
POINT gPoint = {};
bool gReported = false;

HMENU BuildMenu() {
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) {
    return nullptr;
  }
  for (int i = 0; i < names::kMenuItemCount; ++i) {
    const std::wstring text = L"Item " + std::to_wstring(i);
    AppendMenuW(menu, MF_STRING, names::kFirstMenuItemId + i, text.c_str());
  }
  return menu;
}

void LogGreyedItems() {
  std::wstring line = L"menu greyed";
  for (int position : names::kWatchedMenuItems) {
    const UINT state = GetMenuState(gMenu, position, MF_BYPOSITION);
    const bool greyed = state != static_cast<UINT>(-1) && (state & MF_GRAYED) != 0;
    line += L" " + std::to_wstring(position) + (greyed ? L"=1" : L"=0");
  }
  LogLine(line);
}

}  // namespace

void TrackContextMenu(HWND owner, POINT screenPoint) {
  if (gMenu != nullptr) {
    return;  // already open: a second request while the loop runs is not a new menu
  }
  gMenu = BuildMenu();
  if (gMenu == nullptr) {
    return;
  }
  gPoint = screenPoint;
  gReported = false;
  LogLine(L"menu open");
  // Without TPM_RETURNCMD a chosen item arrives as WM_COMMAND, like any other command.
  TrackPopupMenu(gMenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, screenPoint.x,
                 screenPoint.y, 0, owner, nullptr);
  LogLine(L"menu closed");
  DestroyMenu(gMenu);
  gMenu = nullptr;
}

void CloseContextMenu() {
  if (gMenu != nullptr) {
    EndMenu();
  }
}

void ReportContextMenuOnIdle(HWND owner, WPARAM reason) {
  if (reason != MSGF_MENU || gMenu == nullptr || gReported) {
    return;
  }
  gReported = true;
  HWND parent = GetParent(owner);
  if (parent != nullptr) {
    SendMessageW(parent, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(owner),
                 MAKELPARAM(gPoint.x, gPoint.y));
  }
  LogGreyedItems();
}
