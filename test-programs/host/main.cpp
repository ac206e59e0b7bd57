// kelvhost.exe: the demo's stand-in host. Loads the installed plugin library of its own width,
// writes the demo pictures and the host's settings (COMMANDER_INI), runs the Lister and the
// quick-view scene, and exits 0 only when every check passed.
//
//   kelvhost.exe [--capture=gdi|x11] [--post-keys] <plugin folder> <pictures folder> <screenshot
//   folder>
#include <objbase.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "demo_pictures.h"
#include "scenarios.h"
#include "support/files.h"
#include "support/standin_host.h"

using namespace testing_support;

namespace {

constexpr int kExitPassed = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// The host's theme for the demo: a caption colour that neither the host's grey path bars nor the
// viewer use, white caption text, and the host's window font.
constexpr COLORREF kActiveTitle = RGB(196, 72, 24);
constexpr COLORREF kActiveTitleText = RGB(255, 255, 255);
constexpr COLORREF kInactiveTitle = RGB(120, 120, 120);

std::wstring HostSettingsText() {
  return L"[Configuration]\r\nDarkMode=0\r\nUseNewDefFont=1\r\n"
         L"[Colors]\r\nActiveTitle=" +
         std::to_wstring(kActiveTitle) + L"\r\nActiveTitleText=" +
         std::to_wstring(kActiveTitleText) + L"\r\nInactiveTitle=" +
         std::to_wstring(kInactiveTitle) +
         L"\r\nInactiveTitleText=0\r\n"
         L"[AllResolutions]\r\nFontNameWindow=Tahoma\r\nFontSizeWindow=10\r\nFontWeightWindow="
         L"700\r\n"
         L"[Lister]\r\nMaximized=0\r\n";
}

std::wstring AsFolder(std::wstring path) {
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
  return path;
}

bool ParseArguments(int argc, wchar_t** argv, DemoSetup* setup) {
  int folders = 0;
  for (int i = 1; i < argc; ++i) {
    const std::wstring argument = argv[i];
    if (argument == L"--capture=gdi") {
      setup->capture = CaptureMode::kGdi;
    } else if (argument == L"--capture=x11") {
      setup->capture = CaptureMode::kX11;
    } else if (argument == L"--post-keys") {
      setup->postKeys = true;
    } else if (folders < 3) {
      std::wstring* folder[] = {&setup->pluginFolder, &setup->picturesFolder, &setup->outFolder};
      *folder[folders++] = AsFolder(argument);
    } else {
      return false;
    }
  }
  return folders == 3;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  DemoSetup setup;
  if (!ParseArguments(argc, argv, &setup)) {
    fwprintf(
        stderr,
        L"usage: kelvhost.exe [--capture=gdi|x11] [--post-keys] <plugin folder> <pictures folder> "
        L"<screenshot folder>\n");
    return kExitUsage;
  }
  setup.activeTitle = kActiveTitle;
  setup.activeTitleText = kActiveTitleText;

  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return kExitFailed;
  Report report;
  if (report.Check(CreateFolders(setup.picturesFolder) && WriteDemoPictures(setup.picturesFolder),
                   L"demo pictures written to " + setup.picturesFolder) &&
      report.Check(CreateFolders(setup.outFolder), L"screenshot folder " + setup.outFolder)) {
    const std::wstring library =
        setup.pluginFolder + (sizeof(void*) == 8 ? L"Kelvane.wlx64" : L"Kelvane.wlx");
    HostSettings hostSettings(HostSettingsText());
    HMODULE plugin = LoadLibraryW(library.c_str());
    if (report.Check(plugin != nullptr, L"plugin loaded from " + library,
                     plugin == nullptr ? L"error " + std::to_wstring(GetLastError()) : L"")) {
      RunListerScenario(plugin, setup, &report);
      RunQuickViewScenario(plugin, setup, &report);
      FreeLibrary(plugin);
    }
  }
  CoUninitialize();
  EndAllViewers();
  wprintf(L"demo: %d checks passed, %d failed\n", report.passed(), report.failed());
  return report.failed() == 0 && report.passed() > 0 ? kExitPassed : kExitFailed;
}
