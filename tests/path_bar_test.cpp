// The display text painted over the host's path bar in quick view, read back from the screen
// and compared with the same text drawn here with the colours and font the host's settings ask
// for: the colour section by DarkMode and the system theme, the colour rules, both redirects,
// the active or inactive pair, and the font at the bar's resolution, also on a scaled display
// for a painter unaware of the scale.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "view_fixture.h"

using namespace testing_support;

namespace {

const wchar_t kThemeKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

// The pixels of a window's client area, copied off its device context in one piece; for no
// window, the screen's top left corner, where text drawn without a window would land.
std::vector<COLORREF> Capture(HWND window) {
  RECT client = {0, 0, 200, 20};
  if (window != nullptr) GetClientRect(window, &client);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = GetDC(window);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  GdiFlush();
  const DWORD* pixels = static_cast<const DWORD*>(bits);
  std::vector<COLORREF> colours;
  for (int i = 0; i < client.right * client.bottom; ++i) {
    DWORD bgr = pixels[i] & 0xFFFFFF;  // blue in the low byte
    colours.push_back(RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF));
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, dc);
  return colours;
}

bool AllOf(const std::vector<COLORREF>& pixels, COLORREF colour) {
  for (COLORREF pixel : pixels) {
    if (pixel != colour) return false;
  }
  return !pixels.empty();
}

struct Expected {
  COLORREF background;
  COLORREF text;
  std::wstring face;
  int points;
  int weight;
};

// Draws what the plugin should have drawn, into the same window, and captures it.
std::vector<COLORREF> Reference(HWND pathBar, COLORREF before, const std::wstring& text,
                                const Expected& e) {
  HDC dc = GetDC(pathBar);
  RECT client = {};
  GetClientRect(pathBar, &client);
  HBRUSH brush = CreateSolidBrush(before);
  FillRect(dc, &client, brush);
  DeleteObject(brush);
  LOGFONTW font = {};
  font.lfHeight = -MulDiv(e.points, GetDeviceCaps(dc, LOGPIXELSY), 72);
  font.lfWeight = e.weight;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfClipPrecision = CLIP_CHARACTER_PRECIS;
  font.lfQuality = PROOF_QUALITY;
  lstrcpynW(font.lfFaceName, e.face.c_str(), LF_FACESIZE);
  HFONT created = CreateFontIndirectW(&font);
  HGDIOBJ old = SelectObject(dc, created);
  SetBkColor(dc, e.background);
  SetTextColor(dc, e.text);
  DrawTextW(dc, text.c_str(), -1, &client, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
  SelectObject(dc, old);
  DeleteObject(created);
  ReleaseDC(pathBar, dc);
  return Capture(pathBar);
}

// What the plugin shows for the viewer title "photo.jpg - Kelvane": 250 characters.
const std::wstring kPhotoShown = L"photo.jpg - kelvane" + std::wstring(231, L' ');

class PathBar : public ::testing::Test {
 protected:
  PathBar() : plugin_(WithoutViewer()), viewer_(nullptr) {
    viewer_ = CreateWindowExW(0, L"STATIC", L"photo.jpg - Kelvane", WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, nullptr, nullptr);
  }
  ~PathBar() override { DestroyWindow(viewer_); }

  // Paints the bar as the host would, lets the plugin paint over it, and captures the result.
  std::vector<COLORREF> Painted(HWND pathBar, COLORREF before) {
    host_.PaintPathBars(before);
    plugin_.WindowCaption(viewer_, host_.quickView());
    return Capture(pathBar);
  }
  void ExpectPainted(const std::wstring& settings, COLORREF before, const Expected& expected) {
    HostSettings host(settings);
    std::vector<COLORREF> painted = Painted(host_.leftPathBar(), before);
    std::vector<COLORREF> reference = Reference(host_.leftPathBar(), before, kPhotoShown, expected);
    EXPECT_EQ(painted, reference) << "settings:\n" << Narrow(settings);
  }

  PluginUnderTest plugin_;
  MainWindow host_;
  HWND viewer_;
};

const COLORREF kHostGrey = RGB(200, 200, 200);

Expected Light(COLORREF background, COLORREF text) {
  return Expected{background, text, L"Microsoft Sans Serif", 8, 700};
}

TEST_F(PathBar, TheDrawingCanTellColoursAndFontsApart) {
  HostSettings host(L"[Colors]\r\nActiveTitle=255\r\nActiveTitleText=0\r\n");
  std::vector<COLORREF> painted = Painted(host_.leftPathBar(), kHostGrey);
  const std::wstring& text = kPhotoShown;
  EXPECT_EQ(painted, Reference(host_.leftPathBar(), kHostGrey, text, Light(RGB(255, 0, 0), 0)));
  EXPECT_NE(painted, Reference(host_.leftPathBar(), kHostGrey, text, Light(RGB(254, 0, 0), 0)));
  EXPECT_NE(painted, Reference(host_.leftPathBar(), kHostGrey, text,
                               Expected{RGB(255, 0, 0), 0, L"Microsoft Sans Serif", 9, 700}));
  EXPECT_NE(painted, Reference(host_.leftPathBar(), kHostGrey, text,
                               Expected{RGB(255, 0, 0), 0, L"Microsoft Sans Serif", 8, 400}));
  EXPECT_NE(painted,
            Reference(host_.leftPathBar(), kHostGrey,
                      L"photo.jpeg - kelvane" + std::wstring(230, L' '), Light(RGB(255, 0, 0), 0)));
}

TEST_F(PathBar, DarkModeChoosesTheColourSection) {
  const std::wstring colours =
      L"[Colors]\r\nActiveTitle=255\r\nActiveTitleText=16777215\r\n"
      L"[ColorsDark]\r\nActiveTitle=65280\r\nActiveTitleText=0\r\n";
  Expected light = Light(RGB(255, 0, 0), RGB(255, 255, 255));
  Expected dark = Light(RGB(0, 255, 0), RGB(0, 0, 0));
  ExpectPainted(colours, kHostGrey, light);
  ExpectPainted(L"[Configuration]\r\nDarkMode=\r\n" + colours, kHostGrey, light);
  ExpectPainted(L"[Configuration]\r\nDarkMode=0\r\n" + colours, kHostGrey, light);
  ExpectPainted(L"[Configuration]\r\nDarkMode=2\r\n" + colours, kHostGrey, dark);
  ExpectPainted(L"[Configuration]\r\nDarkMode=01\r\n" + colours, kHostGrey,
                Light(GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_CAPTIONTEXT)));
}

