// An embedded window must not be closed, moved or sized through its own system menu: the host
// owns its place. Close stays in the menu, greyed, so the menu keeps its familiar shape.
#include <initializer_list>

#include "launch/system_menu.h"

void StripSystemMenu(HWND window) {
  EnableMenuItem(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_DISABLED | MF_GRAYED);
  for (UINT command : {SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE, SC_SIZE, SC_MOVE}) {
    DeleteMenu(GetSystemMenu(window, FALSE), command, MF_BYCOMMAND);
  }
}
