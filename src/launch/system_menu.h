#pragma once

#include <windows.h>

// Greys Close and removes Maximize, Minimize, Restore, Size and Move from a window's system
// menu, fetching the menu anew before each change.
void StripSystemMenu(HWND window);