TEST_F(PathBar, DarkModeOneFollowsTheSystemAppTheme) {
  const std::wstring settings =
      L"[Configuration]\r\nDarkMode=1\r\n[Colors]\r\nActiveTitle=255\r\n[ColorsDark]"
      L"\r\nActiveTitle=65280\r\n";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kThemeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  struct Case {
    DWORD light;
    COLORREF background;
    COLORREF text;
  };
  for (Case c : {Case{1, RGB(255, 0, 0), GetSysColor(COLOR_CAPTIONTEXT)},
                 Case{0, RGB(0, 255, 0), RGB(0xDC, 0xDC, 0xDC)},
                 Case{7, GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_CAPTIONTEXT)}}) {
    RegSetValueExW(key, L"AppsUseLightTheme", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&c.light),
                   sizeof(c.light));
    ExpectPainted(settings, kHostGrey, Light(c.background, c.text));
  }
  // An unreadable value counts as the light theme.
  RegDeleteValueW(key, L"AppsUseLightTheme");
  ExpectPainted(settings, kHostGrey, Light(RGB(255, 0, 0), GetSysColor(COLOR_CAPTIONTEXT)));
  RegCloseKey(key);
}

TEST_F(PathBar, TheDarkSectionHasDarkDefaultsAndNoSectionHasTheSystemColours) {
  ExpectPainted(L"[Configuration]\r\nDarkMode=2\r\n", kHostGrey,
                Light(RGB(0x40, 0x40, 0x40), RGB(0xDC, 0xDC, 0xDC)));
  ExpectPainted(
      L"[Configuration]\r\nDarkMode=3\r\n[Colors]\r\nActiveTitle=255\r\n"
      L"[ColorsDark]\r\nActiveTitle=255\r\n",
      kHostGrey, Light(GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_CAPTIONTEXT)));
}

TEST_F(PathBar, ColourTextsAreReadAsSigned32BitNumbersKeepingTheLow24Bits) {
  struct Case {
    const wchar_t* text;
    COLORREF colour;
  };
  for (Case c : {Case{L"255", 0x0000FF}, Case{L"16777215", 0xFFFFFF}, Case{L"33554431", 0xFFFFFF},
                 Case{L"-1", 0xFFFFFF}, Case{L"12abc", 12}, Case{L"abc", 0}, Case{L" +300", 300},
                 Case{L"99999999999", 0xFFFFFF}, Case{L"-99999999999", 0}}) {
    ExpectPainted(std::wstring(L"[Colors]\r\nActiveTitle=") + c.text + L"\r\nActiveTitleText=4\r\n",
                  kHostGrey, Light(c.colour, 4));
  }
}

