// The settings snapshot must answer every lookup exactly as the system's private-profile reader
// (through ReadSetting) answers it for the same file. Random files in every stored encoding, with
// the irregular spacing, case, quoting, duplicates, comments and over-long values that
// hand-edited files have, are read both ways and compared. The seed is fixed and printed;
// KELVANE_SEED=<n> in the environment replays another one.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "plugin/settings_snapshot.h"
#include "plugin/text.h"

namespace {

constexpr wchar_t kGuard = 0xFDD0;
constexpr int kGuards = 8;

unsigned Seed() {
  static unsigned seed = [] {
    const char* given = std::getenv("KELVANE_SEED");
    unsigned value = given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : 20261208u;
    std::printf("settings snapshot seed: %u\n", value);
    return value;
  }();
  return seed;
}

enum class Encoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };

std::string Encode(const std::wstring& text, Encoding encoding) {
  std::string bytes;
  if (encoding == Encoding::kUtf16Le || encoding == Encoding::kUtf16Be) {
    bool big = encoding == Encoding::kUtf16Be;
    bytes = big ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t c : text) {
      char low = static_cast<char>(c & 0xFF);
      char high = static_cast<char>((c >> 8) & 0xFF);
      bytes += big ? high : low;
      bytes += big ? low : high;
    }
    return bytes;
  }
  UINT codePage = encoding == Encoding::kUtf8 ? CP_UTF8 : CP_ACP;
  if (encoding == Encoding::kUtf8) bytes = "\xEF\xBB\xBF";
  if (text.empty()) return bytes;
  int size = static_cast<int>(text.size());
  int length = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string converted(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), size, &converted[0], length, nullptr, nullptr);
  return bytes + converted;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::wstring TempPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + L"kelvane-snapshot-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
}

// One lookup both ways; a difference is reported with what each reader answered.
struct Answer {
  bool fit;
  std::wstring value;
  bool guardsIntact;
};

Answer Ask(bool bySnapshot, const SettingsSnapshot& snapshot, const wchar_t* file, const wchar_t* section,
           const wchar_t* key, const wchar_t* defaultValue, int capacity) {
  std::vector<wchar_t> buffer(static_cast<size_t>(capacity) + kGuards, kGuard);
  buffer[0] = L'~';
  bool fit = bySnapshot ? ReadSnapshotSetting(snapshot, section, key, defaultValue, buffer.data(), capacity)
                        : ReadSetting(file, section, key, defaultValue, buffer.data(), capacity);
  bool intact = true;
  for (int i = capacity; i < capacity + kGuards; ++i) intact = intact && buffer[i] == kGuard;
  return Answer{fit, std::wstring(buffer.data(), wcsnlen(buffer.data(), static_cast<size_t>(capacity))), intact};
}

// Random settings text in the shapes that hand-edited and tool-written files take.
class FileMaker {
 public:
  explicit FileMaker(unsigned seed) : random_(seed) {}

