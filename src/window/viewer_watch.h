// The watch over a view's viewer, from the capture until the container is gone. Windows counts
// a window's thread as hung once it has retrieved no message for five seconds, and a child window
// of another thread shares its parent's input: a hung viewer would then hold the host's input, and
// every call the host makes on the viewer's window, whether or not the host calls anything. The
// watch's thread asks about once a second whether the viewer is hung by that rule, and ends its
// process when it still is a moment later; a viewer that is only busy for a while is left to
// finish. Ending the viewer frees whatever call of the host waited for it.
#pragma once

#include <windows.h>

// The host's side of a watch: all null when nothing is watched.
struct ViewerWatch {
  HANDLE thread;
  HANDLE stop;   // set by the host when the watch is to end
  HANDLE ended;  // set by the watch when it ended the viewer
};

// Starts watching the viewer's window on behalf of the container, which is repainted once the
// viewer was ended. The process handle is duplicated, so the caller keeps its own. A watch that
// cannot start watches nothing; StopViewerWatch is still to be called.
void StartViewerWatch(HANDLE viewerProcess, HWND viewerWindow, HWND container, ViewerWatch* watch);

// Whether the watch ended the viewer because it was hung.
bool ViewerWasEnded(const ViewerWatch& watch);

// Ends the watch and releases the host's handles. The watch's thread holds its own handles and a
// reference to this library, so a thread that does not end within a short wait is let go safely.
void StopViewerWatch(ViewerWatch* watch);

// Terminates a viewer process and gives the system a moment to take it down, so that none is
// seen running after the plugin's call returns.
void EndViewerProcess(HANDLE process);
