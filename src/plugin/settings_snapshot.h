// One private-profile settings file read whole, for the several lookups of one call. The system's
// reader opens the file and searches it from the top at every key, which adds up in a large file
// read many times per call; a snapshot reads it once. A snapshot lives for one call only, so
// every call still sees the file as it is then.
#pragma once

#include <windows.h>

// Where one section header stands in the text: its name and the line after the header.
struct SnapshotSection {
  size_t nameBegin;
  size_t nameEnd;
  size_t bodyBegin;
  size_t bodyEnd;
};

struct SettingsSnapshot {
  const wchar_t* file = nullptr;         // as given, kept for the system reader
  wchar_t* text = nullptr;               // the whole file in UTF-16 (LocalAlloc); null when not held
  size_t length = 0;                     // characters in text
  SnapshotSection* sections = nullptr;   // the headers in file order (LocalAlloc)
  size_t sectionCount = 0;
  size_t beforeFirstSection = 0;         // characters before the first header
  bool askSystem = false;                // the file exists but could not be held: ask the system
};

// Reads the file into the snapshot. An empty name or a file that does not exist gives a snapshot
// in which every lookup yields its default. A name without a full path (which the system looks
// up in its own folders) and a file that cannot be read whole (too large, locked, out of memory)
// leave the lookups to the system's reader.
void TakeSettingsSnapshot(const wchar_t* file, SettingsSnapshot* snapshot);
void ReleaseSettingsSnapshot(SettingsSnapshot* snapshot);

// Answers as ReadSetting answers for the same file, section and key: the first section of that
// name (letters compared without case), the first key of that name in it, blanks around names
// and values dropped, one pair of enclosing quotes removed; a missing section or key, or a key
// written without '=', gives the default; a value that does not fit the capacity gives an empty
// result and false.
bool ReadSnapshotSetting(const SettingsSnapshot& snapshot, const wchar_t* section, const wchar_t* key,
                         const wchar_t* defaultValue, wchar_t* dest, int capacity);
