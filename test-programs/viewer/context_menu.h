// The viewer's right-click menu: a plain popup that tells an embedding window when it is open.
#pragma once

#include <windows.h>

// Opens the popup at the screen point and returns when it has closed. With autoClose the menu
// closes itself as soon as it has been reported, so that tests need no person to dismiss it.
void TrackContextMenu(HWND owner, POINT screenPoint, bool autoClose);

// Closes the menu if it is open; for an owner window that is being destroyed.
void CloseContextMenu();

// WM_ENTERIDLE of the owner window.
void ReportContextMenuOnIdle(HWND owner, WPARAM reason);
