#pragma once

#include <windows.h>

// Starts the viewer on the file and captures its main window into a new container window in
// the Lister window. Returns the container window, or null when the view cannot be built.
HWND RunLoadSequence(HWND listerWindow, const wchar_t* fileName);