  std::wstring Make(bool wideCharacters) {
    std::wstring text;
    int lines = Pick(0, 60);
    for (int i = 0; i < lines; ++i) text += Line(wideCharacters) + LineEnd();
    if (Pick(0, 3) == 0 && !text.empty()) text.resize(text.size() - 1);  // no line end at the end
    return text;
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  template <size_t N>
  const wchar_t* OneOf(const wchar_t* const (&choices)[N]) {
    return choices[Pick(0, static_cast<int>(N) - 1)];
  }

  std::wstring Blanks() {
    static const wchar_t* const kBlanks[] = {L"", L"", L"", L" ", L"  ", L"\t", L" \t "};
    return OneOf(kBlanks);
  }

  std::wstring LineEnd() {
    static const wchar_t* const kEnds[] = {L"\r\n", L"\r\n", L"\n", L"\r\r\n"};
    return OneOf(kEnds);
  }

  std::wstring SectionName() {
    static const wchar_t* const kNames[] = {L"Colors",        L"colors",         L"COLORS",
                                            L"ColorsDark",    L"Configuration",  L"CONFIGURATION",
                                            L"AllResolutions", L"allresolutions", L"Other",
                                            L"",              L" Colors",        L"Colors ",
                                            L"Colors]",       L"Col ors"};
    return OneOf(kNames);
  }

  std::wstring KeyName() {
    static const wchar_t* const kKeys[] = {L"ActiveTitle",    L"activetitle", L"ACTIVETITLE",
                                           L"ActiveTitleText", L"DarkMode",    L"darkmode",
                                           L"FontNameWindow", L"RedirectSection", L"Other",
                                           L";ActiveTitle",   L"Active Title", L""};
    return OneOf(kKeys);
  }

  std::wstring Value(bool wideCharacters) {
    static const wchar_t* const kValues[] = {L"0", L"1", L"255", L"16777215", L"-1", L"Tahoma",
                                             L"a b  c", L"x=y", L"[not a header]", L"", L"\"\"", L"'",
                                             L"\"", L"\"quoted\"", L"'single'", L"\"mixed'",
                                             L"\" spaced \"", L"caf\u00e9", L";not a comment"};
    static const wchar_t* const kWide[] = {L"\u0416\u0443\u043a", L"\u65e5\u672c", L"\u00e9\u00e8"};
    int kind = Pick(0, 9);
    if (kind == 0) {
      // Lengths around the setting bound of 260 characters, terminator included.
      std::wstring value(static_cast<size_t>(Pick(255, 264)), L'v');
      if (Pick(0, 1) == 0) value = L"\"" + value.substr(2) + L"\"";
      return value;
    }
    if (kind == 1 && wideCharacters) return OneOf(kWide);
    return OneOf(kValues);
  }

  std::wstring Line(bool wideCharacters) {
    switch (Pick(0, 9)) {
      case 0:
        return Blanks() + L"[" + SectionName() + L"]" + Blanks();
      case 1:
        return Blanks() + L"[" + SectionName() + L"] ; remark";
      case 2:
        return L"[" + SectionName();  // no closing bracket: not a header
      case 3:
        return Pick(0, 1) == 0 ? L"" : L"; a remark line";
      case 4:
        return Blanks() + KeyName() + Blanks();  // a key without '='
      default:
        return Blanks() + KeyName() + Blanks() + L"=" + Blanks() + Value(wideCharacters) + Blanks();
    }
  }

  std::mt19937 random_;
};

// A file the snapshot does not hold: its lookups must still find [Colors] ActiveTitle.
void ExpectReadBySystem(const std::wstring& file, const wchar_t* expected) {
  SettingsSnapshot snapshot;
  TakeSettingsSnapshot(file.c_str(), &snapshot);
  EXPECT_TRUE(snapshot.askSystem);
  EXPECT_EQ(nullptr, snapshot.text);
  wchar_t value[kTextCapacity];
  EXPECT_TRUE(ReadSnapshotSetting(snapshot, L"Colors", L"ActiveTitle", L"", value, kTextCapacity));
  EXPECT_STREQ(expected, value);
  ReleaseSettingsSnapshot(&snapshot);
}

}  // namespace

TEST(SettingsSnapshot, AnswersEveryLookupAsTheSystemReaderDoes) {
  static const wchar_t* const kSections[] = {L"Colors", L"ColorsDark", L"Configuration", L"AllResolutions",
                                             L"", L"Missing"};
  static const wchar_t* const kKeys[] = {L"ActiveTitle", L"ActiveTitleText", L"DarkMode", L"FontNameWindow",
                                         L"RedirectSection", L"Missing"};
  static const Encoding kEncodings[] = {Encoding::kAnsi, Encoding::kUtf8, Encoding::kUtf16Le,
                                        Encoding::kUtf16Be};
  // Not kTextCapacity + 1: see AQuotedValueOverTheBoundDoesNotFit.
  static const int kCapacities[] = {kTextCapacity, 40, 8, 1};
  FileMaker maker(Seed());
  std::wstring path = TempPath(L"random.ini");
  int lookups = 0;
  int found = 0;
  for (int round = 0; round < 240; ++round) {
    Encoding encoding = kEncodings[round % 4];
    std::wstring text = maker.Make(encoding != Encoding::kAnsi);
    ASSERT_TRUE(WriteBytes(path, Encode(text, encoding)));
    SettingsSnapshot snapshot;
    TakeSettingsSnapshot(path.c_str(), &snapshot);
    ASSERT_FALSE(snapshot.askSystem) << "file " << round;
    for (const wchar_t* section : kSections) {
      for (const wchar_t* key : kKeys) {
        int capacity = kCapacities[(lookups / 7) % 4];
        const wchar_t* defaultValue = lookups % 5 == 0 ? L"" : L"default";
        Answer system = Ask(false, snapshot, path.c_str(), section, key, defaultValue, capacity);
        Answer mine = Ask(true, snapshot, path.c_str(), section, key, defaultValue, capacity);
        ++lookups;
        if (!system.fit || system.value != defaultValue) ++found;
        ASSERT_TRUE(mine.guardsIntact) << "written past the capacity " << capacity;
        ASSERT_EQ(system.fit, mine.fit) << "file " << round << " [" << section << "] " << key << " capacity " << capacity
                                        << " system \"" << system.value << "\" mine \"" << mine.value << "\"\n" << text;
        ASSERT_EQ(system.value, mine.value)
            << "file " << round << " [" << section << "] " << key << " capacity " << capacity << "\n" << text;
      }
    }
    ReleaseSettingsSnapshot(&snapshot);
  }
  DeleteFileW(path.c_str());
  // The files must have exercised the readers, not only their defaults.
  EXPECT_GT(found, lookups / 10) << found << " of " << lookups << " lookups found a value";
}

