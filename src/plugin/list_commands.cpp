// The interface's command and search entries. The viewer takes its commands from its own keys
// and menus, and a picture has no text to search: both answer 0, "not handled".
#include "plugin/exports.h"

int WINAPI ListSendCommand(HWND /*pluginWindow*/, int /*command*/, int /*parameter*/) { return 0; }

int WINAPI ListSearchDialog(HWND /*pluginWindow*/, int /*findNext*/) { return 0; }
