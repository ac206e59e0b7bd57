#include "plugin/file_names.h"

#include "contracts/host.h"
#include "plugin/text.h"

bool GetLibraryFileName(HMODULE module, wchar_t* path) {
  DWORD length = GetModuleFileNameW(module, path, kTextCapacity);
  if (length > 0 && length < static_cast<DWORD>(kTextCapacity)) return true;
  path[0] = L'\0';
  return false;
}

void GetHostSettingsFile(wchar_t* path) {
  DWORD length = GetEnvironmentVariableW(host::kSettingsFileVariable, path, kTextCapacity);
  if (length == 0 || length >= static_cast<DWORD>(kTextCapacity)) path[0] = L'\0';
}
