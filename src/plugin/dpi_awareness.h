// The calling thread's DPI awareness and a window's DPI, through functions that only newer
// systems have: each is looked up in user32 at every call, so the library still loads, and does
// what it did before, where they are missing.
#pragma once

#include <windows.h>

// Makes the calling thread aware of each monitor's DPI: the second version of that awareness
// where the system has it, else the first. Answers the thread's earlier context for
// RestoreDpiAwareness; null when the thread was left as it was.
DPI_AWARENESS_CONTEXT EnterPerMonitorDpiAwareness();
void RestoreDpiAwareness(DPI_AWARENESS_CONTEXT previous);

// The DPI of the window as the window itself has it; 0 where the system cannot tell.
UINT WindowDpi(HWND window);
