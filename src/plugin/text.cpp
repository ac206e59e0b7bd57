// Bounded UTF-16 text helpers; see text.h for the rules every one of them keeps.
#include "plugin/text.h"

#include <cwchar>

namespace {

void Empty(wchar_t* dest, int capacity) {
  if (capacity > 0) dest[0] = L'\0';
}

}  // namespace

int TextLength(const wchar_t* text) { return static_cast<int>(wcslen(text)); }

bool TextEquals(const wchar_t* a, const wchar_t* b) { return wcscmp(a, b) == 0; }

bool TextCopy(wchar_t* dest, int capacity, const wchar_t* source) {
  if (capacity <= 0) return false;
  int length = TextLength(source);
  if (length >= capacity) {
    dest[0] = L'\0';
    return false;
  }
  wmemmove(dest, source, static_cast<size_t>(length) + 1);
  return true;
}

bool TextAppend(wchar_t* dest, int capacity, const wchar_t* source) {
  if (capacity <= 0) return false;
  int used = static_cast<int>(wcsnlen(dest, static_cast<size_t>(capacity)));
  int length = TextLength(source);
  if (used >= capacity || length >= capacity - used) {
    dest[0] = L'\0';
    return false;
  }
  wmemmove(dest + used, source, static_cast<size_t>(length) + 1);
  return true;
}

bool TextFormat(wchar_t* dest, int capacity, const wchar_t* format,
                std::initializer_list<const wchar_t*> arguments) {
  if (capacity <= 0) return false;
  const wchar_t* const* next = arguments.begin();
  int used = 0;
  for (const wchar_t* f = format; *f != L'\0'; ++f) {
    const wchar_t* piece = f;
    int length = 1;
    if (f[0] == L'%' && f[1] == L's') {
      piece = next != arguments.end() ? *next++ : L"";
      length = TextLength(piece);
      ++f;
    }
    if (length >= capacity - used) {
      dest[0] = L'\0';
      return false;
    }
    wmemcpy(dest + used, piece, static_cast<size_t>(length));
    used += length;
  }
  dest[used] = L'\0';
  return true;
}

void TextCutAtLastBackslash(wchar_t* text) {
  wchar_t* last = wcsrchr(text, L'\\');
  if (last != nullptr) *last = L'\0';
}

const wchar_t* TextAfterLastBackslash(const wchar_t* text) {
  const wchar_t* last = wcsrchr(text, L'\\');
  return last != nullptr ? last + 1 : text;
}

bool TextExpand(wchar_t* dest, int capacity, const wchar_t* source) {
  if (capacity <= 0) return false;
  DWORD needed = ExpandEnvironmentStringsW(source, dest, static_cast<DWORD>(capacity));
  if (needed == 0 || needed > static_cast<DWORD>(capacity)) {
    Empty(dest, capacity);
    return false;
  }
  return true;
}

bool ReadSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                 const wchar_t* defaultValue, wchar_t* dest, int capacity) {
  // No file name (COMMANDER_INI unset) gives the default: the system would look for a file of
  // its own choosing.
  if (file[0] == L'\0') return TextCopy(dest, capacity, defaultValue);
  // Read into a buffer two characters wider than any destination, so that a value that does
  // not fit is told apart from one that just fits: the system cuts silently.
  wchar_t value[kTextCapacity + 2];
  DWORD length =
      GetPrivateProfileStringW(section, key, defaultValue, value, kTextCapacity + 2, file);
  if (capacity > kTextCapacity + 1 || length > kTextCapacity) {
    Empty(dest, capacity);
    return false;
  }
  return TextCopy(dest, capacity, value);
}

bool ReadExpandedSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                         const wchar_t* defaultValue, wchar_t* dest, int capacity) {
  wchar_t raw[kTextCapacity];
  if (!ReadSetting(file, section, key, defaultValue, raw, kTextCapacity)) {
    Empty(dest, capacity);
    return false;
  }
  return TextExpand(dest, capacity, raw);
}

long TextToLong(const wchar_t* text) { return wcstol(text, nullptr, 10); }
