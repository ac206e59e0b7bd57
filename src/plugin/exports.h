// Everything the host sees of the library. The six Lister functions are exported by the .def
// file under their plain names; the plugin's own routines carry dllexport and keep their
// type-decorated names. In the 32-bit build all of them are stdcall, as the interface asks.
#pragma once

#include <windows.h>

#if defined(KELVANE_BUILDING_LIBRARY)
#define KELVANE_OWN_EXPORT __declspec(dllexport)
#else
#define KELVANE_OWN_EXPORT
#endif

extern "C" {
HWND WINAPI ListLoad(HWND listerWindow, char* fileName, int showFlags);
HWND WINAPI ListLoadW(HWND listerWindow, wchar_t* fileName, int showFlags);
void WINAPI ListGetDetectString(char* buffer, int length);
int WINAPI ListPrint(HWND pluginWindow, char* fileName, char* printer, int flags, RECT* margins);
int WINAPI ListSendCommand(HWND pluginWindow, int command, int parameter);
int WINAPI ListSearchDialog(HWND pluginWindow, int findNext);
}

KELVANE_OWN_EXPORT LRESULT CALLBACK KbdProc(int code, WPARAM wParam, LPARAM lParam);
KELVANE_OWN_EXPORT LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam);
KELVANE_OWN_EXPORT LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam);
KELVANE_OWN_EXPORT wchar_t* WINAPI WindowCaption(HWND sourceWindow, HWND listerWindow);

// Returns the GS_LIB value for a Ghostscript DLL path, allocated with LocalAlloc: the caller
// owns it and frees it with LocalFree. Null when the path does not fit its bound.
KELVANE_OWN_EXPORT wchar_t* WINAPI gsenv(const wchar_t* ghostscriptDll);
