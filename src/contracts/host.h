// What the plugin relies on in the host file manager: its window classes, its window request
// message and the keys it reads from its settings file. The host is only ever called, never
// linked against; every name here must match the host's exactly (comparisons are case-sensitive).
#pragma once

#include <windows.h>

namespace host {

// Window classes.
constexpr const wchar_t* kMainWindowClass = L"TTOTAL_CMD";
constexpr const wchar_t* kListerClass = L"TLister";
constexpr const wchar_t* kListerClassAlias = L"Window";  // accepted wherever "TLister" is
constexpr const wchar_t* kFcMainWindowClass = L"FreeCommanderXE.SingleInst.1";
constexpr const wchar_t* kFcViewerClass = L"TfcViewerForm";

// Window request: sent to the first "TTOTAL_CMD" window with lParam 0, answers a window handle.
constexpr UINT kWindowRequest = WM_USER + 50;  // 1074
constexpr WPARAM kRequestLeftList = 1;
constexpr WPARAM kRequestActiveList = 3;
constexpr WPARAM kRequestRightPathBar = 9;
constexpr WPARAM kRequestLeftPathBar = 10;

// Keys handed over to the host keep their meaning there only while its menu bar is the full one.
constexpr int kMenuItemsForPanelKeys = 7;

// Environment variable naming the host settings file.
constexpr const wchar_t* kSettingsFileVariable = L"COMMANDER_INI";

// Host settings file: sections and keys.
constexpr const wchar_t* kConfigurationSection = L"Configuration";
constexpr const wchar_t* kDarkModeKey = L"DarkMode";
constexpr const wchar_t* kUseNewDefFontKey = L"UseNewDefFont";
constexpr const wchar_t* kColorsSection = L"Colors";
constexpr const wchar_t* kColorsDarkSection = L"ColorsDark";
constexpr const wchar_t* kRedirectSectionKey = L"RedirectSection";
constexpr const wchar_t* kActiveTitleKey = L"ActiveTitle";
constexpr const wchar_t* kActiveTitleTextKey = L"ActiveTitleText";
constexpr const wchar_t* kInactiveTitleKey = L"InactiveTitle";
constexpr const wchar_t* kInactiveTitleTextKey = L"InactiveTitleText";
constexpr const wchar_t* kAllResolutionsSection = L"AllResolutions";
constexpr const wchar_t* kFontSizeKey = L"FontSizeWindow";
constexpr const wchar_t* kFontWeightKey = L"FontWeightWindow";
constexpr const wchar_t* kFontNameKey = L"FontNameWindow";
constexpr const wchar_t* kListerSection = L"Lister";
constexpr const wchar_t* kMaximizedKey = L"Maximized";

// DarkMode values, compared exactly.
constexpr const wchar_t* kDarkModeOff = L"0";
constexpr const wchar_t* kDarkModeFollowSystem = L"1";
constexpr const wchar_t* kDarkModeOn = L"2";
constexpr const wchar_t* kUseNewDefFontOn = L"1";

// Font defaults, by UseNewDefFont.
constexpr const wchar_t* kNewFontSize = L"9";
constexpr const wchar_t* kNewFontWeight = L"400";
constexpr const wchar_t* kNewFontName = L"Segoe UI";
constexpr const wchar_t* kOldFontSize = L"8";
constexpr const wchar_t* kOldFontWeight = L"700";
constexpr const wchar_t* kOldFontName = L"Microsoft Sans Serif";

// Caption colour defaults in the dark section (COLORREF layout, red in the low byte).
constexpr COLORREF kDarkActiveTitle = 0x404040;
constexpr COLORREF kDarkActiveTitleText = 0xDCDCDC;
constexpr COLORREF kDarkInactiveTitle = 0x202020;
constexpr COLORREF kDarkInactiveTitleText = 0xDCDCDC;

// The system's app theme, read when DarkMode asks to follow it.
constexpr const wchar_t* kThemeKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr const wchar_t* kAppsUseLightThemeValue = L"AppsUseLightTheme";

// Windows that own the Esc key while they are active.
constexpr const wchar_t* kDialogClass = L"#32770";
constexpr const wchar_t* kFullScreenClass = L"FullScreenClass";

}  // namespace host
