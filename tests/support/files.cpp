// Files, folders, settings files, environment and processes for tests: thin helpers over the
// API calls they are named after. Names made here carry the process id, so that two test
// processes never share a file.
#include "support/files.h"

#include <tlhelp32.h>

#include <cstring>

namespace testing_support {

namespace {

std::wstring TempPath() {
  wchar_t buffer[MAX_PATH + 1] = {};
  DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return L"C:\\";
  return buffer;
}

// A name no earlier call of this process has made: process id and a running number.
std::wstring UniqueName(const std::wstring& hint) {
  static LONG counter = 0;
  return TempPath() + hint + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(InterlockedIncrement(&counter));
}

bool HasNonAscii(const std::wstring& text) {
  for (wchar_t c : text) {
    if (c > 0x7F) return true;
  }
  return false;
}

std::wstring Decode(const std::string& bytes) {
  UINT codePage = CP_ACP;
  size_t skip = 0;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    if (!text.empty()) memcpy(&text[0], bytes.data() + 2, text.size() * sizeof(wchar_t));
    return text;
  }
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    codePage = CP_UTF8;
    skip = 3;
  }
  int size = static_cast<int>(bytes.size() - skip);
  if (size == 0) return std::wstring();
  int length = MultiByteToWideChar(codePage, 0, bytes.data() + skip, size, nullptr, 0);
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data() + skip, size, &text[0], length);
  return text;
}

}  // namespace

std::string ReadFileBytes(const std::wstring& path) {
  // Full sharing: the file may be open for writing in another process at this moment.
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0)
    bytes.append(chunk, read);
  CloseHandle(file);
  return bytes;
}

TempFolder::TempFolder(const std::wstring& hint) : path_(CreateUniqueFolder(hint)) {}

TempFolder::~TempFolder() {
  if (!path_.empty()) RemoveTree(path_);
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  size_t slash = path.find_last_of(L'\\');
  if (slash != std::wstring::npos) CreateFolders(path.substr(0, slash));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

void WriteTextFile(const std::wstring& path, const std::wstring& text, bool unicode) {
  std::string bytes;
  if (unicode) {
    bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  } else if (!text.empty()) {
    int size = static_cast<int>(text.size());
    int length = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    bytes.resize(static_cast<size_t>(length));
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, &bytes[0], length, nullptr, nullptr);
  }
  WriteFileBytes(path, bytes);
}

void WriteSettingsFile(const std::wstring& path, const std::wstring& text) {
  WriteTextFile(path, text, HasNonAscii(text));
}

std::wstring ReadTextFile(const std::wstring& path) { return Decode(ReadFileBytes(path)); }

bool FileExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateFolders(const std::wstring& folder) {
  std::wstring path = folder;
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  if (path.empty() || FolderExists(path)) return !path.empty();
  size_t slash = path.find_last_of(L'\\');
  if (slash != std::wstring::npos && slash > 0) CreateFolders(path.substr(0, slash));
  return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool RemoveTree(const std::wstring& folder) {
  std::wstring base = folder;
  if (base.empty()) return false;
  if (base.back() != L'\\') base += L'\\';
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((base + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = base + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(base.c_str());
  return !FolderExists(base);
}

std::wstring CreateUniqueFolder(const std::wstring& hint) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring path = UniqueName(hint);
    if (CreateDirectoryW(path.c_str(), nullptr)) return path + L'\\';
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return std::wstring();
}

std::wstring CreateUniqueFile(const std::wstring& hint, const std::wstring& extension) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring path = UniqueName(hint) + extension;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return path;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) break;
  }
  return std::wstring();
}

std::wstring ReadIni(const std::wstring& file, const std::wstring& section,
                     const std::wstring& key) {
  wchar_t value[4096] = {};
  GetPrivateProfileStringW(section.c_str(), key.c_str(), kAbsent, value, 4096, file.c_str());
  return value;
}

bool ReadEnvironment(const wchar_t* name, std::wstring* value) {
  value->clear();
  SetLastError(ERROR_SUCCESS);
  DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  // Zero is also the answer for a variable that is set but empty.
  if (size == 0) return GetLastError() != ERROR_ENVVAR_NOT_FOUND;
  std::wstring text(size, L'\0');
  DWORD length = GetEnvironmentVariableW(name, &text[0], size);
  if (length >= size) return false;
  text.resize(length);
  *value = text;
  return true;
}

ScopedEnvironment::ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name_(name) {
  hadPrevious_ = ReadEnvironment(name, &previous_);
  SetEnvironmentVariableW(name, value);
}

ScopedEnvironment::~ScopedEnvironment() {
  SetEnvironmentVariableW(name_.c_str(), hadPrevious_ ? previous_.c_str() : nullptr);
}

std::vector<DWORD> RunningViewerProcesses() {
  std::vector<DWORD> ids;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, L"kelv32.exe") == 0 ||
        lstrcmpiW(entry.szExeFile, L"kelv64.exe") == 0) {
      ids.push_back(entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return ids;
}

void EndAllViewers() {
  for (DWORD id : RunningViewerProcesses()) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (process == nullptr) continue;
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 2000);
    CloseHandle(process);
  }
}

double CpuMilliseconds(const FILETIME& kernel, const FILETIME& user) {
  auto ticks = [](const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  // FILETIME counts 100-nanosecond steps.
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

double ThreadCpuMilliseconds() {
  FILETIME creationTime, exitTime, kernelTime, userTime;
  if (!GetThreadTimes(GetCurrentThread(), &creationTime, &exitTime, &kernelTime, &userTime))
    return 0.0;
  return CpuMilliseconds(kernelTime, userTime);
}

}  // namespace testing_support
