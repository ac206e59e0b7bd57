// Resolution of the viewer paths from the plugin settings file beside the library. The file is
// created, with its two empty sections, the first time a load finds it missing.
#include "launch/viewer_paths.h"

#include "contracts/plugin_files.h"
#include "contracts/viewer.h"
#include "plugin/error_message.h"
#include "plugin/file_names.h"

namespace {

bool FindPluginFolder(HINSTANCE module, wchar_t* pluginFolder) {
  if (!GetLibraryFileName(module, pluginFolder)) return false;
  TextCutAtLastBackslash(pluginFolder);
  return TextAppend(pluginFolder, kTextCapacity, L"\\");
}

bool FileExists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// Section headers written as text: the profile API writes nothing for an empty key list on
// some platforms, and the file must show the user where the keys belong.
void WriteEmptySections(HANDLE file) {
  using namespace plugin_files;
  wchar_t text[kTextCapacity];
  char bytes[kTextCapacity];
  if (!TextFormat(text, kTextCapacity, kNewSettingsFileFormat,
                  {kViewerSection, kGhostscriptSection})) {
    return;
  }
  int size = WideCharToMultiByte(CP_ACP, 0, text, -1, bytes, kTextCapacity, nullptr, nullptr);
  DWORD written = 0;
  if (size > 1) WriteFile(file, bytes, static_cast<DWORD>(size - 1), &written, nullptr);
}

// In quick view every step to the next picture is a load, and a host may unload the library
// between two loads: a mark in the process's own atom table outlives the library, not the process.
bool FirstTimeInThisProcess(const wchar_t* mark) {
  if (FindAtomW(mark) != 0) return false;
  AddAtomW(mark);
  return true;
}

void CreatePluginSettingsFile(const wchar_t* pluginSettingsFile) {
  HANDLE file = CreateFileW(pluginSettingsFile, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (!FirstTimeInThisProcess(plugin_files::kSettingsFileMessageShownAtom)) return;
    ShowError(plugin_files::kCannotCreateSettings,
              {plugin_files::kSettingsFile, plugin_files::kDefaultViewer32,
               plugin_files::kDefaultViewer64});
    return;
  }
  WriteEmptySections(file);
  CloseHandle(file);
}

// A setting of the plugin's file whose value does not fit ends the load: the user is told which.
void ReportLongSetting(const wchar_t* section, const wchar_t* key) {
  wchar_t setting[kTextCapacity];
  if (!TextFormat(setting, kTextCapacity, plugin_files::kSettingNameFormat, {section, key})) return;
  ShowError(plugin_files::kCannotUseLongSetting, {setting, plugin_files::kSettingsFile});
}

bool ViewerIs64Bit(const wchar_t* viewerProgram) {
  DWORD type = SCS_32BIT_BINARY;
  if (!GetBinaryTypeW(viewerProgram, &type)) return false;
  return type != SCS_32BIT_BINARY;
}

}  // namespace

bool ResolveViewerPaths(HINSTANCE module, ViewerPaths* paths) {
  using namespace plugin_files;
  if (!FindPluginFolder(module, paths->pluginFolder)) return false;

  wchar_t defaultViewer[kTextCapacity];
  const wchar_t* defaultViewerName = sizeof(void*) == 8 ? kDefaultViewer64 : kDefaultViewer32;
  const wchar_t* viewerKey = sizeof(void*) == 8 ? kViewerPath64Key : kViewerPath32Key;
  if (!TextFormat(paths->pluginSettingsFile, kTextCapacity, L"%s%s",
                  {paths->pluginFolder, kSettingsFile}) ||
      !TextFormat(defaultViewer, kTextCapacity, L"%s%s",
                  {paths->pluginFolder, defaultViewerName})) {
    return false;
  }

  if (!FileExists(paths->pluginSettingsFile)) CreatePluginSettingsFile(paths->pluginSettingsFile);

  const wchar_t* settings = paths->pluginSettingsFile;
  if (!ReadExpandedSetting(settings, kViewerSection, viewerKey, defaultViewer, paths->viewerProgram,
                           kTextCapacity)) {
    ReportLongSetting(kViewerSection, viewerKey);
    return false;
  }
  if (!FileExists(paths->viewerProgram)) {
    ShowError(kCannotFindViewer, {paths->viewerProgram, kSettingsFile});
    return false;
  }

  paths->listerIniFolderFits = ReadExpandedSetting(settings, kViewerSection, kListerIniFolderKey,
                                                   L"", paths->listerIniFolder, kTextCapacity);
  paths->quickViewIniFolderFits =
      ReadExpandedSetting(settings, kViewerSection, kQuickViewIniFolderKey, L"",
                          paths->quickViewIniFolder, kTextCapacity);

  paths->viewerIs64Bit = ViewerIs64Bit(paths->viewerProgram);
  paths->viewerIniName = paths->viewerIs64Bit ? viewer::kSettings64 : viewer::kSettings32;
  const wchar_t* ghostscriptKey = paths->viewerIs64Bit ? kGhostscript64Key : kGhostscript32Key;

  // Ghostscript serves only the PostScript family: a path that does not fit leaves it out (the
  // helper leaves the value empty) and every other picture still opens.
  ReadExpandedSetting(settings, kGhostscriptSection, ghostscriptKey, L"", paths->ghostscriptDll,
                      kTextCapacity);
  return TextFormat(paths->defaultViewerIni, kTextCapacity, L"%s%s%s",
                    {paths->pluginFolder, viewer::kFolder32, paths->viewerIniName});
}

bool FormModeIniFile(const ViewerPaths& paths, const wchar_t* modeIniFolder, wchar_t* modeIniFile) {
  modeIniFile[0] = L'\0';
  if (modeIniFolder[0] == L'\0') return true;
  return TextFormat(modeIniFile, kTextCapacity, L"%s%s", {modeIniFolder, paths.viewerIniName});
}

bool ChooseModeIniFile(const ViewerPaths& paths, bool listerMode, wchar_t* modeIniFile) {
  using namespace plugin_files;
  const wchar_t* folder = listerMode ? paths.listerIniFolder : paths.quickViewIniFolder;
  bool folderFits = listerMode ? paths.listerIniFolderFits : paths.quickViewIniFolderFits;
  if (folderFits && FormModeIniFile(paths, folder, modeIniFile)) return true;
  ReportLongSetting(kViewerSection, listerMode ? kListerIniFolderKey : kQuickViewIniFolderKey);
  return false;
}

bool FormRedirectedViewerIni(const ViewerPaths& paths, wchar_t* redirectedIni) {
  redirectedIni[0] = L'\0';
  wchar_t folder[kTextCapacity];
  if (!ReadSetting(paths.defaultViewerIni, viewer::kOthersSection, viewer::kIniFolderKey, L"",
                   folder, kTextCapacity)) {
    return false;
  }
  if (folder[0] == L'\0') return true;
  wchar_t unexpanded[kTextCapacity];
  return TextFormat(unexpanded, kTextCapacity, L"%s\\%s", {folder, paths.viewerIniName}) &&
         TextExpand(redirectedIni, kTextCapacity, unexpanded);
}
