// The wait for the viewer's main window. It blocks the host's thread without handling its
// messages, but yields the processor between passes and is bounded.
#pragma once

#include <windows.h>

enum class ViewerWait { kFound, kArrowKey, kViewerExited, kTimedOut, kContainerGone };

// Longest wait for a viewer that runs but shows no window, in milliseconds.
constexpr DWORD kViewerWaitLimitMs = 20000;

// Pause between two passes: short enough that a capture follows the window's appearance
// within one timer tick, long enough that the waiting thread uses almost no processor.
constexpr DWORD kViewerWaitPassMs = 5;

ViewerWait WaitForViewerWindow(const PROCESS_INFORMATION& viewer, HWND container,
                               HWND* viewerWindow);
