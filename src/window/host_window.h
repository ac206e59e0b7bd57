// The host's windows as the hooks see them from inside the viewer.
#pragma once

#include <windows.h>

// Whether a top-level window is a host's main window, that is, the view sits in its quick-view
// pane. False when the class cannot be fetched.
bool IsHostMainWindow(HWND topLevel);

// The window the caption routine is given for a view held by this top-level window: the window
// itself for a Lister of its own; in quick view the main window's first child, a window with a
// parent, by which the caption routine chooses quick view (the main window's own caption is the
// host's and stays as it is).
HWND CaptionWindowFor(HWND topLevel);
