// The stand-in host: the window layouts of the host file manager that the plugin relies on,
// made in the test's own process on the calling thread (the test thread is the host's GUI
// thread). Destroying an instance destroys its windows.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// A Lister window of its own: class "TLister", top-level, visible, 640x480, title "Lister". Like
// the quick-view Lister window below, it repaints its frame and children when its caption is set.
class ListerWindow {
 public:
  ListerWindow();
  ~ListerWindow();
  ListerWindow(const ListerWindow&) = delete;
  ListerWindow& operator=(const ListerWindow&) = delete;
  HWND hwnd() const { return hwnd_; }
  // How many times its caption has been set.
  LONG_PTR captionSets() const;
  // Sizes the plugin's window the way the host does: to the Lister's client area.
  void FitChild(HWND pluginWindow) const;

 private:
  HWND hwnd_ = nullptr;
};

struct MainWindowOptions {
  int menuItems = 9;  // items on the menu bar (0: no menu)
  bool leftPanelActive = true;
  const wchar_t* className = L"TTOTAL_CMD";  // or "FreeCommanderXE.SingleInst.1"
};

// The host's main window: class "TTOTAL_CMD", top-level, visible, 1000x700, with a menu bar,
// two file panels (left, right), a path bar over each panel (painted in a plain colour) and a
// quick-view Lister window (class "TLister") inside the active panel. It answers message 1074
// (lParam 0): 1 the left file list, 2 the right file list, 3 the active file list, 9 the right
// path bar, 10 the left path bar. The first child of the main window is the left panel.
class MainWindow {
 public:
  explicit MainWindow(const MainWindowOptions& options = MainWindowOptions());
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  HWND leftPanel() const { return leftPanel_; }
  HWND rightPanel() const { return rightPanel_; }
  HWND leftPathBar() const { return leftPathBar_; }
  HWND rightPathBar() const { return rightPathBar_; }
  HWND leftFileList() const { return leftFileList_; }
  HWND rightFileList() const { return rightFileList_; }
  // The answer to message 1074 with this wParam; null for a request the host does not know.
  HWND AnswerWindowRequest(WPARAM request) const;
  // The quick-view Lister window inside the active panel (it has a parent).
  HWND quickView() const { return quickView_; }
  // Paints both path bars in this colour (what the host draws there), synchronously.
  void PaintPathBars(COLORREF colour) const;
  // Reads a pixel of a window's client area from the screen.
  static COLORREF PixelAt(HWND window, int x, int y);

 private:
  HWND hwnd_ = nullptr;
  HWND leftPanel_ = nullptr;
  HWND rightPanel_ = nullptr;
  HWND leftPathBar_ = nullptr;
  HWND rightPathBar_ = nullptr;
  HWND leftFileList_ = nullptr;
  HWND rightFileList_ = nullptr;
  HWND quickView_ = nullptr;
  bool leftPanelActive_ = true;
};

// Writes a host settings file and points COMMANDER_INI at it for the lifetime of the instance.
class HostSettings {
 public:
  explicit HostSettings(const std::wstring& text);
  ~HostSettings();
  HostSettings(const HostSettings&) = delete;
  HostSettings& operator=(const HostSettings&) = delete;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
  std::wstring previous_;
  bool hadPrevious_ = false;
};

}  // namespace testing_support
