// Reads the export names of a PE file on disk (no loading), for both PE32 and PE32+.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

// Export names in the order of the name table; empty when the file is not a readable PE image.
std::vector<std::string> ReadExportNames(const std::wstring& path);

// Import DLL names as written in the import directory (e.g. "KERNEL32.dll").
std::vector<std::string> ReadImportNames(const std::wstring& path);

// Whether the image has the data directory of this index (IMAGE_DIRECTORY_ENTRY_...).
bool HasDataDirectory(const std::wstring& path, int index);

// Resource presence: type and id (e.g. RT_MANIFEST, 2).
bool HasResource(const std::wstring& path, const wchar_t* type, const wchar_t* name);

}  // namespace testing_support
