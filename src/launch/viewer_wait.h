// The wait for the viewer's main window. It blocks the host's thread for the host's own messages
// and input, which stay queued, but handles what other threads send that thread meanwhile: a
// viewer that asks every top-level window something before it shows its own would otherwise wait
// for the host while the host waits for it. It wakes when the viewer ends or a message is sent,
// and is bounded.
#pragma once

#include <windows.h>

enum class ViewerWait { kFound, kArrowKey, kViewerExited, kTimedOut, kContainerGone };

// Longest wait for a viewer that runs but shows no window, in milliseconds.
constexpr DWORD kViewerWaitLimitMs = 20000;

// Longest pause between two looks for the window, which announces itself by no event the host's
// thread could wait on. Windows rounds a pause this short up to its timer tick unless asked
// otherwise, so a capture follows the window's appearance within about one tick; where pauses
// are exact, a shorter one would only cost the waiting thread more processor for each pass.
constexpr DWORD kViewerWaitPassMs = 10;

// How long one pass gives a found window's thread to answer.
constexpr UINT kViewerAnswerPassMs = 100;

// Waits for the main window of the viewer process (its handle and id) to appear and answer.
ViewerWait WaitForViewerWindow(HANDLE viewer, DWORD viewerId, HWND container, HWND* viewerWindow);
