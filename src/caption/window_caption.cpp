// The caption routine: the file name part of the viewer's title becomes the Lister window's
// caption, or in quick view a display text painted over the panel's path bar. The viewer's
// name is taken from the library's own file name, so the library must bear the viewer's name.
#include <cwchar>

#include "caption/caption_text.h"
#include "caption/path_bar.h"
#include "contracts/plugin_files.h"
#include "plugin/bounded_send.h"
#include "plugin/exports.h"
#include "plugin/file_names.h"
#include "plugin/module_state.h"

namespace {

void FindPluginName(wchar_t* pluginName) {
  pluginName[0] = L'\0';
  if (!GetLibraryFileName(gModule, gSharedText)) return;
  TextCopy(pluginName, kTextCapacity, TextAfterLastBackslash(gSharedText));
  wchar_t* lastDot = wcsrchr(pluginName, L'.');
  if (lastDot != nullptr) *lastDot = L'\0';
}

// The title up to the first occurrence of the suffix; the whole title when it has none.
void FindFileNamePart(HWND sourceWindow, const wchar_t* titleSuffix, wchar_t* fileNamePart) {
  fileNamePart[0] = L'\0';
  if (sourceWindow != nullptr) GetWindowTextW(sourceWindow, fileNamePart, kTextCapacity);
  wchar_t* suffix = titleSuffix[0] != L'\0' ? wcsstr(fileNamePart, titleSuffix) : nullptr;
  if (suffix != nullptr) *suffix = L'\0';
}

// GetWindowTextW sends WM_GETTEXT only to a window of this process (directly when it is this
// thread's); another process's caption is read without asking its thread. A window of another
// thread of this process is asked with a bounded send. False when no answer came.
bool ReadCaption(HWND window, wchar_t* caption, int capacity) {
  DWORD process = 0;
  DWORD thread = GetWindowThreadProcessId(window, &process);
  caption[0] = L'\0';
  if (thread == GetCurrentThreadId() || process != GetCurrentProcessId()) {
    GetWindowTextW(window, caption, capacity);
    return true;
  }
  return SendBounded(window, WM_GETTEXT, static_cast<WPARAM>(capacity),
                     reinterpret_cast<LPARAM>(caption), nullptr);
}

// Set only when it changes what the Lister shows: a host that repaints its frame when its caption
// is set sends the container messages, each of which refreshes the caption again.
void SetListerCaption(HWND listerWindow, wchar_t* pluginName, const wchar_t* fileNamePart) {
  if (fileNamePart[0] == L'\0') return;
  CharLowerW(pluginName);
  wchar_t caption[kCaptionCapacity];
  if (!ComposeListerCaption(pluginName, fileNamePart, caption)) return;
  // One character more than the longest caption: a longer one is not read as equal when cut.
  wchar_t current[kCaptionCapacity + 1];
  if (!ReadCaption(listerWindow, current, kCaptionCapacity + 1)) return;  // the host is busy
  if (TextEquals(current, caption)) return;
  // From the viewer's thread this asks the host's thread, which may be busy: bounded.
  SendBounded(listerWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption), nullptr);
}

void PaintQuickViewCaption(wchar_t* titleSuffix, const wchar_t* fileNamePart) {
  CharLowerW(titleSuffix);
  wchar_t displayText[kCaptionCapacity];
  if (!ComposeDisplayText(titleSuffix, fileNamePart, displayText)) return;
  PathBarCaption(displayText, fileNamePart[0] != L'\0');
}

}  // namespace

wchar_t* WINAPI WindowCaption(HWND sourceWindow, HWND listerWindow) {
  wchar_t pluginName[kTextCapacity] = {};
  wchar_t titleSuffix[kTextCapacity] = {};
  wchar_t fileNamePart[kTextCapacity] = {};
  FindPluginName(pluginName);
  if (!TextFormat(titleSuffix, kTextCapacity, plugin_files::kTitleSuffixFormat, {pluginName})) {
    titleSuffix[0] = L'\0';
  }
  FindFileNamePart(sourceWindow, titleSuffix, fileNamePart);

  if (GetParent(listerWindow) == nullptr) {
    SetListerCaption(listerWindow, pluginName, fileNamePart);
  } else {
    PaintQuickViewCaption(titleSuffix, fileNamePart);
  }
  return nullptr;
}
