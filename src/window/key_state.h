// The keyboard as the plugin reads it: whether a key is held, and the arrow keys by which the
// user moves on to another file.
#pragma once

#include <windows.h>

// Whether a key (or mouse button) is held: as the calling thread's input has it so far
// (GetKeyState), or as the keyboard is now (GetAsyncKeyState).
bool KeyHeld(int key);
bool KeyHeldNow(int key);

// The four arrow keys, in the order the wait for the viewer asks for them.
constexpr BYTE kArrowKeys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT};

// Whether an arrow key is held down now. Only the key's current state counts, never the "pressed
// since the last query" bit, which may stand for a press that ended before the caller asked.
bool ArrowKeyHeldNow();
