// Where the viewer program is, which of its settings files the plugin works on and where
// Ghostscript's DLL is: resolved afresh from the plugin settings file on every load.
#pragma once

#include <windows.h>

#include "plugin/text.h"

struct ViewerPaths {
  wchar_t pluginFolder[kTextCapacity];        // ends in a backslash
  wchar_t pluginSettingsFile[kTextCapacity];  // plugin folder + "kelvane.ini"
  wchar_t viewerProgram[kTextCapacity];
  wchar_t listerIniFolder[kTextCapacity];     // empty: no /ini= in Lister mode
  wchar_t quickViewIniFolder[kTextCapacity];  // empty: no /ini= in quick-view mode
  bool listerIniFolderFits;                   // false: DirIniL is too long, the folder empty
  bool quickViewIniFolderFits;                // false: DirIniQ is too long, the folder empty
  bool viewerIs64Bit;
  const wchar_t* viewerIniName;             // "kelv32.ini" or "kelv64.ini"
  wchar_t defaultViewerIni[kTextCapacity];  // always in "Kelvane\", for both viewer builds
  wchar_t ghostscriptDll[kTextCapacity];    // empty: no Ghostscript hand-over
};

// False ends the load: the viewer program is missing or its setting too long (after a message),
// or the plugin's own folder is too long for its bound. A Ghostscript DLL path too long for its
// bound leaves the hand-over out; a mode INI folder too long is told by FormModeIniFile, and
// only in its own mode.
bool ResolveViewerPaths(HINSTANCE module, ViewerPaths* paths);

// The mode INI folder with the viewer INI name appended directly; empty when the folder is.
bool FormModeIniFile(const ViewerPaths& paths, const wchar_t* modeIniFolder, wchar_t* modeIniFile);

// The mode INI file of the given mode. False, after a message naming the mode's key, when its
// folder or the file does not fit.
bool ChooseModeIniFile(const ViewerPaths& paths, bool listerMode, wchar_t* modeIniFile);

// INI_Folder of the default viewer INI, a backslash and the viewer INI name, expanded; empty
// when INI_Folder is.
bool FormRedirectedViewerIni(const ViewerPaths& paths, wchar_t* redirectedIni);
