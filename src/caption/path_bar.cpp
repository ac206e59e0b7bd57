// Painting over the host's path bar so that the text reads like the host's own header. Colours
// and font are read afresh from the host settings file at every call: a change the user makes
// to the host's theme shows at the next refresh. The device context and the font are released,
// and the thread's DPI awareness given back, before the call returns.
#include "caption/path_bar.h"

#include "contracts/host.h"
#include "plugin/bounded_send.h"
#include "plugin/dpi_awareness.h"
#include "plugin/file_names.h"
#include "plugin/text.h"

namespace {

struct CaptionColours {
  COLORREF activeBackground;
  COLORREF activeText;
  COLORREF inactiveBackground;
  COLORREF inactiveText;
};

// Asked from the viewer's thread too: a host busy with other work gives no answer in time, and
// nothing is painted then.
bool AskHost(WPARAM request, HWND* answer) {
  LRESULT window = 0;
  bool answered = SendBounded(FindWindowW(host::kMainWindowClass, nullptr), host::kWindowRequest,
                              request, 0, &window);
  *answer = reinterpret_cast<HWND>(window);
  return answered;
}

// The path bar over the active panel's quick-view pane; null when the host does not answer.
HWND FindPathBar() {
  HWND leftList = nullptr;
  HWND activeList = nullptr;
  HWND pathBar = nullptr;
  if (!AskHost(host::kRequestLeftList, &leftList) ||
      !AskHost(host::kRequestActiveList, &activeList)) {
    return nullptr;
  }
  bool leftActive = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(leftList)) ==
                    static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(activeList));
  AskHost(leftActive ? host::kRequestLeftPathBar : host::kRequestRightPathBar, &pathBar);
  return pathBar;
}

// An unreadable theme value counts as light, the system's own default.
const wchar_t* SystemThemeSection() {
  HKEY key = nullptr;
  DWORD lightTheme = 1;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, host::kThemeKey, 0, KEY_QUERY_VALUE, &key) ==
      ERROR_SUCCESS) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    if (RegQueryValueExW(key, host::kAppsUseLightThemeValue, nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof(value)) {
      lightTheme = value;
    }
    RegCloseKey(key);
  }
  if (lightTheme == 1) return host::kColorsSection;
  if (lightTheme == 0) return host::kColorsDarkSection;
  return L"";
}

const wchar_t* ChooseColourSection(const wchar_t* hostSettings) {
  wchar_t darkMode[kTextCapacity] = {};
  ReadSetting(hostSettings, host::kConfigurationSection, host::kDarkModeKey, L"", darkMode,
              kTextCapacity);
  if (darkMode[0] == L'\0' || TextEquals(darkMode, host::kDarkModeOff)) return host::kColorsSection;
  if (TextEquals(darkMode, host::kDarkModeFollowSystem)) return SystemThemeSection();
  if (TextEquals(darkMode, host::kDarkModeOn)) return host::kColorsDarkSection;
  return L"";
}

// The section's RedirectSection file when it names one, else the host settings file.
void FindSourceFile(const wchar_t* hostSettings, const wchar_t* section, wchar_t* sourceFile) {
  wchar_t redirect[kTextCapacity] = {};
  ReadSetting(hostSettings, section, host::kRedirectSectionKey, L"", redirect, kTextCapacity);
  if (redirect[0] == L'\0' || !TextExpand(sourceFile, kTextCapacity, redirect)) {
    TextCopy(sourceFile, kTextCapacity, hostSettings);
  }
}

COLORREF ReadColour(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                    COLORREF darkDefault, int systemColour) {
  wchar_t text[kTextCapacity] = {};
  ReadSetting(file, section, key, L"", text, kTextCapacity);
  if (text[0] != L'\0') return static_cast<COLORREF>(TextToLong(text)) & 0xFFFFFF;
  return TextEquals(section, host::kColorsDarkSection) ? darkDefault : GetSysColor(systemColour);
}

