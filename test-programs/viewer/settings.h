// What the viewer is told at start: its command line, its settings file and the environment.
#pragma once

#include <string>

struct CommandLine {
  std::wstring file;       // the first quoted argument after the program; empty when there is none
  std::wstring iniFolder;  // the folder of /ini="..."; empty when the switch is missing or empty
};

// Reads `"<file>"` and an optional `/ini="<folder>"` after the program token.
CommandLine ParseCommandLine(const wchar_t* commandLine);

// The settings file actually used: the /ini= folder (or the program's folder) first, then the
// [Others] INI_Folder redirection found in that file.
std::wstring FindSettingsPath(const CommandLine& commandLine);

// [Viewing] FullScreen; false when the key is missing from the file.
bool ReadFullScreen(const std::wstring& iniPath, std::wstring* outValue);

// An environment variable; false when it is not set (an empty value counts as set).
bool GetEnvironmentText(const wchar_t* name, std::wstring* outValue);

// An environment variable read as a decimal number; the default when unset or not a number.
unsigned long GetEnvironmentNumber(const wchar_t* name, unsigned long defaultValue);
