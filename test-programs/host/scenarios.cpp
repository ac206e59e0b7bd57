// The demo scenes. Every wait is bounded and pumps this thread's messages: the plugin's hooks run
// in the viewer's process and send to the host's windows, which must answer while the host waits.
#include "scenarios.h"

#include <cstdio>
#include <vector>

#include "demo_pictures.h"
#include "screen_image.h"
#include "support/files.h"
#include "support/standin_host.h"
#include "support/waits.h"
#include "user_input.h"

using namespace testing_support;

namespace {

using ListLoadWFn = HWND(WINAPI*)(HWND, wchar_t*, int);

// What the stand-in viewer paints around a picture.
constexpr COLORREF kViewerBackground = RGB(40, 90, 160);
// What the host paints its path bars with before the plugin paints over one.
constexpr COLORREF kHostPathBar = RGB(200, 200, 200);
// Part of a client area that must be the viewer's background or the picture's colours; the rest
// is the blend at the picture's edges where it is stretched.
constexpr int kCoveragePercent = 90;
// Part of a client area that each of the picture's sky and ground must fill at least.
constexpr int kColourPercent = 10;

constexpr DWORD kWindowWaitMs = 5000;
constexpr DWORD kStepWaitMs = 3000;
constexpr DWORD kCaptureWaitMs = 20000;
// New windows settle before keys are pressed: under Wine the X server's report of its own key
// state takes back keys pressed before a new window has taken the focus.
constexpr DWORD kSettleMs = 300;

std::wstring TitleOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

std::wstring ViewerTitle(const wchar_t* file) { return std::wstring(file) + L" - Kelvane"; }

RECT ClientOnScreen(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return client;
}

// A screen rectangle in the coordinates of an image that starts at the origin's point.
RECT Relative(const RECT& area, const RECT& origin) {
  RECT relative = area;
  OffsetRect(&relative, -origin.left, -origin.top);
  return relative;
}

POINT CentreOf(const RECT& area) {
  return POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
}

int AreaOf(const RECT& area) { return (area.right - area.left) * (area.bottom - area.top); }

std::wstring Percent(int part, int whole) {
  return std::to_wstring(whole > 0 ? 100LL * part / whole : 0) + L"%";
}

std::wstring Hex(COLORREF colour) {
  wchar_t text[16];
  swprintf(text, 16, L"#%02X%02X%02X", GetRValue(colour), GetGValue(colour), GetBValue(colour));
  return text;
}

// The screen inside the window's rectangle, after the demo script has dumped the X root window on
// request: <name>.request asks, <name>-root.xwd and then <name>.done answer.
ScreenImage CaptureThroughX11(const DemoSetup& setup, const std::wstring& name, const RECT& area) {
  const std::wstring request = setup.outFolder + name + L".request";
  const std::wstring root = setup.outFolder + name + L"-root.xwd";
  const std::wstring done = setup.outFolder + name + L".done";
  DeleteFileW(done.c_str());
  WriteTextFile(request, L"capture\r\n");
  ScreenImage image;
  if (WaitUntil([&] { return FileExists(done); }, kCaptureWaitMs)) {
    image = CropScreenImage(LoadXwdScreenImage(root), area);
  }
  DeleteFileW(request.c_str());
  DeleteFileW(root.c_str());
  DeleteFileW(done.c_str());
  return image;
}

// The screen inside the window's rectangle, as the X server or GDI has it.
ScreenImage CaptureScreen(const DemoSetup& setup, const std::wstring& name, HWND window) {
  RECT area = {};
  GetWindowRect(window, &area);
  // Everything drawn so far reaches the screen before it is read.
  PumpFor(kSettleMs);
  return setup.capture == CaptureMode::kX11 ? CaptureThroughX11(setup, name, area)
                                            : CaptureScreenImage(area);
}

bool Save(const ScreenImage& image, const std::wstring& file, Report* report) {
  const bool saved = !image.empty() && SaveScreenImagePng(image, file);
  return report->Check(saved, L"screenshot " + file,
                       image.empty() ? L"nothing captured" : (saved ? L"" : L"not written"));
}

// Whether the screen shows the viewer: its background or the picture's sky somewhere in the client.
bool ScreenShowsViewer(const ScreenImage& screen, const RECT& client, const DemoPicture& picture) {
  return CountPixelsOfColour(screen, client, kViewerBackground) +
             CountPixelsOfColour(screen, client, picture.sky) >
         0;
}

// The viewer's own drawing of its picture area (KELV_MIRROR) put where the area lies, inside the
// client area that holds the view.
void ComposeViewer(ScreenImage* image, const ScreenImage& drawing, const RECT& areaInImage,
                   const RECT& client) {
  for (int y = 0; y < drawing.height; ++y) {
    for (int x = 0; x < drawing.width; ++x) {
      const int tx = areaInImage.left + x;
      const int ty = areaInImage.top + y;
      if (tx < client.left || tx >= client.right || ty < client.top || ty >= client.bottom)
        continue;
      if (tx < 0 || ty < 0 || tx >= image->width || ty >= image->height) continue;
      image->pixels[static_cast<size_t>(ty) * image->width + tx] = drawing.At(x, y);
    }
  }
}

// The screenshot of the window with the view: <name>-screen.png as the screen shows it and
// <name>.png as the user sees it. Under Wine 8 the viewer's window, a child of another process's
// window, is not on the screen at all; its region is then filled from the viewer's own drawing.
ScreenImage Screenshot(const DemoSetup& setup, const std::wstring& name, HWND window,
                       HWND listerSide, HWND viewer, const std::wstring& mirror,
                       const DemoPicture& picture, Report* report) {
  report->Check(
      GetParent(GetParent(viewer)) == listerSide && GetAncestor(viewer, GA_ROOT) == window,
      L"the viewer's window sits in the plugin's container inside the Lister window");
  RECT windowRect = {};
  GetWindowRect(window, &windowRect);
  const RECT client = Relative(ClientOnScreen(listerSide), windowRect);
  ScreenImage screen = CaptureScreen(setup, name, window);
  if (!Save(screen, setup.outFolder + name + L"-screen.png", report)) return screen;
  ScreenImage shown = screen;
  if (ScreenShowsViewer(screen, client, picture)) {
    report->Note(L"the screen shows the embedded viewer itself");
  } else {
    HWND pictureArea = GetWindow(viewer, GW_CHILD);
    RECT area = {};
    GetWindowRect(pictureArea, &area);
    ScreenImage drawing;
    const bool drawn = WaitUntil(
        [&] {
          drawing = LoadScreenImage(mirror);
          return drawing.width == area.right - area.left &&
                 drawing.height == area.bottom - area.top;
        },
        kStepWaitMs);
    report->Note(
        L"the screen does not show the embedded viewer (a child window of another process); its "
        L"region "
        L"is filled from the viewer's own drawing");
    if (!report->Check(drawn, L"the viewer's own drawing of its window " + mirror)) return shown;
    ComposeViewer(&shown, drawing, Relative(area, windowRect), client);
  }
  Save(shown, setup.outFolder + name + L".png", report);
  return shown;
}

// The viewer covers the client area and shows the picture: nearly every pixel is the viewer's
// background or one of the picture's colours, and the sky and the ground each fill a part.
void CheckViewerShows(const ScreenImage& image, const RECT& client, const DemoPicture& picture,
                      Report* report) {
  const int area = AreaOf(client);
  const int background = CountPixelsOfColour(image, client, kViewerBackground);
  const int sky = CountPixelsOfColour(image, client, picture.sky);
  const int ground = CountPixelsOfColour(image, client, picture.ground);
  const int shape = CountPixelsOfColour(image, client, picture.shape);
  const int covered = background + sky + ground + shape;
  report->Check(area > 0 && 100LL * covered >= static_cast<long long>(kCoveragePercent) * area,
                L"the viewer covers the client area",
                L"background " + Percent(background, area) + L", picture " +
                    Percent(sky + ground + shape, area) + L" of " + std::to_wstring(area) +
                    L" pixels");
  report->Check(100LL * sky >= static_cast<long long>(kColourPercent) * area &&
                    100LL * ground >= static_cast<long long>(kColourPercent) * area,
                std::wstring(L"the client area shows ") + picture.name,
                L"sky " + Hex(picture.sky) + L" " + Percent(sky, area) + L", ground " +
                    Hex(picture.ground) + L" " + Percent(ground, area));
}

// The file the viewer writes its drawing to (KELV_MIRROR, inherited by the viewer the plugin
// starts), for as long as an instance lives.
class ViewerDrawing {
 public:
  ViewerDrawing()
      : path_(CreateUniqueFile(L"kelvane-drawing", L".bmp")),
        variable_(L"KELV_MIRROR", path_.c_str()) {}
  ~ViewerDrawing() { DeleteFileW(path_.c_str()); }
  ViewerDrawing(const ViewerDrawing&) = delete;
  ViewerDrawing& operator=(const ViewerDrawing&) = delete;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
  ScopedEnvironment variable_;
};

HWND Load(HMODULE plugin, HWND lister, const DemoSetup& setup, const wchar_t* file) {
  auto listLoadW = reinterpret_cast<ListLoadWFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(plugin, "ListLoadW")));
  if (listLoadW == nullptr) return nullptr;
  std::wstring path = setup.picturesFolder + file;
  std::vector<wchar_t> name(path.begin(), path.end());
  name.push_back(L'\0');
  return listLoadW(lister, name.data(), 0);
}

