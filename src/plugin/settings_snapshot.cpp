// A settings file read once and looked up in memory; see settings_snapshot.h. The text is decoded
// the way private-profile files are stored: UTF-16 with its byte-order mark (either order), UTF-8
// with its mark, otherwise the ANSI code page.
#include "plugin/settings_snapshot.h"

#include <cwchar>

#include "plugin/text.h"

namespace {

// A host settings file of a few hundred kilobytes is large; one of this size or more is left to
// the system.
constexpr LONGLONG kMaxSnapshotBytes = 8 * 1024 * 1024;

struct Range {
  const wchar_t* begin;
  const wchar_t* end;
  size_t size() const { return static_cast<size_t>(end - begin); }
};

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f' ||
         c == L'\x1A';
}

Range Trimmed(Range range) {
  while (range.begin < range.end && IsBlank(*range.begin)) ++range.begin;
  while (range.end > range.begin && IsBlank(range.end[-1])) --range.end;
  return range;
}

wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

// The names looked up are the system's own ASCII names, so folding ASCII letters is exact here.
bool NameEquals(Range name, const wchar_t* wanted) {
  size_t length = wcslen(wanted);
  if (name.size() != length) return false;
  for (size_t i = 0; i < length; ++i) {
    if (FoldAscii(name.begin[i]) != FoldAscii(wanted[i])) return false;
  }
  return true;
}

const wchar_t* Find(Range range, wchar_t c) {
  for (const wchar_t* p = range.begin; p < range.end; ++p) {
    if (*p == c) return p;
  }
  return nullptr;
}

const wchar_t* FindLast(Range range, wchar_t c) {
  for (const wchar_t* p = range.end; p > range.begin; --p) {
    if (p[-1] == c) return p - 1;
  }
  return nullptr;
}

// The same bound as ReadSetting: a value longer than the setting bound, or one that does not fit
// the caller's capacity, gives an empty result and false.
bool FitValue(Range value, wchar_t* dest, int capacity) {
  if (capacity <= 0) return false;
  if (capacity > kTextCapacity + 1 || value.size() > static_cast<size_t>(kTextCapacity) ||
      value.size() >= static_cast<size_t>(capacity)) {
    dest[0] = L'\0';
    return false;
  }
  wmemcpy(dest, value.begin, value.size());
  dest[value.size()] = L'\0';
  return true;
}

Range Unquoted(Range value) {
  if (value.size() >= 2 && (*value.begin == L'"' || *value.begin == L'\'') &&
      value.end[-1] == *value.begin) {
    return Range{value.begin + 1, value.end - 1};
  }
  return value;
}

struct Line {
  Range text;          // without the blanks around it
  const wchar_t* next; // where the following line begins
};

Line LineAt(const wchar_t* begin, const wchar_t* end) {
  const wchar_t* lineEnd = begin;
  while (lineEnd < end && *lineEnd != L'\n') ++lineEnd;
  return Line{Trimmed(Range{begin, lineEnd}), lineEnd < end ? lineEnd + 1 : end};
}

// A header is a line that starts with '[' and holds a ']'; the name runs up to the last ']',
// without the blanks around it.
bool IsHeader(Range line, Range* name) {
  if (line.size() == 0 || *line.begin != L'[') return false;
  const wchar_t* closing = FindLast(line, L']');
  if (closing == nullptr) return false;
  *name = Trimmed(Range{line.begin + 1, closing});
  return true;
}

bool AddSection(SettingsSnapshot* snapshot, size_t* capacity, const SnapshotSection& section) {
  if (snapshot->sectionCount == *capacity) {
    size_t grown = *capacity == 0 ? 64 : *capacity * 2;
    HLOCAL memory = snapshot->sections == nullptr
                        ? LocalAlloc(LMEM_FIXED, grown * sizeof(SnapshotSection))
                        : LocalReAlloc(snapshot->sections, grown * sizeof(SnapshotSection), LMEM_MOVEABLE);
    if (memory == nullptr) return false;
    snapshot->sections = static_cast<SnapshotSection*>(memory);
    *capacity = grown;
  }
  snapshot->sections[snapshot->sectionCount++] = section;
  return true;
}

// One pass over the text that notes where every section header stands.
bool IndexSections(SettingsSnapshot* snapshot) {
  const wchar_t* text = snapshot->text;
  const wchar_t* end = text + snapshot->length;
  size_t capacity = 0;
  snapshot->beforeFirstSection = snapshot->length;
  for (const wchar_t* begin = text; begin < end;) {
    Line line = LineAt(begin, end);
    Range name = {};
    if (IsHeader(line.text, &name)) {
      size_t at = static_cast<size_t>(begin - text);
      if (snapshot->sectionCount == 0) snapshot->beforeFirstSection = at;
      else snapshot->sections[snapshot->sectionCount - 1].bodyEnd = at;
      SnapshotSection section = {static_cast<size_t>(name.begin - text), static_cast<size_t>(name.end - text),
                                 static_cast<size_t>(line.next - text), snapshot->length};
      if (!AddSection(snapshot, &capacity, section)) return false;
    }
    begin = line.next;
  }
  return true;
}

// The lines of the first section of that name. The section of empty name is the lines before the
// first header: a header with an empty name starts no section that can be asked for.
bool FindSection(const SettingsSnapshot& snapshot, const wchar_t* section, Range* body) {
  const wchar_t* text = snapshot.text;
  if (section[0] == L'\0') {
    *body = Range{text, text + snapshot.beforeFirstSection};
    return true;
  }
  for (size_t i = 0; i < snapshot.sectionCount; ++i) {
    const SnapshotSection& candidate = snapshot.sections[i];
    if (NameEquals(Range{text + candidate.nameBegin, text + candidate.nameEnd}, section)) {
      *body = Range{text + candidate.bodyBegin, text + candidate.bodyEnd};
      return true;
    }
  }
  return false;
}