// The system's reader (Wine's, at least) cuts a quoted value of 261 characters to 260 when given
// room for 261 and answers that it fit; the snapshot answers that it does not.
TEST(SettingsSnapshot, AQuotedValueOverTheBoundDoesNotFit) {
  std::wstring path = TempPath(L"quoted.ini");
  std::string inner(kTextCapacity + 1, 'v');
  ASSERT_TRUE(WriteBytes(path, "[Colors]\r\nActiveTitle=\"" + inner + "\"\r\nInactiveTitle=\"" +
                                   inner.substr(2) + "\"\r\n"));
  SettingsSnapshot snapshot;
  TakeSettingsSnapshot(path.c_str(), &snapshot);
  wchar_t value[kTextCapacity + 1];
  EXPECT_FALSE(ReadSnapshotSetting(snapshot, L"Colors", L"ActiveTitle", L"", value, kTextCapacity + 1));
  EXPECT_STREQ(L"", value);
  EXPECT_TRUE(ReadSnapshotSetting(snapshot, L"Colors", L"InactiveTitle", L"", value, kTextCapacity + 1));
  EXPECT_EQ(std::wstring(kTextCapacity - 1, L'v'), value);
  ReleaseSettingsSnapshot(&snapshot);
  DeleteFileW(path.c_str());
}

TEST(SettingsSnapshot, ReadsTheFileOnceAndKeepsWhatItRead) {
  std::wstring path = TempPath(L"once.ini");
  ASSERT_TRUE(WriteBytes(path, "[Colors]\r\nActiveTitle=255\r\n"));
  SettingsSnapshot snapshot;
  TakeSettingsSnapshot(path.c_str(), &snapshot);
  ASSERT_TRUE(WriteBytes(path, "[Colors]\r\nActiveTitle=16777215\r\n"));
  wchar_t value[kTextCapacity];
  EXPECT_TRUE(ReadSnapshotSetting(snapshot, L"Colors", L"ActiveTitle", L"", value, kTextCapacity));
  EXPECT_STREQ(L"255", value);
  ReleaseSettingsSnapshot(&snapshot);
  EXPECT_EQ(nullptr, snapshot.text);

  TakeSettingsSnapshot(path.c_str(), &snapshot);
  EXPECT_TRUE(ReadSnapshotSetting(snapshot, L"Colors", L"ActiveTitle", L"", value, kTextCapacity));
  EXPECT_STREQ(L"16777215", value);
  ReleaseSettingsSnapshot(&snapshot);
  DeleteFileW(path.c_str());
}

TEST(SettingsSnapshot, AMissingFileOrAnEmptyNameGivesTheDefaults) {
  std::wstring missing = TempPath(L"missing\\none.ini");
  for (const wchar_t* file : {missing.c_str(), L""}) {
    SettingsSnapshot snapshot;
    TakeSettingsSnapshot(file, &snapshot);
    EXPECT_FALSE(snapshot.askSystem);
    wchar_t value[kTextCapacity];
    EXPECT_TRUE(ReadSnapshotSetting(snapshot, L"AllResolutions", L"FontSizeWindow", L"9", value, kTextCapacity));
    EXPECT_STREQ(L"9", value);
    std::wstring longDefault(kTextCapacity, L'd');
    EXPECT_FALSE(ReadSnapshotSetting(snapshot, L"A", L"B", longDefault.c_str(), value, kTextCapacity));
    EXPECT_STREQ(L"", value);
    ReleaseSettingsSnapshot(&snapshot);
  }
}

// The system looks a bare file name up in the Windows folder; the snapshot leaves such names to it.
TEST(SettingsSnapshot, ANameWithoutAFullPathIsLeftToTheSystem) {
  wchar_t windows[MAX_PATH];
  ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
  std::wstring name = L"kelvane-snapshot-" + std::to_wstring(GetCurrentProcessId()) + L".ini";
  std::wstring inWindows = std::wstring(windows) + L"\\" + name;
  ASSERT_TRUE(WriteBytes(inWindows, "[Colors]\r\nActiveTitle=123\r\n"));
  ExpectReadBySystem(name, L"123");
  DeleteFileW(inWindows.c_str());
}

TEST(SettingsSnapshot, AFileTooLargeToHoldIsReadByTheSystem) {
  std::wstring path = TempPath(L"large.ini");
  std::string text = "[Filler]\r\n";
  std::string line = "Key=" + std::string(120, 'x') + "\r\n";
  while (text.size() < 9u * 1024 * 1024) text += line;
  text += "[Colors]\r\nActiveTitle=77\r\n";
  ASSERT_TRUE(WriteBytes(path, text));
  ExpectReadBySystem(path, L"77");
  DeleteFileW(path.c_str());
}
