// Event log: each line is written with its own open/append/close, so another process reading the
// file sees it at once and a crash loses nothing that was logged before.
#include "log.h"

#include "settings.h"

namespace {

std::wstring gLogPath;

}  // namespace

void OpenLog() {
  if (!GetEnvironmentText(L"KELV_LOG", &gLogPath)) {
    gLogPath.clear();
  }
}

void LogLine(const std::wstring& line) {
  if (gLogPath.empty()) {
    return;
  }
  const std::wstring text = line + L"\r\n";
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) {
    return;
  }
  std::string utf8(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], bytes,
                      nullptr, nullptr);

  // Append-only access makes every write land at the current end, even with several writers.
  HANDLE file = CreateFileW(gLogPath.c_str(), FILE_APPEND_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return;
  }
  DWORD written = 0;
  WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(file);
}

std::wstring HexText(ULONGLONG value) {
  static const wchar_t kDigits[] = L"0123456789abcdef";
  wchar_t digits[17] = {};
  int pos = 16;
  do {
    digits[--pos] = kDigits[value & 0xF];
    value >>= 4;
  } while (value != 0 && pos > 0);
  return std::wstring(L"0x") + (digits + pos);
}
