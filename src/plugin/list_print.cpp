// Printing is the viewer's: the plugin only passes the print command on.
#include "contracts/viewer.h"
#include "plugin/exports.h"

int WINAPI ListPrint(HWND pluginWindow, char* /*fileName*/, char* /*printer*/, int /*flags*/,
                     RECT* /*margins*/) {
  HWND viewerWindow = GetWindow(pluginWindow, GW_CHILD);
  if (viewerWindow != nullptr) PostMessageW(viewerWindow, WM_COMMAND, viewer::kPrintCommand, 0);
  return 0;
}
