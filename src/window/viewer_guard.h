// A guard over calls the host's thread makes on the viewer's window (the capture, the container's
// destruction). Several of them wait for the viewer's thread and have no time-out of their own;
// a viewer that stops handling messages in the middle would hold the host for good. The guard's
// thread ends the viewer's process when the calls have not finished within the limit, which
// frees the waiting calls. The guard's thread is gone again when StopViewerGuard returns.
#pragma once

#include <windows.h>

struct ViewerGuard {
  HANDLE process;   // the viewer's process, opened for the guard; null: nothing is guarded
  HANDLE finished;  // set when the guarded calls are done
  HANDLE thread;
  DWORD limitMs;
};

// Starts guarding the process that owns the viewer window. A guard that cannot start (the
// process is gone, no thread can be made) guards nothing; StopViewerGuard is still to be called.
void StartViewerGuard(HWND viewerWindow, DWORD limitMs, ViewerGuard* guard);

// Stops the guard and releases its handles. Answers whether the guard had to end the viewer.
bool StopViewerGuard(ViewerGuard* guard);

// Terminates a viewer process and gives the system a moment to take it down, so that none is
// seen running after the plugin's call returns.
void EndViewerProcess(HANDLE process);