CaptionColours ReadCaptionColours(const wchar_t* hostSettings) {
  const wchar_t* section = ChooseColourSection(hostSettings);
  wchar_t file[kTextCapacity] = {};
  FindSourceFile(hostSettings, section, file);
  CaptionColours colours;
  colours.activeBackground =
      ReadColour(file, section, host::kActiveTitleKey, host::kDarkActiveTitle, COLOR_ACTIVECAPTION);
  colours.activeText = ReadColour(file, section, host::kActiveTitleTextKey,
                                  host::kDarkActiveTitleText, COLOR_CAPTIONTEXT);
  colours.inactiveBackground = ReadColour(file, section, host::kInactiveTitleKey,
                                          host::kDarkInactiveTitle, COLOR_INACTIVECAPTION);
  colours.inactiveText = ReadColour(file, section, host::kInactiveTitleTextKey,
                                    host::kDarkInactiveTitleText, COLOR_INACTIVECAPTIONTEXT);
  return colours;
}

// The host's window font at the bar's own DPI, or the device's vertical resolution where the
// system cannot tell the bar's. A face name too long for the font record would name no font at
// all: the default face of the host's font set is used then.
HFONT CreateHostFont(const wchar_t* hostSettings, HWND pathBar, HDC dc) {
  wchar_t newDefFont[kTextCapacity] = {};
  ReadSetting(hostSettings, host::kConfigurationSection, host::kUseNewDefFontKey, L"", newDefFont,
              kTextCapacity);
  bool newFont = TextEquals(newDefFont, host::kUseNewDefFontOn);
  wchar_t file[kTextCapacity] = {};
  FindSourceFile(hostSettings, host::kAllResolutionsSection, file);

  const wchar_t* defaultFace = newFont ? host::kNewFontName : host::kOldFontName;
  wchar_t size[kTextCapacity] = {};
  wchar_t weight[kTextCapacity] = {};
  wchar_t face[kTextCapacity] = {};
  ReadSetting(file, host::kAllResolutionsSection, host::kFontSizeKey,
              newFont ? host::kNewFontSize : host::kOldFontSize, size, kTextCapacity);
  ReadSetting(file, host::kAllResolutionsSection, host::kFontWeightKey,
              newFont ? host::kNewFontWeight : host::kOldFontWeight, weight, kTextCapacity);
  ReadSetting(file, host::kAllResolutionsSection, host::kFontNameKey, defaultFace, face,
              kTextCapacity);

  UINT barDpi = WindowDpi(pathBar);
  int resolution = barDpi != 0 ? static_cast<int>(barDpi) : GetDeviceCaps(dc, LOGPIXELSY);
  LOGFONTW font = {};
  font.lfHeight = -MulDiv(TextToLong(size), resolution, 72);
  font.lfWeight = TextToLong(weight);
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_CHARACTER_PRECIS;
  font.lfQuality = PROOF_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  if (!TextCopy(font.lfFaceName, LF_FACESIZE, face))
    TextCopy(font.lfFaceName, LF_FACESIZE, defaultFace);
  return CreateFontIndirectW(&font);
}

// Paints in the awareness of the calling thread; PathBarCaption makes it per-monitor first.
void PaintOver(HWND pathBar, const wchar_t* displayText) {
  RECT client = {};
  GetClientRect(pathBar, &client);
  HDC dc = GetDC(pathBar);
  if (dc == nullptr) return;

  wchar_t hostSettings[kTextCapacity] = {};
  GetHostSettingsFile(hostSettings);

  CaptionColours colours = ReadCaptionColours(hostSettings);
  if (GetPixel(dc, 1, 1) == colours.inactiveBackground) {
    SetBkColor(dc, colours.inactiveBackground);
    SetTextColor(dc, colours.inactiveText);
  } else {
    SetBkColor(dc, colours.activeBackground);
    SetTextColor(dc, colours.activeText);
  }

  HFONT font = CreateHostFont(hostSettings, pathBar, dc);
  HGDIOBJ previousFont = SelectObject(dc, font);
  DrawTextW(dc, displayText, -1, &client, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
  SelectObject(dc, previousFont);
  DeleteObject(font);
  ReleaseDC(pathBar, dc);
}

}  // namespace

// The host's thread and the viewer's may be aware of the display's scale in different ways; a
// thread unaware of it would get the bar's size and resolution scaled down to 96 DPI and paint
// smaller text higher up. Per-monitor aware, both get the bar as it is on the screen.
void PathBarCaption(const wchar_t* displayText, bool draw) {
  if (!draw) return;
  HWND pathBar = FindPathBar();
  if (pathBar == nullptr) return;
  DPI_AWARENESS_CONTEXT previous = EnterPerMonitorDpiAwareness();
  PaintOver(pathBar, displayText);
  RestoreDpiAwareness(previous);
}
