// The plugin as the host meets it: a library file in a folder of its own, loaded by path, its
// exports bound by name. The library and the viewer are copies, so each test starts from a
// folder that holds exactly what the test put there.
#include "support/plugin_under_test.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/waits.h"

namespace testing_support {

namespace {

static_assert((KELVANE_WIDTH == 64) == (sizeof(void*) == 8),
              "KELVANE_WIDTH does not match the pointer size");

// Spelt out here rather than taken from the plugin's headers, so that a test sees a wrong name.
const wchar_t* LibraryName(Width width) {
  return width == Width::k64 ? L"Kelvane.wlx64" : L"Kelvane.wlx";
}
const wchar_t* DefaultViewerPlace(Width width) {
  return width == Width::k64 ? L"Kelvane64\\kelv64.exe" : L"Kelvane\\kelv32.exe";
}

// Folder of this test program, ending in a backslash.
std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// The bin folder of a width's build: this program's own, or the same folder of the peer build.
std::wstring BinFolder(Width width) {
  if (width == OwnWidth()) return OwnFolder();
  std::wstring relative = OwnFolder() + L"..\\..\\" + KELVANE_PEER_BUILD + L"\\bin\\";
  wchar_t full[MAX_PATH] = {};
  DWORD length = GetFullPathNameW(relative.c_str(), MAX_PATH, full, nullptr);
  return length == 0 || length >= MAX_PATH ? relative : std::wstring(full, length);
}

// Whether an export name is the routine's: the plain name, or the name the compiler decorated.
// Each decoration puts the name between fixed marks, so that "WindowProc" does not match a
// routine whose name merely contains it.
bool IsExportOf(const std::string& exported, const std::string& routine) {
  if (exported == routine) return true;
  const std::string lengthMark = std::to_string(routine.size());
  for (size_t at = exported.find(routine); at != std::string::npos;
       at = exported.find(routine, at + 1)) {
    char after = at + routine.size() < exported.size() ? exported[at + routine.size()] : '\0';
    // MSVC: "?KbdProc@@YGJHIJ@Z".
    if (at > 0 && exported[at - 1] == '?' && after == '@') return true;
    // Itanium (mingw): "_Z7KbdProcijl@12", the name after its length, which follows no other digit.
    if (at >= lengthMark.size() &&
        exported.compare(at - lengthMark.size(), lengthMark.size(), lengthMark) == 0 &&
        (at == lengthMark.size() ||
         !isdigit(static_cast<unsigned char>(exported[at - lengthMark.size() - 1])))) {
      return true;
    }
    // A C name with its stdcall argument size: "KbdProc@12" or "_KbdProc@12".
    if ((at == 0 || (at == 1 && exported[0] == '_')) && after == '@') return true;
  }
  return false;
}

// The address of the one export of a routine in a loaded module, through its export directory.
FARPROC FindDecoratedExport(HMODULE module, const char* routine) {
  auto base = reinterpret_cast<const BYTE*>(module);
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (directory.VirtualAddress == 0) return nullptr;
  auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
  auto names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  auto ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
  auto functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
  std::vector<std::string> matches;
  FARPROC found = nullptr;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    std::string name = reinterpret_cast<const char*>(base + names[i]);
    if (!IsExportOf(name, routine)) continue;
    matches.push_back(name);
    found = reinterpret_cast<FARPROC>(const_cast<BYTE*>(base + functions[ordinals[i]]));
  }
  if (matches.size() > 1) {
    std::string all;
    for (const std::string& name : matches) all += " " + name;
    ADD_FAILURE() << "more than one export is " << routine << ":" << all;
    return nullptr;
  }
  return found;
}

// Through a plain function pointer type, which converts to any other without a warning.
template <typename Fn>
Fn As(FARPROC address) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(address));
}

std::string Utf8(const std::wstring& text) {
  int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length > 0 ? length : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], length, nullptr, nullptr);
  utf8.resize(utf8.size() - 1);
  return utf8;
}

}  // namespace

Width OwnWidth() { return KELVANE_WIDTH == 64 ? Width::k64 : Width::k32; }

std::wstring BuiltPluginPath(Width width) { return BinFolder(width) + LibraryName(width); }

std::wstring BuiltViewerPath(Width width) { return BinFolder(width) + ViewerProgramName(width); }

const wchar_t* ViewerProgramName(Width width) {
  return width == Width::k64 ? L"kelv64.exe" : L"kelv32.exe";
}
const wchar_t* ViewerIniName(Width width) {
  return width == Width::k64 ? L"kelv64.ini" : L"kelv32.ini";
}
const wchar_t* PathKey(Width width) { return width == Width::k64 ? L"path64" : L"path"; }

std::wstring DefaultViewerIni(const PluginUnderTest& plugin, Width viewerWidth) {
  return plugin.folder() + L"Kelvane\\" + ViewerIniName(viewerWidth);
}

