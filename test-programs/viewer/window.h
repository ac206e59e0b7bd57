// The viewer's main window: class registration, creation and its window procedure.
#pragma once

#include <windows.h>

#include <string>

struct WindowSetup {
  std::wstring file;        // the file shown first; empty for none
  bool fullScreen;          // a popup covering the primary screen instead of a framed window
  std::wstring mirrorFile;  // every paint of the picture area is also written to this BMP file
};

// Registers the class and creates the window on the calling thread, which must then run the
// message loop. outCreatedAt receives the performance counter taken as creation returned.
HWND CreateViewerWindow(HINSTANCE instance, const WindowSetup& setup, LONGLONG* outCreatedAt);

// The title for a shown file: "<name> - Kelvane".
std::wstring TitleFor(const std::wstring& file);
