// Window-class tests: the class name is fetched into the shared text buffer and compared exactly
// (whole name, case-sensitive) with each listed name in turn.
#pragma once

#include <windows.h>

#include <initializer_list>

// False whenever the class name cannot be fetched (a null or vanished window), whatever the
// shared text buffer held before.
bool WindowClassIs(HWND window, std::initializer_list<const wchar_t*> names);
