// Bounded UTF-16 text: every routine that composes text goes through these helpers. Each takes
// the capacity of its destination in characters, terminator included, never writes past it, and
// answers whether the whole result fit. A result that did not fit is left empty, so that a cut
// text can never pass for a whole one; the caller decides what a result that did not fit means.
#pragma once

#include <windows.h>

#include <initializer_list>

// Paths, settings values, class names and message texts.
constexpr int kTextCapacity = 260;

bool TextCopy(wchar_t* dest, int capacity, const wchar_t* source);
bool TextAppend(wchar_t* dest, int capacity, const wchar_t* source);

// Formats a text whose only placeholders are %s, filled in order from the list.
bool TextFormat(wchar_t* dest, int capacity, const wchar_t* format,
                std::initializer_list<const wchar_t*> arguments);

// Removes the last backslash and all that follows; a text without a backslash stays as it is.
void TextCutAtLastBackslash(wchar_t* text);

// The name after the last backslash; the whole text when it has none.
const wchar_t* TextAfterLastBackslash(const wchar_t* text);

// Expands %NAME% references; a reference to an undefined variable stays as written.
bool TextExpand(wchar_t* dest, int capacity, const wchar_t* source);

// Reads one private-profile value; a missing file, section or key gives the default. A value
// longer than the capacity does not fit: the result is then empty and the answer false.
bool ReadSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                 const wchar_t* defaultValue, wchar_t* dest, int capacity);

// Reads one private-profile value and expands its environment references.
bool ReadExpandedSetting(const wchar_t* file, const wchar_t* section, const wchar_t* key,
                         const wchar_t* defaultValue, wchar_t* dest, int capacity);

// Reads a decimal number the way wcstol reads base 10: leading blanks and a sign allowed,
// reading stops at the first non-digit, nothing read gives 0, out of range gives the nearer limit.
long TextToLong(const wchar_t* text);

bool TextEquals(const wchar_t* a, const wchar_t* b);
int TextLength(const wchar_t* text);
