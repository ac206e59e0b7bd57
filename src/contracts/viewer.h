// What the plugin relies on in the outside image viewer: its program and settings file names,
// its window class, its command line, its commands and the settings keys the plugin touches.
#pragma once

#include <windows.h>

namespace viewer {

constexpr const wchar_t* kProgram32 = L"kelv32.exe";
constexpr const wchar_t* kProgram64 = L"kelv64.exe";
constexpr const wchar_t* kSettings32 = L"kelv32.ini";
constexpr const wchar_t* kSettings64 = L"kelv64.ini";

// Folders beside the plugin where the viewer is installed by default.
constexpr const wchar_t* kFolder32 = L"Kelvane\\";
constexpr const wchar_t* kFolder64 = L"Kelvane64\\";

// The main window: top-level, made by the process's first thread, any title.
constexpr const wchar_t* kWindowClass = L"Kelvane";

// Command line: the program name is always the 32-bit one, whichever build is started.
constexpr const wchar_t* kCommandLineProgram = L"kelv32.exe";
constexpr const wchar_t* kCommandLineFormat = L"%s %s\"%s\"%s";
constexpr const wchar_t* kCommandLineWithIniFormat = L"%s %s\"%s\"%s /ini=\"%s\"";
constexpr int kCommandLineCapacity = 512;

// Posted as WM_COMMAND with lParam 0: print the current picture.
constexpr WPARAM kPrintCommand = 1132;

// The viewer's context menu, a standard popup.
constexpr const wchar_t* kPopupMenuClass = L"#32768";
constexpr int kMenuItemNotForLister1 = 27;
constexpr int kMenuItemNotForLister2 = 28;
constexpr int kMenuItemNotForQuickView = 29;

// Settings file keys.
constexpr const wchar_t* kViewingSection = L"Viewing";
constexpr const wchar_t* kFullScreenKey = L"FullScreen";
constexpr const wchar_t* kFullScreenOff = L"0";
constexpr const wchar_t* kOthersSection = L"Others";
constexpr const wchar_t* kIniFolderKey = L"INI_Folder";
constexpr const wchar_t* kGhostscriptSection = L"Ghostscript";
constexpr const wchar_t* kGsLocationKey = L"GS_Location";
constexpr const wchar_t* kGsLocationOn = L"1";
constexpr const wchar_t* kGsDllKey = L"GS_DLL";

// Environment variable through which Ghostscript finds its folders; the viewer inherits it.
constexpr const wchar_t* kGsLibVariable = L"GS_LIB";

}  // namespace viewer
