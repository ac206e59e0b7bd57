// Message box capture: a CBT hook on this thread sees each dialog box as it is activated, by
// which time the box has its text; it records the box and answers it with OK.
#include "support/message_boxes.h"

#include <gtest/gtest.h>

namespace testing_support {

namespace {

MessageBoxCatcher* gCatcher = nullptr;

// The message box's text is the static control with this id.
constexpr int kMessageTextId = 0xFFFF;

std::wstring WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, &text[0], length + 1)));
  return text;
}

bool HasClass(HWND window, const wchar_t* className) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return lstrcmpiW(name, className) == 0;
}

// The first static control with text: the fall-back for a box whose text control has another id.
std::wstring FirstStaticText(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (!HasClass(child, L"Static")) continue;
    std::wstring text = WindowText(child);
    if (!text.empty()) return text;
  }
  return std::wstring();
}

}  // namespace

MessageBoxCatcher::MessageBoxCatcher() {
  if (gCatcher != nullptr) {
    ADD_FAILURE() << "only one MessageBoxCatcher may live at a time";
    return;
  }
  hook_ = SetWindowsHookExW(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
  if (hook_ == nullptr) {
    ADD_FAILURE() << "SetWindowsHookExW(WH_CBT) failed, error " << GetLastError();
    return;
  }
  gCatcher = this;
}

MessageBoxCatcher::~MessageBoxCatcher() {
  if (hook_ == nullptr) return;
  UnhookWindowsHookEx(hook_);
  gCatcher = nullptr;
}

const std::vector<CapturedMessageBox>& MessageBoxCatcher::boxes() const { return boxes_; }

LRESULT CALLBACK MessageBoxCatcher::CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && gCatcher != nullptr) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (HasClass(window, L"#32770")) gCatcher->Capture(window);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxCatcher::Capture(HWND box) {
  if (box == lastBox_) return;
  lastBox_ = box;
  CapturedMessageBox captured{};
  HWND textControl = GetDlgItem(box, kMessageTextId);
  if (textControl != nullptr) captured.text = WindowText(textControl);
  if (captured.text.empty()) captured.text = FirstStaticText(box);
  captured.caption = WindowText(box);
  captured.owner = GetWindow(box, GW_OWNER);
  captured.hasOkButton = GetDlgItem(box, IDOK) != nullptr;
  captured.hasCancelButton = GetDlgItem(box, IDCANCEL) != nullptr;
  boxes_.push_back(captured);
  // Posted: the box's own message loop must be running to end it.
  int answer = !captured.hasOkButton && captured.hasCancelButton ? IDCANCEL : IDOK;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
}

}  // namespace testing_support