// The value on the first line of the section that names the key. Answers false when there is no
// such line, and also when that line has no '=' (a name alone sets no value).
bool FindValue(const SettingsSnapshot& snapshot, const wchar_t* section, const wchar_t* key, Range* value) {
  Range body = {};
  if (!FindSection(snapshot, section, &body)) return false;
  for (const wchar_t* begin = body.begin; begin < body.end;) {
    Line line = LineAt(begin, body.end);
    begin = line.next;
    if (line.text.size() == 0) continue;
    const wchar_t* equals = Find(line.text, L'=');
    Range name = Trimmed(Range{line.text.begin, equals != nullptr ? equals : line.text.end});
    if (!NameEquals(name, key)) continue;
    if (equals == nullptr) return false;
    *value = Trimmed(Range{equals + 1, line.text.end});
    return true;
  }
  return false;
}

bool Decode(const BYTE* bytes, DWORD size, SettingsSnapshot* snapshot) {
  UINT codePage = CP_ACP;
  if (size >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
    bool bigEndian = bytes[0] == 0xFE;
    size_t length = (size - 2) / 2;
    snapshot->text = static_cast<wchar_t*>(LocalAlloc(LMEM_FIXED, (length + 1) * sizeof(wchar_t)));
    if (snapshot->text == nullptr) return false;
    for (size_t i = 0; i < length; ++i) {
      BYTE first = bytes[2 + 2 * i];
      BYTE second = bytes[3 + 2 * i];
      snapshot->text[i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    snapshot->length = length;
    return true;
  }
  if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    codePage = CP_UTF8;
    bytes += 3;
    size -= 3;
  }
  // Neither the ANSI code pages nor UTF-8 make more characters than bytes.
  snapshot->text = static_cast<wchar_t*>(LocalAlloc(LMEM_FIXED, (static_cast<size_t>(size) + 1) * sizeof(wchar_t)));
  if (snapshot->text == nullptr) return false;
  // Every ANSI code page and UTF-8 read the bytes below 0x80 as ASCII, so the plain start of the
  // file is widened directly; the system converts from the first other byte on.
  DWORD ascii = 0;
  while (ascii < size && bytes[ascii] < 0x80) {
    snapshot->text[ascii] = static_cast<wchar_t>(bytes[ascii]);
    ++ascii;
  }
  int rest = 0;
  if (ascii < size) {
    int restBytes = static_cast<int>(size - ascii);
    rest = MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(bytes + ascii), restBytes,
                               snapshot->text + ascii, restBytes);
    if (rest <= 0) return false;
  }
  snapshot->length = static_cast<size_t>(ascii) + static_cast<size_t>(rest);
  return true;
}

// The file's bytes, or null; the caller frees them with LocalFree.
BYTE* ReadWholeFile(HANDLE file, DWORD* size) {
  LARGE_INTEGER fileSize = {};
  if (!GetFileSizeEx(file, &fileSize) || fileSize.QuadPart >= kMaxSnapshotBytes) return nullptr;
  DWORD wanted = static_cast<DWORD>(fileSize.QuadPart);
  BYTE* bytes = static_cast<BYTE*>(LocalAlloc(LMEM_FIXED, wanted > 0 ? wanted : 1));
  if (bytes == nullptr) return nullptr;
  DWORD read = 0;
  if (!ReadFile(file, bytes, wanted, &read, nullptr) || read != wanted) {
    LocalFree(bytes);
    return nullptr;
  }
  *size = read;
  return bytes;
}

// The system looks a name without a full path up in its own folders; such a name is left to it.
bool IsFullPath(const wchar_t* file) {
  bool drive = ((file[0] >= L'A' && file[0] <= L'Z') || (file[0] >= L'a' && file[0] <= L'z')) &&
               file[1] == L':' && (file[2] == L'\\' || file[2] == L'/');
  bool unc = (file[0] == L'\\' || file[0] == L'/') && (file[1] == L'\\' || file[1] == L'/');
  return drive || unc;
}

}  // namespace

void TakeSettingsSnapshot(const wchar_t* file, SettingsSnapshot* snapshot) {
  *snapshot = SettingsSnapshot();
  snapshot->file = file;
  if (file[0] == L'\0') return;
  if (!IsFullPath(file)) {
    snapshot->askSystem = true;
    return;
  }

  HANDLE handle = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    snapshot->askSystem = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    return;
  }
  DWORD size = 0;
  BYTE* bytes = ReadWholeFile(handle, &size);
  CloseHandle(handle);
  if (bytes == nullptr || !Decode(bytes, size, snapshot) || !IndexSections(snapshot)) {
    ReleaseSettingsSnapshot(snapshot);
    snapshot->file = file;
    snapshot->askSystem = true;
  }
  if (bytes != nullptr) LocalFree(bytes);
}

void ReleaseSettingsSnapshot(SettingsSnapshot* snapshot) {
  if (snapshot->text != nullptr) LocalFree(snapshot->text);
  if (snapshot->sections != nullptr) LocalFree(snapshot->sections);
  *snapshot = SettingsSnapshot();
}

bool ReadSnapshotSetting(const SettingsSnapshot& snapshot, const wchar_t* section, const wchar_t* key,
                         const wchar_t* defaultValue, wchar_t* dest, int capacity) {
  if (snapshot.askSystem) return ReadSetting(snapshot.file, section, key, defaultValue, dest, capacity);
  Range value = {};
  if (snapshot.text != nullptr && FindValue(snapshot, section, key, &value)) {
    return FitValue(Unquoted(value), dest, capacity);
  }
  return FitValue(Range{defaultValue, defaultValue + wcslen(defaultValue)}, dest, capacity);
}
