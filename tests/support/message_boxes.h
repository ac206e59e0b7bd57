// Captures every message box this thread shows while an instance lives, records its text and
// caption and dismisses it with OK, so that a test can assert the exact text without a person.
// Works through a WH_CBT hook on the calling thread (HCBT_ACTIVATE of a "#32770" window); one
// instance at a time.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

struct CapturedMessageBox {
  std::wstring text;
  std::wstring caption;
  HWND owner;            // GetWindow(box, GW_OWNER)
  bool hasOkButton;      // a button with id IDOK
  bool hasCancelButton;  // a button with id IDCANCEL
};

class MessageBoxCatcher {
 public:
  MessageBoxCatcher();
  ~MessageBoxCatcher();
  MessageBoxCatcher(const MessageBoxCatcher&) = delete;
  MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;
  const std::vector<CapturedMessageBox>& boxes() const;

 private:
  static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
  void Capture(HWND box);

  HHOOK hook_ = nullptr;
  HWND lastBox_ = nullptr;  // a box is activated more than once; it is recorded once
  std::vector<CapturedMessageBox> boxes_;
};

}  // namespace testing_support
