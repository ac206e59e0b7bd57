// Folder navigation: the folder is listed on every step, so files that tests add or remove between
// steps are taken into account.
#include "navigation.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

size_t LastSeparator(const std::wstring& path) { return path.find_last_of(L"\\/"); }

// Case-insensitive name order; names equal but for case fall back to ordinal order, so the
// order is total even on a file system that tells them apart.
int CompareNames(const std::wstring& a, const std::wstring& b) {
  const int result = CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                          static_cast<int>(b.size()), TRUE);
  if (result != CSTR_EQUAL) {
    return result - CSTR_EQUAL;
  }
  return a.compare(b);
}

std::vector<std::wstring> ListFiles(const std::wstring& folder) {
  std::vector<std::wstring> files;
  WIN32_FIND_DATAW found = {};
  const std::wstring pattern = folder + L"\\*";
  HANDLE search =
      FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) {
    return files;
  }
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      files.push_back(found.cFileName);
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
  std::sort(files.begin(), files.end(),
            [](const std::wstring& a, const std::wstring& b) { return CompareNames(a, b) < 0; });
  return files;
}

}  // namespace

std::wstring BareFileName(const std::wstring& path) {
  const size_t separator = LastSeparator(path);
  return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

bool StepInFolder(const std::wstring& path, int step, std::wstring* outPath) {
  const size_t separator = LastSeparator(path);
  const std::wstring folder =
      separator == std::wstring::npos ? std::wstring(L".") : path.substr(0, separator);
  const std::wstring name = BareFileName(path);

  const std::vector<std::wstring> files = ListFiles(folder);
  if (files.empty()) {
    return false;
  }
  // Neighbours are found by comparison, not by position, so a vanished file still has them.
  const std::wstring* chosen = nullptr;
  if (step > 0) {
    auto after = std::find_if(files.begin(), files.end(), [&name](const std::wstring& file) {
      return CompareNames(file, name) > 0;
    });
    chosen = after != files.end() ? &*after : &files.front();
  } else {
    auto before = std::find_if(files.rbegin(), files.rend(), [&name](const std::wstring& file) {
      return CompareNames(file, name) < 0;
    });
    chosen = before != files.rend() ? &*before : &files.back();
  }
  *outPath = folder + L"\\" + *chosen;
  return true;
}
