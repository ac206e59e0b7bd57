#include "launch/command_line.h"

#include <cwchar>

#include "contracts/viewer.h"
#include "plugin/text.h"

bool BuildCommandLine(const wchar_t* fileName, const wchar_t* modeIniFolder, wchar_t* commandLine) {
  if (wcschr(fileName, L'"') != nullptr) {
    commandLine[0] = L'\0';
    return false;
  }
  if (modeIniFolder[0] == L'\0') {
    return TextFormat(commandLine, viewer::kCommandLineCapacity, viewer::kCommandLineFormat,
                      {viewer::kCommandLineProgram, L"", fileName, L""});
  }
  return TextFormat(commandLine, viewer::kCommandLineCapacity, viewer::kCommandLineWithIniFormat,
                    {viewer::kCommandLineProgram, L"", fileName, L"", modeIniFolder});
}
