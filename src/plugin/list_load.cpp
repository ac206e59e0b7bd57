// The two load entries: the wide one runs the load sequence, the ANSI one converts its name.
#include "launch/load_sequence.h"
#include "plugin/exports.h"
#include "plugin/text.h"

HWND WINAPI ListLoadW(HWND listerWindow, wchar_t* fileName, int /*showFlags*/) {
  if (fileName == nullptr) return nullptr;
  return RunLoadSequence(listerWindow, fileName);
}

HWND WINAPI ListLoad(HWND listerWindow, char* fileName, int showFlags) {
  if (fileName == nullptr) return nullptr;
  wchar_t wideName[kTextCapacity] = {};
  // A name that does not convert whole is not opened: a cut name would show another file.
  if (MultiByteToWideChar(CP_ACP, 0, fileName, -1, wideName, kTextCapacity) == 0) return nullptr;
  return ListLoadW(listerWindow, wideName, showFlags);
}
