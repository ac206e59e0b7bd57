#include "launch/ghostscript.h"

#include "contracts/plugin_files.h"
#include "contracts/viewer.h"
#include "plugin/exports.h"

bool ComposeGsLib(const wchar_t* ghostscriptDll, wchar_t* gsLib, int capacity) {
  using namespace plugin_files;
  wchar_t dllFolder[kTextCapacity];
  wchar_t fonts[kTextCapacity] = {};
  wchar_t lib[kTextCapacity] = {};
  if (!TextCopy(dllFolder, kTextCapacity, ghostscriptDll)) return false;
  TextCutAtLastBackslash(dllFolder);

  TextCopy(fonts, kTextCapacity, dllFolder);
  TextCutAtLastBackslash(fonts);
  TextCopy(lib, kTextCapacity, fonts);
  if (!TextAppend(fonts, kTextCapacity, kGsLibFonts) ||
      !TextAppend(lib, kTextCapacity, kGsLibLib)) {
    return false;
  }
  return TextFormat(gsLib, capacity, L"%s%s%s%s", {dllFolder, kGsLibFolderEnd, fonts, lib});
}

wchar_t* WINAPI gsenv(const wchar_t* ghostscriptDll) {
  wchar_t* gsLib = static_cast<wchar_t*>(LocalAlloc(LMEM_FIXED, kGsLibCapacity * sizeof(wchar_t)));
  if (gsLib == nullptr) return nullptr;
  if (!ComposeGsLib(ghostscriptDll, gsLib, kGsLibCapacity)) {
    LocalFree(gsLib);
    return nullptr;
  }
  return gsLib;
}

void HandOverGhostscript(const ViewerPaths& paths) {
  if (paths.ghostscriptDll[0] == L'\0') return;

  // An INI_Folder too long for its bound names no file the keys could rightly go to.
  wchar_t redirectedIni[kTextCapacity] = {};
  if (FormRedirectedViewerIni(paths, redirectedIni)) {
    const wchar_t* target = redirectedIni[0] != L'\0' ? redirectedIni : paths.defaultViewerIni;
    WritePrivateProfileStringW(viewer::kGhostscriptSection, viewer::kGsLocationKey,
                               viewer::kGsLocationOn, target);
    WritePrivateProfileStringW(viewer::kGhostscriptSection, viewer::kGsDllKey, paths.ghostscriptDll,
                               target);
  }

  wchar_t* gsLib = gsenv(paths.ghostscriptDll);
  if (gsLib == nullptr) return;
  SetEnvironmentVariableW(viewer::kGsLibVariable, gsLib);
  LocalFree(gsLib);
}
