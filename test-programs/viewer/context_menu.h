// The viewer's right-click menu: a plain popup that tells an embedding window when it is open.
#pragma once

#include <windows.h>

// Opens the popup at the screen point and returns when it has closed.
void TrackContextMenu(HWND owner, POINT screenPoint);

// Closes the menu if it is open; for an owner window that is being destroyed.
void CloseContextMenu();

// WM_ENTERIDLE of the owner window.
void ReportContextMenuOnIdle(HWND owner, WPARAM reason);
