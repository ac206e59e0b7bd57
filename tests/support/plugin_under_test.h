// The real plugin library, copied into a fresh plugin folder and loaded by LoadLibraryW, its
// exports bound by name as a host binds them. One instance per test; the folder is removed when
// the instance goes.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

enum class Width { k32, k64 };

// The width of this test program (and of the plugin library it loads).
Width OwnWidth();

using ListLoadWFn = HWND(WINAPI*)(HWND, wchar_t*, int);
using ListLoadFn = HWND(WINAPI*)(HWND, char*, int);
using ListGetDetectStringFn = void(WINAPI*)(char*, int);
using ListPrintFn = int(WINAPI*)(HWND, char*, char*, int, RECT*);
using ListSendCommandFn = int(WINAPI*)(HWND, int, int);
using ListSearchDialogFn = int(WINAPI*)(HWND, int);
using HookProcFn = LRESULT(CALLBACK*)(int, WPARAM, LPARAM);
using WindowProcFn = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);
using WindowCaptionFn = wchar_t*(WINAPI*)(HWND, HWND);
using GsenvFn = wchar_t*(WINAPI*)(const wchar_t*);

struct PluginOptions {
  // Install the stand-in viewer of this width at the default place ("Kelvane64\kelv64.exe" for
  // the 64-bit plugin, "Kelvane\kelv32.exe" for the 32-bit one).
  bool installDefaultViewer = true;
  // Library file name inside the plugin folder; empty: "Kelvane.wlx64" / "Kelvane.wlx".
  std::wstring libraryName;
  // Write kelvane.ini with this UTF-16 text before loading (empty: no file, first-run case).
  std::wstring pluginSettings;
  // An existing folder, ending in a backslash, to use as the plugin folder instead of a fresh one
  // (it is removed with its contents afterwards all the same).
  std::wstring folder;
};

// The usual variations of the options.
inline PluginOptions WithoutViewer() {
  PluginOptions options;
  options.installDefaultViewer = false;
  return options;
}
inline PluginOptions WithSettings(const std::wstring& settings, bool installDefaultViewer = true) {
  PluginOptions options;
  options.installDefaultViewer = installDefaultViewer;
  options.pluginSettings = settings;
  return options;
}
inline PluginOptions WithLibraryName(const std::wstring& name) {
  PluginOptions options = WithoutViewer();
  options.libraryName = name;
  return options;
}

class PluginUnderTest {
 public:
  explicit PluginUnderTest(const PluginOptions& options = PluginOptions());
  ~PluginUnderTest();
  PluginUnderTest(const PluginUnderTest&) = delete;
  PluginUnderTest& operator=(const PluginUnderTest&) = delete;

  // Plugin folder, ending in a backslash, e.g. C:\users\...\Temp\kelvane-test-1234\ .
  const std::wstring& folder() const { return folder_; }
  HMODULE module() const { return module_; }

  // Unloads the library as a host does that lets it go (the exports are unbound); answers the
  // module handle it had. Load() loads it again from the same file and binds the exports anew.
  HMODULE Unload();
  void Load();

  // Copies a stand-in viewer of the given width to folder() + relativePath (folders created).
  // Returns the full path.
  std::wstring InstallViewer(Width width, const std::wstring& relativePath) const;
  // Installs the stand-in viewer of a width as "viewer32\kelv32.exe" or "viewer64\kelv64.exe" and
  // writes kelvane.ini naming it under this plugin's [Kelvane] key, followed by moreSettings (more
  // keys of [Kelvane], then other sections). Returns the viewer's full path.
  std::wstring UseViewer(Width width, const std::wstring& moreSettings = L"") const;

  // Exports bound by plain name (the six Lister functions) ...
  ListLoadWFn ListLoadW = nullptr;
  ListLoadFn ListLoad = nullptr;
  ListGetDetectStringFn ListGetDetectString = nullptr;
  ListPrintFn ListPrint = nullptr;
  ListSendCommandFn ListSendCommand = nullptr;
  ListSearchDialogFn ListSearchDialog = nullptr;
  // ... and the plugin's own routines, found in the export table by the name they decorate.
  HookProcFn KbdProc = nullptr;
  HookProcFn MouseProc = nullptr;
  WindowProcFn WindowProc = nullptr;
  WindowCaptionFn WindowCaption = nullptr;
  GsenvFn gsenv = nullptr;

 private:
  std::wstring folder_;
  std::wstring library_;
  HMODULE module_ = nullptr;
};

// The names that go with a width: its stand-in viewer program (kelv32.exe / kelv64.exe), that
// viewer's settings file (kelv32.ini / kelv64.ini), and the key of kelvane.ini that names a path
// for that width ("path" / "path64"), in [Kelvane] for the plugin's viewer and in [Ghostscript]
// for the viewer's Ghostscript DLL alike.
const wchar_t* ViewerProgramName(Width width);
const wchar_t* ViewerIniName(Width width);
const wchar_t* PathKey(Width width);

// The viewer settings file the plugin works on when no mode folder is set:
// "Kelvane\<settings file of the viewer's width>" in the plugin folder, whichever viewer runs.
std::wstring DefaultViewerIni(const PluginUnderTest& plugin, Width viewerWidth);

// Full path of the stand-in viewer program of a width as built (kelv32.exe / kelv64.exe):
// this build's bin folder for its own width, the peer build's bin folder for the other.
std::wstring BuiltViewerPath(Width width);
// The folder beside this build's bin folder that the test set-up prepares with a kelvane.ini
// that can be neither found nor created (a dangling symbolic link), ending in a backslash.
std::wstring UnwritablePluginFolder();
// Full path of a built plugin library of a width (Kelvane.wlx / Kelvane.wlx64).
std::wstring BuiltPluginPath(Width width);

}  // namespace testing_support
