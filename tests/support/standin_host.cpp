// The stand-in host's windows, made on the calling thread. Only what the plugin looks at is
// real: class names, parent and child relations, the menu bar's item count, message 1074 and the
// path bars' pixels. Class names the plugin compares are spelt out here on purpose, so that a
// test sees a wrong name in the plugin.
#include "support/standin_host.h"

#include <initializer_list>

#include "support/files.h"

namespace testing_support {

namespace {

constexpr const wchar_t* kListerClass = L"TLister";
constexpr const wchar_t* kPanelClass = L"KelvaneTestPanel";
constexpr const wchar_t* kFileListClass = L"KelvaneTestFileList";
constexpr const wchar_t* kPathBarClass = L"KelvaneTestPathBar";
constexpr const wchar_t* kSettingsVariable = L"COMMANDER_INI";

constexpr UINT kWindowRequest = WM_USER + 50;
constexpr WPARAM kLeftList = 1;
constexpr WPARAM kRightList = 2;
constexpr WPARAM kActiveList = 3;
constexpr WPARAM kRightPathBar = 9;
constexpr WPARAM kLeftPathBar = 10;

constexpr int kPathBarHeight = 40;
constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

void RegisterOnce(const wchar_t* name, WNDPROC procedure, HBRUSH background) {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(Instance(), name, &existing)) return;
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = Instance();
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

HBRUSH SystemBrush(int index) { return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(index + 1)); }

// A path bar shows one plain colour, kept in its user data.
LRESULT CALLBACK PathBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 1;
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HBRUSH brush =
        CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrW(window, GWLP_USERDATA)));
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A Lister repaints its frame and all that is in it when its caption is set, as hosts built with
// some toolkits do, and counts the times (in its user data). A caption set after every message of
// the plugin's window then never lets the host's thread go idle.
LRESULT CALLBACK ListerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_SETTEXT) {
    SetWindowLongPtrW(window, GWLP_USERDATA, GetWindowLongPtrW(window, GWLP_USERDATA) + 1);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  return result;
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto host = reinterpret_cast<const MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == kWindowRequest && lParam == 0 && host != nullptr) {
    return reinterpret_cast<LRESULT>(host->AnswerWindowRequest(wParam));
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateChild(const wchar_t* className, HWND parent, int x, int y, int width, int height) {
  return CreateWindowExW(0, className, L"", kChildStyle, x, y, width, height, parent, nullptr,
                         Instance(), nullptr);
}

HWND CreatePathBar(HWND panel, int width) {
  HWND bar = CreateChild(kPathBarClass, panel, 0, 0, width, kPathBarHeight);
  SetWindowLongPtrW(bar, GWLP_USERDATA, static_cast<LONG_PTR>(GetSysColor(COLOR_BTNFACE)));
  return bar;
}

void Repaint(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  UpdateWindow(window);
}

}  // namespace

ListerWindow::ListerWindow() {
  RegisterOnce(kListerClass, ListerProc, SystemBrush(COLOR_WINDOW));
  hwnd_ = CreateWindowExW(0, kListerClass, L"Lister",
                          WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, 640, 480,
                          nullptr, nullptr, Instance(), nullptr);
  // The window the user opened a file in is the one in front.
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
}

ListerWindow::~ListerWindow() {
  // The plugin may have closed it already (Esc in Lister mode).
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

LONG_PTR ListerWindow::captionSets() const { return GetWindowLongPtrW(hwnd_, GWLP_USERDATA); }

void ListerWindow::FitChild(HWND pluginWindow) const {
  RECT client;
  GetClientRect(hwnd_, &client);
  SetWindowPos(pluginWindow, nullptr, 0, 0, client.right, client.bottom,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

MainWindow::MainWindow(const MainWindowOptions& options)
    : leftPanelActive_(options.leftPanelActive) {
  RegisterOnce(options.className, MainProc, SystemBrush(COLOR_BTNFACE));
  RegisterOnce(kListerClass, ListerProc, SystemBrush(COLOR_WINDOW));
  RegisterOnce(kPanelClass, DefWindowProcW, SystemBrush(COLOR_BTNFACE));
  RegisterOnce(kFileListClass, DefWindowProcW, SystemBrush(COLOR_WINDOW));
  RegisterOnce(kPathBarClass, PathBarProc, nullptr);

  hwnd_ = CreateWindowExW(0, options.className, L"Host",
                          WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1000, 700,
                          nullptr, nullptr, Instance(), this);
  if (hwnd_ == nullptr) return;
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
  if (options.menuItems > 0) {
    HMENU menu = CreateMenu();
    for (int item = 1; item <= options.menuItems; ++item) {
      AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item),
                  (L"Menu " + std::to_wstring(item)).c_str());
    }
    SetMenu(hwnd_, menu);  // destroyed with the window
  }

  RECT client;
  GetClientRect(hwnd_, &client);
  int leftWidth = client.right / 2;
  int rightWidth = client.right - leftWidth;
  int listHeight = client.bottom - kPathBarHeight;
  leftPanel_ = CreateChild(kPanelClass, hwnd_, 0, 0, leftWidth, client.bottom);
  rightPanel_ = CreateChild(kPanelClass, hwnd_, leftWidth, 0, rightWidth, client.bottom);
  leftPathBar_ = CreatePathBar(leftPanel_, leftWidth);
  rightPathBar_ = CreatePathBar(rightPanel_, rightWidth);
  leftFileList_ = CreateChild(kFileListClass, leftPanel_, 0, kPathBarHeight, leftWidth, listHeight);
  rightFileList_ =
      CreateChild(kFileListClass, rightPanel_, 0, kPathBarHeight, rightWidth, listHeight);
  quickView_ =
      leftPanelActive_
          ? CreateChild(kListerClass, leftPanel_, 0, kPathBarHeight, leftWidth, listHeight)
          : CreateChild(kListerClass, rightPanel_, 0, kPathBarHeight, rightWidth, listHeight);

  // The plugin takes the main window's first child for the left panel, and the quick view is
  // drawn over the file list it covers.
  SetWindowPos(leftPanel_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(quickView_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  UpdateWindow(hwnd_);
}

MainWindow::~MainWindow() {
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

HWND MainWindow::AnswerWindowRequest(WPARAM request) const {
  switch (request) {
    case kLeftList:
      return leftFileList_;
    case kRightList:
      return rightFileList_;
    case kActiveList:
      return leftPanelActive_ ? leftFileList_ : rightFileList_;
    case kRightPathBar:
      return rightPathBar_;
    case kLeftPathBar:
      return leftPathBar_;
    default:
      return nullptr;
  }
}

void MainWindow::PaintPathBars(COLORREF colour) const {
  for (HWND bar : {leftPathBar_, rightPathBar_}) {
    SetWindowLongPtrW(bar, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
    Repaint(bar);
  }
}

COLORREF MainWindow::PixelAt(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

HostSettings::HostSettings(const std::wstring& text)
    : path_(CreateUniqueFile(L"kelvane-host", L".ini")) {
  WriteSettingsFile(path_, text);
  hadPrevious_ = ReadEnvironment(kSettingsVariable, &previous_);
  SetEnvironmentVariableW(kSettingsVariable, path_.c_str());
}

HostSettings::~HostSettings() {
  SetEnvironmentVariableW(kSettingsVariable, hadPrevious_ ? previous_.c_str() : nullptr);
  DeleteFileW(path_.c_str());
}

}  // namespace testing_support
