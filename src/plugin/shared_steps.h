// Small steps that several routines take alike, written once.
#pragma once

#include <windows.h>

// Whether a key (or mouse button) is held: as the calling thread's input has it so far
// (GetKeyState), or as the keyboard is now (GetAsyncKeyState).
bool KeyHeld(int key);
bool KeyHeldNow(int key);

// The four arrow keys, in the order the wait for the viewer asks for them.
constexpr BYTE kArrowKeys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT};

// A hook's two answers: swallow the message, or pass it on to the next hook.
constexpr LRESULT kSwallow = 1;
LRESULT PassOn(int code, WPARAM wParam, LPARAM lParam);

// The file name of the library (the module), at most kTextCapacity characters; false (and
// empty) when it does not fit.
bool GetLibraryFileName(HMODULE module, wchar_t* path);

// The host settings file named by COMMANDER_INI; empty when the variable is unset or too long
// for its bound.
void GetHostSettingsFile(wchar_t* path);