std::wstring UnwritablePluginFolder() { return OwnFolder() + L"..\\unwritable-plugin\\"; }

PluginUnderTest::PluginUnderTest(const PluginOptions& options) {
  folder_ = options.folder.empty() ? CreateUniqueFolder(L"kelvane-test") : options.folder;
  if (folder_.empty()) {
    ADD_FAILURE() << "cannot create a plugin folder in the temp folder, error " << GetLastError();
    return;
  }
  std::wstring source = BuiltPluginPath(OwnWidth());
  std::wstring library =
      folder_ + (options.libraryName.empty() ? LibraryName(OwnWidth()) : options.libraryName);
  if (!CopyFileW(source.c_str(), library.c_str(), FALSE)) {
    ADD_FAILURE() << "cannot copy the built plugin " << source << ", error " << GetLastError();
    return;
  }
  if (options.installDefaultViewer) InstallViewer(OwnWidth(), DefaultViewerPlace(OwnWidth()));
  if (!options.pluginSettings.empty())
    WriteSettingsFile(folder_ + L"kelvane.ini", options.pluginSettings);

  library_ = library;
  Load();
}

void PluginUnderTest::Load() {
  module_ = LoadLibraryW(library_.c_str());
  if (module_ == nullptr) {
    ADD_FAILURE() << "LoadLibraryW(" << library_ << ") failed, error " << GetLastError();
    return;
  }
  ListLoadW = As<ListLoadWFn>(GetProcAddress(module_, "ListLoadW"));
  ListLoad = As<ListLoadFn>(GetProcAddress(module_, "ListLoad"));
  ListGetDetectString = As<ListGetDetectStringFn>(GetProcAddress(module_, "ListGetDetectString"));
  ListPrint = As<ListPrintFn>(GetProcAddress(module_, "ListPrint"));
  ListSendCommand = As<ListSendCommandFn>(GetProcAddress(module_, "ListSendCommand"));
  ListSearchDialog = As<ListSearchDialogFn>(GetProcAddress(module_, "ListSearchDialog"));
  KbdProc = As<HookProcFn>(FindDecoratedExport(module_, "KbdProc"));
  MouseProc = As<HookProcFn>(FindDecoratedExport(module_, "MouseProc"));
  WindowProc = As<WindowProcFn>(FindDecoratedExport(module_, "WindowProc"));
  WindowCaption = As<WindowCaptionFn>(FindDecoratedExport(module_, "WindowCaption"));
  gsenv = As<GsenvFn>(FindDecoratedExport(module_, "gsenv"));
}

HMODULE PluginUnderTest::Unload() {
  HMODULE module = module_;
  if (module_ != nullptr) FreeLibrary(module_);
  module_ = nullptr;
  ListLoadW = nullptr;
  ListLoad = nullptr;
  ListGetDetectString = nullptr;
  ListPrint = nullptr;
  ListSendCommand = nullptr;
  ListSearchDialog = nullptr;
  KbdProc = MouseProc = nullptr;
  WindowProc = nullptr;
  WindowCaption = nullptr;
  gsenv = nullptr;
  return module;
}

PluginUnderTest::~PluginUnderTest() {
  if (module_ != nullptr) FreeLibrary(module_);
  if (folder_.empty()) return;
  // A viewer that is just ending may still hold its program file (and the library its hooks
  // mapped into it) for a moment.
  if (!WaitUntil([this] { return RemoveTree(folder_); }, 5000)) {
    fprintf(stderr, "note: the plugin folder %s is left behind\n", Utf8(folder_).c_str());
  }
}

std::wstring PluginUnderTest::InstallViewer(Width width, const std::wstring& relativePath) const {
  std::wstring target = folder_ + relativePath;
  std::wstring source = BuiltViewerPath(width);
  if (!FileExists(source)) {
    ADD_FAILURE() << "the stand-in viewer is not built: " << source;
    return target;
  }
  CreateFolders(target.substr(0, target.find_last_of(L'\\')));
  if (!CopyFileW(source.c_str(), target.c_str(), FALSE)) {
    ADD_FAILURE() << "cannot copy " << source << " to " << target << ", error " << GetLastError();
  }
  return target;
}

std::wstring PluginUnderTest::UseViewer(Width width, const std::wstring& moreSettings) const {
  std::wstring viewer =
      InstallViewer(width, std::wstring(width == Width::k64 ? L"viewer64\\" : L"viewer32\\") +
                               ViewerProgramName(width));
  WriteSettingsFile(folder_ + L"kelvane.ini", L"[Kelvane]\r\n" + std::wstring(PathKey(OwnWidth())) +
                                                  L"=" + viewer + L"\r\n" + moreSettings);
  return viewer;
}

}  // namespace testing_support
