// The plugin's own settings file beside the library, and the texts the plugin shows the user.
#pragma once

namespace plugin_files {

constexpr const wchar_t* kSettingsFile = L"kelvane.ini";

constexpr const wchar_t* kViewerSection = L"Kelvane";
constexpr const wchar_t* kViewerPath32Key = L"path";
constexpr const wchar_t* kViewerPath64Key = L"path64";
constexpr const wchar_t* kListerIniFolderKey = L"DirIniL";
constexpr const wchar_t* kQuickViewIniFolderKey = L"DirIniQ";
constexpr const wchar_t* kGhostscriptSection = L"Ghostscript";
constexpr const wchar_t* kGhostscript32Key = L"path";
constexpr const wchar_t* kGhostscript64Key = L"path64";

// A new settings file: the two section headers, filled with kViewerSection and
// kGhostscriptSection in this order, and no keys.
constexpr const wchar_t* kNewSettingsFileFormat = L"[%s]\r\n[%s]\r\n";

// Default viewer programs, relative to the plugin folder.
constexpr const wchar_t* kDefaultViewer32 = L"Kelvane\\kelv32.exe";
constexpr const wchar_t* kDefaultViewer64 = L"Kelvane64\\kelv64.exe";

// Messages, formatted with wsprintf-style %s placeholders.
constexpr const wchar_t* kCannotCreateSettings =
    L"I can't create a file %s. Default paths will be used  %s, %s";
constexpr const wchar_t* kCannotFindViewer =
    L"I can't find the %s in the path specified in the file %s";
constexpr const wchar_t* kCannotFindModeIni = L"I can't find the file %s";
// The first placeholder names the key with its section, e.g. "[Kelvane] path64".
constexpr const wchar_t* kCannotUseLongSetting =
    L"I can't use the setting %s in the file %s: its value is longer than 259 characters";
constexpr const wchar_t* kSettingNameFormat = L"[%s] %s";
// The mark, in the host process's own atom table, that the message above has been shown there.
constexpr const wchar_t* kSettingsFileMessageShownAtom = L"Kelvane: kelvane.ini cannot be created";
// Shown in the view, not in a message box, once a viewer that stopped responding was ended.
constexpr const wchar_t* kViewerEndedNotice =
    L"I can't show this file any more: the viewer stopped responding and was ended.";

// Ghostscript folder list pieces.
constexpr const wchar_t* kGsLibFolderEnd = L"\\;";
constexpr const wchar_t* kGsLibFonts = L"\\fonts\\;";
constexpr const wchar_t* kGsLibLib = L"\\lib\\";

// Lister caption.
constexpr const wchar_t* kTitleSuffixFormat = L" - %s";
constexpr const wchar_t* kListerCaptionFormat = L"Lister (%s) - [%s]";

}  // namespace plugin_files
