// Files, folders, settings files, environment and processes for tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// A fresh folder under the temp folder, ending in a backslash; removed with its contents.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& hint = L"kelvane");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

// Writes the text as the whole file (UTF-16 LE with BOM when unicode, else ANSI code page),
// creating missing folders. The private-profile API reads both.
void WriteTextFile(const std::wstring& path, const std::wstring& text, bool unicode = false);
// A settings file as the private-profile API reads it: ANSI when the text is plain ASCII, else
// UTF-16 LE with BOM (the ANSI code page cannot be relied on to hold other characters).
void WriteSettingsFile(const std::wstring& path, const std::wstring& text);
// Writes the bytes as the whole file, creating missing folders.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Reads a whole file (ANSI or UTF-16 with BOM) into UTF-16. Empty when missing.
std::wstring ReadTextFile(const std::wstring& path);
// The bytes of a file, read with full sharing (another process may be writing it). Empty when
// missing.
std::string ReadFileBytes(const std::wstring& path);
// True for an existing file (not a folder).
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
// Creates the folder and every missing folder above it.
bool CreateFolders(const std::wstring& folder);
// Removes a folder with everything in it; answers whether it is gone.
bool RemoveTree(const std::wstring& folder);
// A fresh, empty folder under the temp folder, named hint-<process id>-<number>, ending in a
// backslash; empty when none could be made.
std::wstring CreateUniqueFolder(const std::wstring& hint);
// A fresh, empty file under the temp folder, named hint-<process id>-<number> plus the extension
// (e.g. L".ini"); answers its path, empty when none could be made.
std::wstring CreateUniqueFile(const std::wstring& hint, const std::wstring& extension);

// GetPrivateProfileStringW with a distinct default, so that an absent key can be told apart.
constexpr const wchar_t* kAbsent = L"<absent>";
std::wstring ReadIni(const std::wstring& file, const std::wstring& section,
                     const std::wstring& key);

// Reads a variable of this process's environment; false when it is not set.
bool ReadEnvironment(const wchar_t* name, std::wstring* value);

// Sets (or with nullptr removes) a variable in this process's environment for the lifetime of
// the instance, restoring the earlier value afterwards.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const wchar_t* name, const wchar_t* value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  std::wstring name_;
  std::wstring previous_;
  bool hadPrevious_ = false;
};

// Process ids of running processes whose image name is one of the stand-in viewers
// (kelv32.exe, kelv64.exe), through a toolhelp snapshot.
std::vector<DWORD> RunningViewerProcesses();
// Ends every running stand-in viewer (clean-up after a failed test).
void EndAllViewers();

// Processor time (user + kernel) as a thread's or process's times report it, in milliseconds.
double CpuMilliseconds(const FILETIME& kernel, const FILETIME& user);
// Processor time (user + kernel) of the calling thread, in milliseconds.
double ThreadCpuMilliseconds();

}  // namespace testing_support