TEST_F(PathBar, AMissingSettingsFileOrNoneNamedGivesEveryKeyItsDefault) {
  const Expected defaults = Light(GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_CAPTIONTEXT));
  TempFolder folder(L"no-settings");
  const std::wstring missing = folder.path() + L"missing.ini";
  for (const wchar_t* settingsFile : {missing.c_str(), static_cast<const wchar_t*>(nullptr)}) {
    ScopedEnvironment settings(L"COMMANDER_INI", settingsFile);
    std::vector<COLORREF> painted = Painted(host_.leftPathBar(), kHostGrey);
    EXPECT_EQ(painted, Reference(host_.leftPathBar(), kHostGrey, kPhotoShown, defaults))
        << (settingsFile ? "COMMANDER_INI names a file that does not exist"
                         : "COMMANDER_INI not set");
  }
  EXPECT_EQ(GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES) << "reading made no file";
}

TEST_F(PathBar, TheInactivePairIsUsedWhenTheBarShowsTheInactiveBackground) {
  const std::wstring colours =
      L"[Colors]\r\nActiveTitle=255\r\nActiveTitleText=16777215\r\nInactiveTitle=8421504\r\n"
      L"InactiveTitleText=65280\r\n";
  ExpectPainted(colours, RGB(128, 128, 128), Light(RGB(128, 128, 128), RGB(0, 255, 0)));
  ExpectPainted(colours, RGB(128, 128, 129), Light(RGB(255, 0, 0), RGB(255, 255, 255)));
  // Only the pixel at (1, 1) counts, not its neighbours on the bar's edge.
  HostSettings host(colours);
  HWND bar = host_.leftPathBar();
  host_.PaintPathBars(kHostGrey);
  HDC dc = GetDC(bar);
  SetPixel(dc, 1, 1, RGB(128, 128, 128));
  ReleaseDC(bar, dc);
  plugin_.WindowCaption(viewer_, host_.quickView());
  RECT client = {};
  GetClientRect(bar, &client);
  EXPECT_EQ(MainWindow::PixelAt(bar, client.right - 4, client.bottom / 2), RGB(128, 128, 128))
      << "the spaces at the far right lie on the inactive background";
}

TEST_F(PathBar, RedirectsSendTheColourAndFontReadsToAnotherFile) {
  TempFolder other(L"redirect");
  WriteTextFile(other.path() + L"colors.ini",
                L"[Colors]\r\nActiveTitle=255\r\nActiveTitleText=65280\r\n");
  WriteTextFile(other.path() + L"fonts.ini",
                L"[AllResolutions]\r\nFontSizeWindow=12\r\nFontWeightWindow=400\r\nFontNameWindow="
                L"Tahoma\r\n");
  ScopedEnvironment where(L"KELVTEST_REDIRECT", other.path().c_str());
  ExpectPainted(
      L"[Configuration]\r\nDarkMode=0\r\n[Colors]\r\nRedirectSection=%KELVTEST_REDIRECT%colors."
      L"ini\r\n"
      L"ActiveTitle=16711680\r\n[AllResolutions]\r\nRedirectSection=%KELVTEST_REDIRECT%fonts."
      L"ini\r\n"
      L"FontSizeWindow=20\r\n",
      kHostGrey, Expected{RGB(255, 0, 0), RGB(0, 255, 0), L"Tahoma", 12, 400});
}

// DarkMode and UseNewDefFont are read from [Configuration] of the host settings file only: a
// RedirectSection, in any section, never sends them to another file.
TEST_F(PathBar, DarkModeIsNeverTakenFromARedirectedFile) {
  TempFolder other(L"redirect");
  const std::wstring file = other.path() + L"colors.ini";
  WriteTextFile(
      file,
      L"[Configuration]\r\nDarkMode=2\r\n[Colors]\r\nActiveTitle=255\r\nActiveTitleText=0\r\n"
      L"[ColorsDark]\r\nActiveTitle=65280\r\nActiveTitleText=0\r\n");
  ExpectPainted(L"[Configuration]\r\nRedirectSection=" + file +
                    L"\r\n[Colors]\r\nRedirectSection=" + file +
                    L"\r\n[ColorsDark]\r\nRedirectSection=" + file + L"\r\n",
                kHostGrey, Light(RGB(255, 0, 0), 0));
}

