// Command line, settings file and environment, read once at start-up.
#include "settings.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "viewer_names.h"

namespace {

// Profile values are short; a longer one is taken cut at this bound.
constexpr DWORD kValueCapacity = MAX_PATH;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Reads a quoted text starting at the opening quote; returns the position after the closing quote.
const wchar_t* ReadQuoted(const wchar_t* quote, std::wstring* outText) {
  const wchar_t* start = quote + 1;
  const wchar_t* end = std::wcschr(start, L'"');
  if (end == nullptr) {
    outText->assign(start);
    return start + outText->size();
  }
  outText->assign(start, end);
  return end + 1;
}

std::wstring ProgramFolder() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      return std::wstring();
    }
    if (length < path.size()) {
      break;
    }
    path.resize(path.size() * 2);  // cut short: try again with room to spare
  }
  std::wstring folder(path.data());
  const size_t slash = folder.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
}

std::wstring ReadProfile(const std::wstring& iniPath, const wchar_t* section, const wchar_t* key,
                         const wchar_t* defaultValue) {
  wchar_t value[kValueCapacity] = {};
  GetPrivateProfileStringW(section, key, defaultValue, value, kValueCapacity, iniPath.c_str());
  return value;
}

std::wstring ExpandEnvironment(const std::wstring& text) {
  const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (needed == 0) {
    return text;
  }
  std::vector<wchar_t> expanded(needed);
  const DWORD written = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed);
  if (written == 0 || written > needed) {
    return text;
  }
  return expanded.data();
}

}  // namespace

CommandLine ParseCommandLine(const wchar_t* commandLine) {
  CommandLine result;
  const wchar_t* p = commandLine;
  while (IsBlank(*p)) {
    ++p;
  }
  // Program token, quoted or not.
  if (*p == L'"') {
    std::wstring program;
    p = ReadQuoted(p, &program);
  } else {
    while (*p != L'\0' && !IsBlank(*p)) {
      ++p;
    }
  }

  const wchar_t* quote = std::wcschr(p, L'"');
  if (quote != nullptr) {
    p = ReadQuoted(quote, &result.file);
  }

  static const wchar_t kIniSwitch[] = L"/ini=\"";
  const size_t switchLength = std::wcslen(kIniSwitch);
  for (; *p != L'\0'; ++p) {
    if (_wcsnicmp(p, kIniSwitch, switchLength) == 0) {
      ReadQuoted(p + switchLength - 1, &result.iniFolder);
      break;
    }
  }
  return result;
}

std::wstring FindSettingsPath(const CommandLine& commandLine) {
  // The /ini= folder is expected to end in a backslash: the name is appended to it as it is.
  const std::wstring first = commandLine.iniFolder.empty()
                                 ? ProgramFolder() + L"\\" + names::kIniName
                                 : commandLine.iniFolder + names::kIniName;
  const std::wstring redirect =
      ReadProfile(first, names::kOthersSection, names::kIniFolderKey, L"");
  if (redirect.empty()) {
    return first;
  }
  return ExpandEnvironment(redirect) + L"\\" + names::kIniName;
}

bool ReadFullScreen(const std::wstring& iniPath, std::wstring* outValue) {
  // A default that no settings file holds tells a missing key from an empty one.
  static const wchar_t kAbsent[] = L"\x1\x2<absent>";
  *outValue = ReadProfile(iniPath, names::kViewingSection, names::kFullScreenKey, kAbsent);
  return *outValue != kAbsent;
}

bool GetEnvironmentText(const wchar_t* name, std::wstring* outValue) {
  std::vector<wchar_t> value(256);
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const DWORD length =
        GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
        return false;
      }
      outValue->clear();
      return true;
    }
    if (length < value.size()) {
      outValue->assign(value.data(), length);
      return true;
    }
    value.resize(length);  // the answer is the size needed, terminator included
  }
}

unsigned long GetEnvironmentNumber(const wchar_t* name, unsigned long defaultValue) {
  std::wstring text;
  if (!GetEnvironmentText(name, &text) || text.empty()) {
    return defaultValue;
  }
  wchar_t* end = nullptr;
  const unsigned long value = std::wcstoul(text.c_str(), &end, 10);
  return (end != nullptr && *end == L'\0') ? value : defaultValue;
}
