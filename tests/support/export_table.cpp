// PE files read from disk: DOS header, NT headers (PE32 or PE32+), section table, then the export
// and import directories through their RVAs. Every read is checked against the file's size, so a
// damaged file gives empty answers instead of a crash.
#include "support/export_table.h"

#include <windows.h>

#include <cstddef>
#include <cstring>

#include "support/files.h"

namespace testing_support {

namespace {

class PeImage {
 public:
  explicit PeImage(const std::wstring& path) : bytes_(ReadFileBytes(path)) { valid_ = Parse(); }

  // The file offset and size of a data directory; false when the image has none.
  bool Directory(int index, DWORD* offset, DWORD* size) const {
    if (!valid_ || index >= static_cast<int>(directoryCount_)) return false;
    IMAGE_DATA_DIRECTORY directory;
    if (!Read(directoriesOffset_ + index * sizeof(directory), &directory)) return false;
    if (directory.VirtualAddress == 0 || directory.Size == 0) return false;
    *size = directory.Size;
    return RvaToOffset(directory.VirtualAddress, offset);
  }

  bool RvaToOffset(DWORD rva, DWORD* offset) const {
    for (WORD i = 0; i < sectionCount_; ++i) {
      IMAGE_SECTION_HEADER section;
      if (!Read(sectionsOffset_ + i * sizeof(section), &section)) return false;
      DWORD extent = section.Misc.VirtualSize > section.SizeOfRawData ? section.Misc.VirtualSize
                                                                      : section.SizeOfRawData;
      if (rva >= section.VirtualAddress && rva - section.VirtualAddress < extent) {
        *offset = rva - section.VirtualAddress + section.PointerToRawData;
        return *offset < bytes_.size();
      }
    }
    return false;
  }

  template <typename T>
  bool Read(size_t offset, T* value) const {
    if (offset > bytes_.size() || bytes_.size() - offset < sizeof(T)) return false;
    memcpy(value, bytes_.data() + offset, sizeof(T));
    return true;
  }

  // A zero-terminated name at an RVA; empty when it runs off the file.
  std::string NameAt(DWORD rva) const {
    DWORD offset = 0;
    if (!RvaToOffset(rva, &offset)) return std::string();
    size_t end = bytes_.find('\0', offset);
    if (end == std::string::npos) return std::string();
    return bytes_.substr(offset, end - offset);
  }

 private:
  bool Parse() {
    IMAGE_DOS_HEADER dos;
    if (!Read(0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew <= 0) return false;
    size_t nt = static_cast<size_t>(dos.e_lfanew);
    DWORD signature = 0;
    IMAGE_FILE_HEADER file;
    WORD magic = 0;
    if (!Read(nt, &signature) || signature != IMAGE_NT_SIGNATURE) return false;
    if (!Read(nt + sizeof(signature), &file)) return false;
    size_t optional = nt + sizeof(signature) + sizeof(file);
    if (!Read(optional, &magic)) return false;
    // The two optional header layouts differ in width, so the directories start at different
    // places.
    if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
      IMAGE_OPTIONAL_HEADER32 header;
      if (!Read(optional, &header)) return false;
      directoryCount_ = header.NumberOfRvaAndSizes;
      directoriesOffset_ = optional + offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory);
    } else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
      IMAGE_OPTIONAL_HEADER64 header;
      if (!Read(optional, &header)) return false;
      directoryCount_ = header.NumberOfRvaAndSizes;
      directoriesOffset_ = optional + offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory);
    } else {
      return false;
    }
    if (directoryCount_ > IMAGE_NUMBEROF_DIRECTORY_ENTRIES)
      directoryCount_ = IMAGE_NUMBEROF_DIRECTORY_ENTRIES;
    sectionsOffset_ = optional + file.SizeOfOptionalHeader;
    sectionCount_ = file.NumberOfSections;
    return true;
  }

  std::string bytes_;
  bool valid_ = false;
  DWORD directoryCount_ = 0;
  size_t directoriesOffset_ = 0;
  size_t sectionsOffset_ = 0;
  WORD sectionCount_ = 0;
};

}  // namespace

std::vector<std::string> ReadExportNames(const std::wstring& path) {
  std::vector<std::string> names;
  PeImage image(path);
  DWORD offset = 0;
  DWORD size = 0;
  IMAGE_EXPORT_DIRECTORY exports;
  if (!image.Directory(IMAGE_DIRECTORY_ENTRY_EXPORT, &offset, &size) ||
      !image.Read(offset, &exports)) {
    return names;
  }
  DWORD table = 0;
  if (!image.RvaToOffset(exports.AddressOfNames, &table)) return names;
  for (DWORD i = 0; i < exports.NumberOfNames; ++i) {
    DWORD nameRva = 0;
    if (!image.Read(table + i * sizeof(DWORD), &nameRva)) break;
    names.push_back(image.NameAt(nameRva));
  }
  return names;
}

std::vector<std::string> ReadImportNames(const std::wstring& path) {
  std::vector<std::string> names;
  PeImage image(path);
  DWORD offset = 0;
  DWORD size = 0;
  if (!image.Directory(IMAGE_DIRECTORY_ENTRY_IMPORT, &offset, &size)) return names;
  // The descriptor list ends with an all-zero entry.
  for (DWORD at = offset;; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    IMAGE_IMPORT_DESCRIPTOR descriptor;
    if (!image.Read(at, &descriptor) || descriptor.Name == 0) break;
    names.push_back(image.NameAt(descriptor.Name));
  }
  return names;
}

bool HasDataDirectory(const std::wstring& path, int index) {
  DWORD offset = 0;
  DWORD size = 0;
  return PeImage(path).Directory(index, &offset, &size);
}

bool HasResource(const std::wstring& path, const wchar_t* type, const wchar_t* name) {
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return false;
  bool found = FindResourceW(module, name, type) != nullptr;
  FreeLibrary(module);
  return found;
}

}  // namespace testing_support
