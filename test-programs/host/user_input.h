// Real input through SendInput, as a user's mouse and keyboard make it: the system routes it to
// the window under the pointer and to the focus window, whichever process owns them.
#pragma once

#include <windows.h>

// Moves the pointer to the screen point and clicks the left button there.
bool SendClick(POINT screenPoint);
// Presses and releases a key.
bool SendKeyPress(WORD virtualKey);