TEST_F(PathBar, UseNewDefFontIsNeverTakenFromARedirectedFile) {
  TempFolder other(L"redirect");
  const std::wstring file = other.path() + L"fonts.ini";
  WriteTextFile(file, L"[Configuration]\r\nUseNewDefFont=1\r\n[AllResolutions]\r\nOther=1\r\n");
  ExpectPainted(L"[Configuration]\r\nRedirectSection=" + file +
                    L"\r\n[Colors]\r\nActiveTitle=255\r\nActiveTitleText=0\r\n[AllResolutions]\r\n"
                    L"RedirectSection=" +
                    file + L"\r\n",
                kHostGrey, Light(RGB(255, 0, 0), 0));
}

TEST_F(PathBar, TheFontComesFromTheSettingsWithDefaultsByUseNewDefFont) {
  const std::wstring colours = L"[Colors]\r\nActiveTitle=255\r\nActiveTitleText=0\r\n";
  ExpectPainted(colours + L"[Configuration]\r\nUseNewDefFont=1\r\n", kHostGrey,
                Expected{RGB(255, 0, 0), 0, L"Segoe UI", 9, 400});
  ExpectPainted(colours + L"[Configuration]\r\nUseNewDefFont=11\r\n", kHostGrey,
                Expected{RGB(255, 0, 0), 0, L"Microsoft Sans Serif", 8, 700});
  ExpectPainted(colours +
                    L"[AllResolutions]\r\nFontSizeWindow=14\r\nFontWeightWindow="
                    L"300\r\nFontNameWindow=Tahoma\r\n",
                kHostGrey, Expected{RGB(255, 0, 0), 0, L"Tahoma", 14, 300});
  // A face name that cannot fit the font record gives the default face.
  ExpectPainted(colours + L"[AllResolutions]\r\nFontNameWindow=" + std::wstring(40, L'F') + L"\r\n",
                kHostGrey, Expected{RGB(255, 0, 0), 0, L"Microsoft Sans Serif", 8, 700});
}

TEST_F(PathBar, TheRightPanelsBarIsUsedWhenTheRightPanelIsActive) {
  MainWindowOptions options;
  options.leftPanelActive = false;
  MainWindow rightActive(options);
  HostSettings host(L"[Colors]\r\nActiveTitle=255\r\nActiveTitleText=0\r\n");
  rightActive.PaintPathBars(kHostGrey);
  host_.PaintPathBars(kHostGrey);
  // Both hosts exist; the plugin asks the first main window it finds, so ask it directly.
  DestroyWindow(host_.hwnd());
  plugin_.WindowCaption(viewer_, rightActive.quickView());
  EXPECT_EQ(Capture(rightActive.rightPathBar()), Reference(rightActive.rightPathBar(), kHostGrey,
                                                           kPhotoShown, Light(RGB(255, 0, 0), 0)));
  EXPECT_TRUE(AllOf(Capture(rightActive.leftPathBar()), kHostGrey));
}

TEST_F(PathBar, NothingIsPaintedWithoutAFileNameOrWithoutAHost) {
  HostSettings host(L"[Colors]\r\nActiveTitle=255\r\nActiveTitleText=255\r\n");
  SetWindowTextW(viewer_, L" - Kelvane");
  EXPECT_TRUE(AllOf(Painted(host_.leftPathBar(), kHostGrey), kHostGrey));
  // Without a host main window there is no path bar to paint: the screen stays as it was.
  SetWindowTextW(viewer_, L"photo.jpg - Kelvane");
  DestroyWindow(host_.hwnd());
  HWND panel = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                               nullptr, nullptr, nullptr);
  HWND quickView =
      CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 50, 50, panel, nullptr, nullptr, nullptr);
  std::vector<COLORREF> screen = Capture(nullptr);
  ASSERT_FALSE(AllOf(screen, RGB(255, 0, 0)));
  plugin_.WindowCaption(viewer_, quickView);
  EXPECT_EQ(Capture(nullptr), screen) << "no host main window: nothing drawn";
  DestroyWindow(panel);
}

