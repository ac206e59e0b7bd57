// Where the files the plugin reads lie: its own library, and the host's settings.
#pragma once

#include <windows.h>

// The file name of the library (the module), at most kTextCapacity characters; false (and
// empty) when it does not fit.
bool GetLibraryFileName(HMODULE module, wchar_t* path);

// The host settings file named by COMMANDER_INI; empty when the variable is unset or too long
// for its bound.
void GetHostSettingsFile(wchar_t* path);
