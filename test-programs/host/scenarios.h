// The two demo scenes, each run the way a user meets the plugin: the host opens a picture with
// the plugin, the user clicks into the viewer and presses the right arrow key, and a screenshot
// is taken and checked for the embedded viewer, the new picture and the host's caption.
#pragma once

#include <windows.h>

#include <string>

enum class CaptureMode {
  kGdi,  // this program reads the screen through GDI
  kX11,  // the demo script captures the X root window on request (a file handshake)
};

struct DemoSetup {
  std::wstring pluginFolder;    // the installed plugin, ending in a backslash
  std::wstring picturesFolder;  // the demo pictures, ending in a backslash
  std::wstring outFolder;       // screenshots, ending in a backslash
  CaptureMode capture = CaptureMode::kGdi;
  bool postKeys = false;         // post WM_KEYDOWN to the viewer instead of real key input
  COLORREF activeTitle = 0;      // the host's [Colors] ActiveTitle
  COLORREF activeTitleText = 0;  // the host's [Colors] ActiveTitleText
};

// Counts and prints the checks: "ok   <what>" or "FAIL <what>: <why>".
class Report {
 public:
  bool Check(bool passed, const std::wstring& what, const std::wstring& detail = L"");
  void Note(const std::wstring& text);
  int passed() const { return passed_; }
  int failed() const { return failed_; }

 private:
  int passed_ = 0;
  int failed_ = 0;
};

// Opens the first picture in a Lister window of its own and steps to the second.
void RunListerScenario(HMODULE plugin, const DemoSetup& setup, Report* report);
// Opens the second picture in the quick-view pane of the host's main window and steps to the third.
void RunQuickViewScenario(HMODULE plugin, const DemoSetup& setup, Report* report);
