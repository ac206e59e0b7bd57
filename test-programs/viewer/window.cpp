// Window procedure. The window may be taken over by another process at any moment after creation
// (re-parented, its style replaced by WS_CHILD, shown maximised), so nothing here assumes that it
// is top-level: sizes are read when painting, and the parent is asked for when it is needed.
#include "window.h"

#include <windowsx.h>

#include "busy.h"
#include "context_menu.h"
#include "log.h"
#include "navigation.h"
#include "picture.h"
#include "viewer_names.h"

namespace {

WindowSetup gSetup;
HWND gLoggedParent = nullptr;  // the parent last reported, so that only changes are logged

void ShowFile(HWND window, const std::wstring& file) {
  gSetup.file = file;
  const std::wstring title = TitleFor(file);
  SetWindowTextW(window, title.c_str());
  LogLine(L"title " + title);
  InvalidateRect(GetWindow(window, GW_CHILD), nullptr, FALSE);
}

void Step(HWND window, int step) {
  std::wstring next;
  if (!gSetup.file.empty() && StepInFolder(gSetup.file, step, &next)) {
    ShowFile(window, next);
  }
}

void LogKey(const wchar_t* name, WPARAM key, LPARAM flags) {
  LogLine(std::wstring(name) + L" vk=" + std::to_wstring(key) + L" lparam=" +
          HexText(static_cast<ULONG_PTR>(flags)));
}

void LogMouse(const wchar_t* name, LPARAM position) {
  LogLine(std::wstring(L"mouse ") + name + L" x=" + std::to_wstring(GET_X_LPARAM(position)) +
          L" y=" + std::to_wstring(GET_Y_LPARAM(position)));
}

void OnKeyDown(HWND window, WPARAM key) {
  switch (key) {
    case VK_RIGHT:
    case VK_SPACE:
      Step(window, +1);
      break;
    case VK_LEFT:
    case VK_BACK:
      Step(window, -1);
      break;
    default:
      break;
  }
}

void OnContextMenu(HWND window, LPARAM position) {
  POINT point = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  if (position == -1) {  // from the keyboard: open it in the middle of the window
    RECT client = {};
    GetClientRect(window, &client);
    point.x = client.right / 2;
    point.y = client.bottom / 2;
    ClientToScreen(window, &point);
  }
  TrackContextMenu(window, point);
}

// mirror: also write what was painted to the KELV_MIRROR file (the picture area does).
void OnPaint(HWND window, bool mirror) {
  PAINTSTRUCT paint = {};
  HDC dc = BeginPaint(window, &paint);
  if (dc != nullptr) {
    RECT client = {};
    GetClientRect(window, &client);
    const std::wstring label =
        gSetup.file.empty() ? names::kProgramName : BareFileName(gSetup.file);
    PaintPicture(dc, client, gSetup.file, label);
    if (mirror && !gSetup.mirrorFile.empty()) {
      WritePictureBmp(gSetup.mirrorFile, client, gSetup.file, label);
    }
  }
  EndPaint(window, &paint);
}

void OnSize(HWND window) {
  HWND parent = GetParent(window);
  if (parent != gLoggedParent) {
    gLoggedParent = parent;
    LogLine(L"parent hwnd=" + HexText(reinterpret_cast<ULONG_PTR>(parent)));
  }
  InvalidateRect(window, nullptr, FALSE);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

bool IsInputMessage(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_CONTEXTMENU;
}

// The picture area fills the main window and holds the focus, as a viewer's drawing surface
// does; its input is the main window's.
LRESULT CALLBACK PictureAreaProc(HWND area, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
    SetFocus(area);
  }
  if (IsInputMessage(message)) {
    return WindowProc(GetParent(area), message, wParam, lParam);
  }
  if (message == WM_PAINT) {
    OnPaint(area, true);
    return 0;
  }
  if (message == WM_ERASEBKGND) {
    return 1;
  }
  return DefWindowProcW(area, message, wParam, lParam);
}

void FitPictureArea(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  SetWindowPos(GetWindow(window, GW_CHILD), nullptr, 0, 0, client.right, client.bottom,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The window's real parent, whatever its style says: another window once a host captured it.
  if (GetAncestor(window, GA_PARENT) != GetDesktopWindow()) BeBusyAt(BusyMoment::kCapture);
  switch (message) {
    case WM_CREATE:
      CreateWindowExW(0, names::kPictureAreaClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window,
                      nullptr, reinterpret_cast<const CREATESTRUCTW*>(lParam)->hInstance, nullptr);
      FitPictureArea(window);
      return 0;
    case WM_SETFOCUS:
      SetFocus(GetWindow(window, GW_CHILD));
      return 0;
    case WM_KEYDOWN:
      LogKey(L"keydown", wParam, lParam);
      OnKeyDown(window, wParam);
      return 0;
    case WM_KEYUP:
      LogKey(L"keyup", wParam, lParam);
      return 0;
    case WM_SYSKEYDOWN:
      LogKey(L"syskeydown", wParam, lParam);
      break;  // Alt+F4 and friends keep working
    case WM_SYSKEYUP:
      LogKey(L"syskeyup", wParam, lParam);
      break;
    case WM_CHAR:
      LogLine(L"char code=" + std::to_wstring(wParam));
      return 0;
    case WM_LBUTTONDOWN:
      LogMouse(L"lbuttondown", lParam);
      break;
    case WM_LBUTTONUP:
      LogMouse(L"lbuttonup", lParam);
      break;
    case WM_LBUTTONDBLCLK:
      LogMouse(L"lbuttondblclk", lParam);
      break;
    case WM_RBUTTONDOWN:
      LogMouse(L"rbuttondown", lParam);
      break;
    case WM_RBUTTONUP:
      LogMouse(L"rbuttonup", lParam);
      break;  // the default turns it into WM_CONTEXTMENU
    case WM_MBUTTONDOWN:
      LogMouse(L"mbuttondown", lParam);
      break;
    case WM_MBUTTONUP:
      LogMouse(L"mbuttonup", lParam);
      break;
    case WM_MOUSEWHEEL:
      LogLine(L"wheel delta=" + std::to_wstring(GET_WHEEL_DELTA_WPARAM(wParam)));
      return 0;
    case WM_CONTEXTMENU:
      OnContextMenu(window, lParam);
      return 0;
    case WM_ENTERIDLE:
      ReportContextMenuOnIdle(window, wParam);
      return 0;
    case WM_COMMAND:
      // The print command (names::kPrintCommand) has nothing to print on: logging it is all.
      LogLine(L"command id=" + std::to_wstring(LOWORD(wParam)) + L" lparam=" +
              std::to_wstring(lParam));
      return 0;
    case WM_SIZE:
      OnSize(window);
      FitPictureArea(window);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT:
      OnPaint(window, false);
      return 0;
    case WM_DESTROY:
      BeBusyAt(BusyMoment::kDestroy);
      CloseContextMenu();  // a menu left open would outlive its owner and keep the process alive
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

std::wstring TitleFor(const std::wstring& file) {
  if (file.empty()) {
    return names::kProgramName;
  }
  return BareFileName(file) + names::kTitleSuffix;
}

HWND CreateViewerWindow(HINSTANCE instance, const WindowSetup& setup, LONGLONG* outCreatedAt) {
  gSetup = setup;
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = names::kWindowClass;
  if (RegisterClassExW(&windowClass) == 0) {
    return nullptr;
  }
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = PictureAreaProc;
  windowClass.lpszClassName = names::kPictureAreaClass;
  if (RegisterClassExW(&windowClass) == 0) {
    return nullptr;
  }

  const std::wstring title = TitleFor(setup.file);
  DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  int x = CW_USEDEFAULT;
  int y = CW_USEDEFAULT;
  int width = 600;
  int height = 400;
  if (setup.fullScreen) {
    style = WS_POPUP | WS_VISIBLE;
    x = 0;
    y = 0;
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
  }
  HWND window = CreateWindowExW(0, names::kWindowClass, title.c_str(), style, x, y, width, height,
                                nullptr, nullptr, instance, nullptr);
  LARGE_INTEGER createdAt = {};
  QueryPerformanceCounter(&createdAt);
  *outCreatedAt = createdAt.QuadPart;
  return window;
}
