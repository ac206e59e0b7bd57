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
  bool viewerIs64Bit;
  const wchar_t* viewerIniName;               // "kelv32.ini" or "kelv64.ini"
  wchar_t defaultViewerIni[kTextCapacity];    // always in "Kelvane\", for both viewer builds
  wchar_t ghostscriptDll[kTextCapacity];      // empty: no Ghostscript hand-over
};

// False ends the load: the viewer program is missing (after its message), or a path did not
// fit its bound (no message: the host then shows the file its own way).
bool ResolveViewerPaths(HINSTANCE module, ViewerPaths* paths);

// The mode INI folder with the viewer INI name appended directly; empty when the folder is.
bool FormModeIniFile(const ViewerPaths& paths, const wchar_t* modeIniFolder, wchar_t* modeIniFile);

// INI_Folder of the default viewer INI, a backslash and the viewer INI name, expanded; empty
// when INI_Folder is.
bool FormRedirectedViewerIni(const ViewerPaths& paths, wchar_t* redirectedIni);
