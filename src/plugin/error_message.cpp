#include "plugin/error_message.h"

#include <windows.h>

#include "plugin/module_state.h"

namespace {

// Every argument is a bounded text of at most kTextCapacity characters and no message has more
// than three of them, so a message always fits here whole.
constexpr int kLongMessageCapacity = 4 * kTextCapacity;

}  // namespace

void ShowError(const wchar_t* format, std::initializer_list<const wchar_t*> arguments) {
  if (TextFormat(gSharedText, kTextCapacity, format, arguments)) {
    MessageBoxW(nullptr, gSharedText, nullptr, MB_OK | MB_ICONERROR);
    return;
  }
  // A message about a long path is shown whole rather than cut.
  wchar_t longMessage[kLongMessageCapacity];
  TextFormat(longMessage, kLongMessageCapacity, format, arguments);
  MessageBoxW(nullptr, longMessage, nullptr, MB_OK | MB_ICONERROR);
}
