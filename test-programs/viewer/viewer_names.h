// The names and numbers by which the outside world knows this viewer. They are written out here on
// purpose instead of being shared with the plugin's own copy, so that a slip on either side shows
// up in the tests rather than agreeing with itself.
#pragma once

#include <windows.h>

namespace names {

constexpr const wchar_t kWindowClass[] = L"Kelvane";
constexpr const wchar_t kTitleSuffix[] = L" - Kelvane";
constexpr const wchar_t kProgramName[] = L"Kelvane";  // title while no file is shown
// The picture area inside the main window, which takes the keyboard focus; a host accepts its
// class as its own when it hands keys back.
constexpr const wchar_t kPictureAreaClass[] = L"Window";

#ifdef _WIN64
constexpr const wchar_t kIniName[] = L"kelv64.ini";
#else
constexpr const wchar_t kIniName[] = L"kelv32.ini";
#endif

constexpr const wchar_t kViewingSection[] = L"Viewing";
constexpr const wchar_t kFullScreenKey[] = L"FullScreen";
constexpr const wchar_t kOthersSection[] = L"Others";
constexpr const wchar_t kIniFolderKey[] = L"INI_Folder";

constexpr WORD kPrintCommand = 1132;

// Context menu: 32 plain items; the host greys some of them by position.
constexpr int kMenuItemCount = 32;
constexpr UINT kFirstMenuItemId = 2000;
constexpr int kWatchedMenuItems[] = {27, 28, 29};

}  // namespace names