TEST_F(PathBar, ShowsOnlyTheNameAfterTheLastBackslashFilledWithSpacesUpToItsBoundary) {
  HostSettings host(L"[Colors]\r\nActiveTitle=255\r\nActiveTitleText=0\r\n");
  struct Case {
    std::wstring title;
    std::wstring shown;
  };
  std::wstring name124(124, L'a');
  std::wstring name125(125, L'b');
  for (const Case& c :
       {Case{L"C:\\pics\\photo.jpg - Kelvane", L"photo.jpg - kelvane" + std::wstring(231, L' ')},
        Case{L"Kelvane", L"Kelvane - kelvane" + std::wstring(235, L' ')},
        Case{name124 + L" - Kelvane", name124 + L" - kelvane" + std::wstring(1, L' ')},
        Case{name125 + L" - Kelvane", name125 + L" - kelvane"},
        // Titles around the bound of 259 characters: the suffix inside it, or cut by it.
        Case{std::wstring(249, L'c') + L" - Kelvane", std::wstring(249, L'c') + L" - kelvane"},
        Case{std::wstring(300, L'd') + L" - Kelvane", std::wstring(259, L'd') + L" - kelvane"},
        Case{L"C:\\" + std::wstring(240, L'e') + L"\\photo.jpg - Kelvane",
             L"photo.jpg - Kel - kelvane" + std::wstring(219, L' ')}}) {
    SetWindowTextW(viewer_, c.title.c_str());
    std::vector<COLORREF> painted = Painted(host_.leftPathBar(), kHostGrey);
    EXPECT_EQ(painted, Reference(host_.leftPathBar(), kHostGrey, c.shown, Light(RGB(255, 0, 0), 0)))
        << Narrow(c.title);
  }
}

// The first and the last row of a window's capture that hold black: where the text sits.
std::string TextRows(const std::vector<COLORREF>& pixels, HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  int first = -1;
  int last = -1;
  for (size_t i = 0; i < pixels.size(); ++i) {
    if (pixels[i] != 0) continue;
    int row = static_cast<int>(i) / client.right;
    if (first < 0) first = row;
    last = row;
  }
  return std::to_string(first) + " to " + std::to_string(last);
}

// The calling thread's DPI awareness for the lifetime of the instance.
class ThreadDpiAwareness {
 public:
  explicit ThreadDpiAwareness(DPI_AWARENESS_CONTEXT context)
      : previous_(SetThreadDpiAwarenessContext(context)) {}
  ~ThreadDpiAwareness() { SetThreadDpiAwarenessContext(previous_); }
  ThreadDpiAwareness(const ThreadDpiAwareness&) = delete;
  ThreadDpiAwareness& operator=(const ThreadDpiAwareness&) = delete;

 private:
  DPI_AWARENESS_CONTEXT previous_;
};

// A display at 150 %. Under Wine a process takes the display's DPI from the registry when it
// starts: ctest's set-up for this suite sets it before the suite's process starts, and its
// clean-up takes it back, whatever the outcome, before any other test starts. The host declares
// itself aware of each monitor's DPI: its thread says so before the host's windows are made.
class PathBarScaled : protected ThreadDpiAwareness, public PathBar {
 protected:
  PathBarScaled() : ThreadDpiAwareness(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE) {}
};

// The viewer may declare no DPI awareness: every thread of such a program is unaware of the
// scale and gets the bar's size and the device's resolution scaled down to 96 DPI. Under Wine 8
// one process does not see what another paints into its windows, so the painter unaware of the
// scale is this thread, switched for the call.
TEST_F(PathBarScaled, TheHostAndAThreadUnawareOfTheScalePaintTheSamePixels) {
  const UINT dpi = GetDpiForWindow(host_.leftPathBar());
  if (UnderWine()) {
    ASSERT_EQ(dpi, 144u) << "ctest's set-up for this suite scales the display";
  } else if (dpi == USER_DEFAULT_SCREEN_DPI) {
    GTEST_SKIP() << "the display runs at 100 %: nothing to compare";
  }
  HostSettings host(L"[Colors]\r\nActiveTitle=255\r\nActiveTitleText=0\r\n");
  std::vector<COLORREF> byHost = Painted(host_.leftPathBar(), kHostGrey);
  EXPECT_EQ(byHost,
            Reference(host_.leftPathBar(), kHostGrey, kPhotoShown, Light(RGB(255, 0, 0), 0)))
      << "the host's painting at " << dpi << " DPI";

  host_.PaintPathBars(kHostGrey);
  auto barHeight = [&] {
    RECT bar = {};
    GetClientRect(host_.leftPathBar(), &bar);
    return bar.bottom;
  };
  const LONG height = barHeight();
  {
    ThreadDpiAwareness unaware(DPI_AWARENESS_CONTEXT_UNAWARE);
    ASSERT_LT(barHeight(), height) << "a thread unaware of the scale sees a smaller bar";
    plugin_.WindowCaption(viewer_, host_.quickView());
    EXPECT_LT(barHeight(), height) << "the call gave the thread its awareness back";
  }
  std::vector<COLORREF> byUnaware = Capture(host_.leftPathBar());
  EXPECT_EQ(byUnaware, byHost) << "text in rows " << TextRows(byUnaware, host_.leftPathBar())
                               << ", the host's in rows " << TextRows(byHost, host_.leftPathBar());
}

}  // namespace
