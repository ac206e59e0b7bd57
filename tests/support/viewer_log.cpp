// The stand-in viewer's log, named through KELV_LOG: the viewer inherits this process's
// environment, so a variable set before a load reaches the viewer that the load starts.
#include "support/viewer_log.h"

#include <windows.h>

#include "support/files.h"
#include "support/waits.h"

namespace testing_support {

namespace {

constexpr const wchar_t* kLogVariable = L"KELV_LOG";

std::wstring FromUtf8(const std::string& bytes, size_t begin, size_t end) {
  int size = static_cast<int>(end - begin);
  if (size <= 0) return std::wstring();
  int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + begin, size, nullptr, 0);
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data() + begin, size, &text[0], length);
  return text;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

ViewerLog::ViewerLog() : path_(CreateUniqueFile(L"kelv-log", L".txt")) {
  SetEnvironmentVariableW(kLogVariable, path_.c_str());
}

ViewerLog::~ViewerLog() {
  SetEnvironmentVariableW(kLogVariable, nullptr);
  // A viewer that is just ending may still have the file open.
  WaitUntil([this] { return DeleteFileW(path_.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; },
            2000);
}

std::vector<std::wstring> ViewerLog::Lines() const {
  std::vector<std::wstring> lines;
  std::string bytes = ReadFileBytes(path_);
  size_t begin = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  for (size_t end = bytes.find('\n', begin); end != std::string::npos;
       end = bytes.find('\n', begin)) {
    size_t stop = end > begin && bytes[end - 1] == '\r' ? end - 1 : end;
    lines.push_back(FromUtf8(bytes, begin, stop));
    begin = end + 1;
  }
  return lines;
}

std::vector<std::wstring> ViewerLog::LinesStartingWith(const std::wstring& prefix) const {
  std::vector<std::wstring> matching;
  for (const std::wstring& line : Lines()) {
    if (StartsWith(line, prefix)) matching.push_back(line);
  }
  return matching;
}

std::wstring ViewerLog::First(const std::wstring& prefix) const {
  for (const std::wstring& line : Lines()) {
    if (StartsWith(line, prefix)) return line.substr(prefix.size());
  }
  return std::wstring();
}

bool ViewerLog::WaitForLine(const std::wstring& prefix, unsigned timeoutMs) const {
  return WaitUntil([&] { return !LinesStartingWith(prefix).empty(); }, timeoutMs);
}

std::string ViewerLog::Progress() const {
  std::string progress;
  for (const std::wstring& line : Lines()) {
    std::wstring shown = line.rfind(L"exit ", 0) == 0 ? line : line.substr(0, line.find(L' '));
    for (wchar_t c : shown) progress += c < 0x80 ? static_cast<char>(c) : '?';
    progress += ' ';
  }
  return progress.empty() ? "nothing" : progress;
}

}  // namespace testing_support