// The host sizes the plugin's window to the Lister's client area.
void Fit(HWND lister, HWND container) {
  RECT client = {};
  GetClientRect(lister, &client);
  SetWindowPos(container, nullptr, 0, 0, client.right, client.bottom,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// The plugin posts the container's size to the viewer's thread, which takes it in its own time;
// the screenshots wait for it (bounded).
void WaitForViewerToFill(HWND container, HWND viewer, Report* report) {
  const bool filled = WaitUntil(
      [&] {
        RECT client = {};
        RECT window = {};
        GetClientRect(container, &client);
        GetWindowRect(viewer, &window);
        return window.right - window.left == client.right &&
               window.bottom - window.top == client.bottom;
      },
      kWindowWaitMs);
  report->Check(filled, L"the viewer takes the container's size");
}

// A click into the viewer, then the right arrow key, as the user does; or the key posted to the
// viewer's focus window when the demo is told to.
void StepToNextFile(HWND viewer, const RECT& clientOnScreen, const DemoSetup& setup,
                    const wchar_t* next, Report* report) {
  PumpFor(kSettleMs);
  if (setup.postKeys) {
    HWND pictureArea = GetWindow(viewer, GW_CHILD);
    PostMessageW(pictureArea, WM_KEYDOWN, VK_RIGHT, 0x014D0001);
    PostMessageW(pictureArea, WM_KEYUP, VK_RIGHT, static_cast<LPARAM>(0xC14D0001u));
    report->Note(L"the right arrow key was posted to the viewer (--post-keys)");
  } else {
    report->Check(SendClick(CentreOf(clientOnScreen)), L"click into the viewer (SendInput)");
    PumpFor(kSettleMs);
    report->Check(SendKeyPress(VK_RIGHT), L"right arrow key (SendInput)");
  }
  const std::wstring title = ViewerTitle(next);
  const bool stepped = WaitUntil([&] { return TitleOf(viewer) == title; }, kStepWaitMs);
  report->Check(stepped, L"the viewer stepped to " + std::wstring(next),
                L"its title is \"" + TitleOf(viewer) + L"\"");
}

void CloseView(HWND container, Report* report) {
  DestroyWindow(container);
  report->Check(WaitUntil([] { return RunningViewerProcesses().empty(); }, kWindowWaitMs),
                L"the viewer ends with the view");
}

}  // namespace

bool Report::Check(bool passed, const std::wstring& what, const std::wstring& detail) {
  (passed ? passed_ : failed_) += 1;
  wprintf(L"demo: %ls %ls%ls%ls\n", passed ? L"ok  " : L"FAIL", what.c_str(),
          detail.empty() ? L"" : L": ", detail.c_str());
  fflush(stdout);
  return passed;
}

void Report::Note(const std::wstring& text) {
  wprintf(L"demo: note %ls\n", text.c_str());
  fflush(stdout);
}

void RunListerScenario(HMODULE plugin, const DemoSetup& setup, Report* report) {
  const DemoPicture& first = AllDemoPictures()[0];
  const DemoPicture& second = AllDemoPictures()[1];
  ViewerDrawing mirror;
  ListerWindow lister;
  SetWindowPos(lister.hwnd(), nullptr, 40, 40, 720, 520, SWP_NOZORDER);
  PumpFor(kSettleMs);

  HWND container = Load(plugin, lister.hwnd(), setup, first.name);
  if (!report->Check(container != nullptr, L"Lister: ListLoadW opened " + std::wstring(first.name)))
    return;
  lister.FitChild(container);
  HWND viewer = GetWindow(container, GW_CHILD);
  WaitForViewerToFill(container, viewer, report);
  const std::wstring firstCaption = L"Lister (kelvane) - [" + std::wstring(first.name) + L"]";
  const bool named =
      WaitUntil([&] { return TitleOf(lister.hwnd()) == firstCaption; }, kWindowWaitMs);
  report->Check(named, L"Lister caption names " + std::wstring(first.name),
                L"\"" + TitleOf(lister.hwnd()) + L"\"");

  const RECT client = ClientOnScreen(lister.hwnd());
  StepToNextFile(viewer, client, setup, second.name, report);
  const std::wstring secondCaption = L"Lister (kelvane) - [" + std::wstring(second.name) + L"]";
  const bool renamed =
      WaitUntil([&] { return TitleOf(lister.hwnd()) == secondCaption; }, kStepWaitMs);
  report->Check(renamed, L"Lister caption names " + std::wstring(second.name),
                L"\"" + TitleOf(lister.hwnd()) + L"\"");

  RECT window = {};
  GetWindowRect(lister.hwnd(), &window);
  ScreenImage image = Screenshot(setup, L"lister", lister.hwnd(), lister.hwnd(), viewer,
                                 mirror.path(), second, report);
  if (!image.empty()) CheckViewerShows(image, Relative(client, window), second, report);
  CloseView(container, report);
}

void RunQuickViewScenario(HMODULE plugin, const DemoSetup& setup, Report* report) {
  const DemoPicture& second = AllDemoPictures()[1];
  const DemoPicture& third = AllDemoPictures()[2];
  ViewerDrawing mirror;
  MainWindow host;
  SetWindowTextW(host.hwnd(), L"Host");
  host.PaintPathBars(kHostPathBar);
  PumpFor(kSettleMs);

  HWND container = Load(plugin, host.quickView(), setup, second.name);
  if (!report->Check(container != nullptr,
                     L"quick view: ListLoadW opened " + std::wstring(second.name)))
    return;
  Fit(host.quickView(), container);
  HWND viewer = GetWindow(container, GW_CHILD);
  WaitForViewerToFill(container, viewer, report);
  report->Check(
      WaitUntil([&] { return TitleOf(viewer) == ViewerTitle(second.name); }, kWindowWaitMs),
      L"quick view: the viewer shows " + std::wstring(second.name));

  const RECT client = ClientOnScreen(host.quickView());
  StepToNextFile(viewer, client, setup, third.name, report);

  RECT window = {};
  GetWindowRect(host.hwnd(), &window);
  ScreenImage image = Screenshot(setup, L"quickview", host.hwnd(), host.quickView(), viewer,
                                 mirror.path(), third, report);
  if (!image.empty()) {
    CheckViewerShows(image, Relative(client, window), third, report);
    const RECT bar = Relative(ClientOnScreen(host.leftPathBar()), window);
    const int painted = CountPixelsOfColour(image, bar, setup.activeTitle);
    const int text = CountPixelsOfColour(image, bar, setup.activeTitleText);
    report->Check(
        painted >= AreaOf(bar) / 10 && text > 0,
        L"the path bar is painted in the host's ActiveTitle colour " + Hex(setup.activeTitle),
        L"background " + Percent(painted, AreaOf(bar)) + L", text " + Hex(setup.activeTitleText) +
            L" " + std::to_wstring(text) + L" pixels");
  }
  report->Note(L"the host's main window title is now \"" + TitleOf(host.hwnd()) + L"\"");
  CloseView(container, report);
}
