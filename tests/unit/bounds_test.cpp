// Every routine that composes text into a bounded buffer, driven with thousands of random inputs
// whose lengths lie around each bound. Each destination is followed by guard characters that
// must survive, and each result must be either the whole expected text (answer true) or empty
// with the answer false: never a cut text that passes for a whole one. The seed is fixed and
// printed; KELVANE_SEED=<n> in the environment replays another one.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

#include "caption/caption_text.h"
#include "contracts/viewer.h"
#include "launch/command_line.h"
#include "launch/ghostscript.h"
#include "launch/viewer_paths.h"
#include "plugin/text.h"

namespace {

constexpr wchar_t kGuard = 0xFDD0;  // a noncharacter no routine ever writes
constexpr wchar_t kStale = L'~';    // what the destination held before the call
constexpr int kGuards = 16;

unsigned Seed() {
  static unsigned seed = [] {
    char value[32] = {};
    DWORD length = GetEnvironmentVariableA("KELVANE_SEED", value, sizeof(value));
    unsigned chosen = length > 0 && length < sizeof(value)
                          ? static_cast<unsigned>(std::strtoul(value, nullptr, 10))
                          : 20240611u;
    std::printf("bounds tests: seed %u (set KELVANE_SEED to replay another)\n", chosen);
    return chosen;
  }();
  return seed;
}

// A destination of a given capacity, filled with stale characters and followed by guards.
class Guarded {
 public:
  explicit Guarded(int capacity)
      : capacity_(capacity), chars_(static_cast<size_t>(capacity) + kGuards, kGuard) {
    for (int i = 0; i < capacity; ++i) chars_[static_cast<size_t>(i)] = kStale;
  }
  wchar_t* data() { return chars_.data(); }
  int capacity() const { return capacity_; }
  bool GuardsIntact() const {
    for (size_t i = static_cast<size_t>(capacity_); i < chars_.size(); ++i) {
      if (chars_[i] != kGuard) return false;
    }
    return true;
  }
  // The text up to its terminator; "<unterminated>" when none lies within the capacity.
  std::wstring Text() const {
    for (int i = 0; i < capacity_; ++i) {
      if (chars_[static_cast<size_t>(i)] == L'\0')
        return std::wstring(chars_.data(), static_cast<size_t>(i));
    }
    return L"<unterminated>";
  }

 private:
  int capacity_;
  std::vector<wchar_t> chars_;
};

class Random {
 public:
  explicit Random(unsigned salt) : engine_(Seed() ^ salt) {}
  int Between(int low, int high) {  // both included
    if (high < low) return low;
    return std::uniform_int_distribution<int>(low, high)(engine_);
  }
  // Path-like text: letters, digits, dots, blanks inside, backslashes and a few non-ASCII
  // characters, never a percent sign, a double quote or a blank at either end.
  std::wstring Text(int length, bool backslashes = true) {
    static const wchar_t kAlphabet[] = L"abcXYZ019._-\u00FC\u7167\u0416";
    std::wstring text;
    for (int i = 0; i < length; ++i) {
      int pick = Between(0, 19);
      if (backslashes && pick == 0) {
        text += L'\\';
      } else if (pick == 1 && i > 0 && i + 1 < length) {
        text += L' ';
      } else {
        text += kAlphabet[Between(0, static_cast<int>(wcslen(kAlphabet)) - 1)];
      }
    }
    return text;
  }
  // A length near one of the bounds: somewhere in [bound - spread, bound + spread], never < 0.
  int Near(int bound, int spread = 3) {
    return std::max(0, Between(bound - spread, bound + spread));
  }

 private:
  std::mt19937 engine_;
};

// Checks one call's outcome against the text it should have given.
void ExpectWholeOrEmpty(const Guarded& dest, bool answered, bool fits, const std::wstring& expected,
                        const std::string& what) {
  ASSERT_TRUE(dest.GuardsIntact()) << what << ": written past the bound";
  ASSERT_EQ(answered, fits) << what << " (expected length " << expected.size() << ", capacity "
                            << dest.capacity() << ")";
  if (fits) {
    ASSERT_EQ(dest.Text(), expected) << what;
  } else {
    ASSERT_EQ(dest.Text(), L"") << what << ": a result that did not fit must be empty";
  }
}

std::string Describe(const char* routine, int iteration) {
  return std::string(routine) + " case " + std::to_string(iteration) + " seed " +
         std::to_string(Seed());
}

TEST(Bounds, TextCopy) {
  Random random(1);
  for (int i = 0; i < 3000; ++i) {
    int capacity = random.Between(1, 300);
    std::wstring source = random.Text(random.Near(capacity));
    Guarded dest(capacity);
    bool answered = TextCopy(dest.data(), capacity, source.c_str());
    ExpectWholeOrEmpty(dest, answered, static_cast<int>(source.size()) < capacity, source,
                       Describe("TextCopy", i));
  }
}

TEST(Bounds, TextAppend) {
  Random random(2);
  for (int i = 0; i < 3000; ++i) {
    int capacity = random.Between(1, 300);
    std::wstring first = random.Text(random.Between(0, capacity - 1));
    std::wstring second = random.Text(random.Near(capacity - static_cast<int>(first.size())));
    Guarded dest(capacity);
    ASSERT_TRUE(TextCopy(dest.data(), capacity, first.c_str()));
    bool answered = TextAppend(dest.data(), capacity, second.c_str());
    std::wstring whole = first + second;
    ExpectWholeOrEmpty(dest, answered, static_cast<int>(whole.size()) < capacity, whole,
                       Describe("TextAppend", i));
  }
}

TEST(Bounds, TextFormat) {
  Random random(3);
  for (int i = 0; i < 3000; ++i) {
    std::wstring format;
    std::vector<std::wstring> arguments;
    std::wstring expected;
    int pieces = random.Between(1, 6);
    for (int piece = 0; piece < pieces; ++piece) {
      if (random.Between(0, 1) == 0) {
        std::wstring literal = random.Text(random.Between(0, 20));
        format += literal;
        expected += literal;
      } else if (arguments.size() < 4) {
        arguments.push_back(random.Text(random.Between(0, 200)));
        format += L"%s";
        expected += arguments.back();
      }
    }
    while (arguments.size() < 4) arguments.push_back(L"unused");
    int capacity = random.Near(static_cast<int>(expected.size()) + 1);
    if (capacity < 1) capacity = 1;
    Guarded dest(capacity);
    bool answered = TextFormat(
        dest.data(), capacity, format.c_str(),
        {arguments[0].c_str(), arguments[1].c_str(), arguments[2].c_str(), arguments[3].c_str()});
    ExpectWholeOrEmpty(dest, answered, static_cast<int>(expected.size()) < capacity, expected,
                       Describe("TextFormat", i));
  }
}

TEST(Bounds, TextExpand) {
  Random random(4);
  for (int i = 0; i < 2000; ++i) {
    std::wstring value = random.Text(random.Between(0, 300));
    SetEnvironmentVariableW(L"KELVANE_BOUNDS_VALUE", value.empty() ? nullptr : value.c_str());
    std::wstring before = random.Text(random.Between(0, 40));
    std::wstring after = random.Text(random.Between(0, 40));
    std::wstring source = before + L"%KELVANE_BOUNDS_VALUE%" + after;
    // An undefined variable stays as written.
    std::wstring expected = before + (value.empty() ? L"%KELVANE_BOUNDS_VALUE%" : value) + after;
    int capacity = std::max(1, random.Near(static_cast<int>(expected.size()) + 1));
    Guarded dest(capacity);
    bool answered = TextExpand(dest.data(), capacity, source.c_str());
    ExpectWholeOrEmpty(dest, answered, static_cast<int>(expected.size()) < capacity, expected,
                       Describe("TextExpand", i));
  }
  SetEnvironmentVariableW(L"KELVANE_BOUNDS_VALUE", nullptr);
}

// A settings file in the temp folder, UTF-16 with a byte-order mark, removed at the end.
class SettingsFile {
 public:
  explicit SettingsFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + name + std::to_wstring(GetCurrentProcessId()) + L".ini";
  }
  ~SettingsFile() { DeleteFileW(path_.c_str()); }
  void Write(const std::wstring& text) const {
    std::wstring whole = L"\uFEFF" + text;
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, whole.data(), static_cast<DWORD>(whole.size() * sizeof(wchar_t)), &written,
              nullptr);
    CloseHandle(file);
  }
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

TEST(Bounds, ReadSettingAndReadExpandedSetting) {
  Random random(5);
  SettingsFile settings(L"kelvane-bounds-read-");
  // One key per value length around the bound, written once and read many times.
  std::vector<std::wstring> values;
  std::wstring text = L"[Bounds]\r\n";
  for (int length = 0; length <= 300; ++length) {
    std::wstring value = random.Text(length, true);
    if (!value.empty()) {
      value[0] = L'v';
      value[value.size() - 1] = L'e';
    }
    values.push_back(value);
    text += L"k" + std::to_wstring(length) + L"=" + value + L"\r\n";
  }
  text += L"ref=<%KELVANE_BOUNDS_REF%>\r\n";
  settings.Write(text);

  for (int i = 0; i < 3000; ++i) {
    int length =
        random.Between(0, 10) == 0 ? random.Between(0, 300) : random.Near(kTextCapacity - 1, 4);
    int capacity = random.Between(0, 3) == 0 ? random.Between(1, 263) : random.Near(length + 1, 2);
    if (capacity < 1) capacity = 1;
    const std::wstring& value = values[static_cast<size_t>(length)];
    std::wstring key = L"k" + std::to_wstring(length);
    Guarded dest(capacity);
    bool answered =
        ReadSetting(settings.path().c_str(), L"Bounds", key.c_str(), L"", dest.data(), capacity);
    // The value must fit the destination and the routine's own reading bound of kTextCapacity.
    bool fits = length < capacity && length < kTextCapacity + 1 && capacity <= kTextCapacity + 1;
    ExpectWholeOrEmpty(dest, answered, fits, value, Describe("ReadSetting", i));

    // The default of a missing key follows the same rules.
    Guarded fallback(capacity);
    answered = ReadSetting(settings.path().c_str(), L"Bounds", L"missing", value.c_str(),
                           fallback.data(), capacity);
    ExpectWholeOrEmpty(fallback, answered, fits, value, Describe("ReadSetting default", i));
  }

  for (int i = 0; i < 1000; ++i) {
    std::wstring reference = random.Text(random.Near(kTextCapacity - 3, 6));
    SetEnvironmentVariableW(L"KELVANE_BOUNDS_REF", reference.c_str());
    std::wstring expected = L"<" + reference + L">";
    int capacity = std::max(1, random.Near(static_cast<int>(expected.size()) + 1, 2));
    Guarded dest(capacity);
    bool answered =
        ReadExpandedSetting(settings.path().c_str(), L"Bounds", L"ref", L"", dest.data(), capacity);
    ExpectWholeOrEmpty(dest, answered, static_cast<int>(expected.size()) < capacity, expected,
                       Describe("ReadExpandedSetting", i));
  }
  SetEnvironmentVariableW(L"KELVANE_BOUNDS_REF", nullptr);
}

TEST(Bounds, CommandLine) {
  Random random(6);
  const int capacity = viewer::kCommandLineCapacity;
  for (int i = 0; i < 3000; ++i) {
    bool withFolder = random.Between(0, 1) == 1;
    std::wstring folder = withFolder ? random.Text(random.Between(1, 260)) : L"";
    int fixed = withFolder ? 13 + 8 + static_cast<int>(folder.size()) : 13;
    std::wstring name = random.Text(random.Near(capacity - 1 - fixed, 3));
    bool quoted = random.Between(0, 15) == 0;
    if (quoted && !name.empty())
      name[static_cast<size_t>(random.Between(0, static_cast<int>(name.size()) - 1))] = L'"';
    std::wstring expected =
        L"kelv32.exe \"" + name + L"\"" + (withFolder ? L" /ini=\"" + folder + L"\"" : L"");
    Guarded dest(capacity);
    bool answered = BuildCommandLine(name.c_str(), folder.c_str(), dest.data());
    bool fits =
        static_cast<int>(expected.size()) < capacity && name.find(L'"') == std::wstring::npos;
    ExpectWholeOrEmpty(dest, answered, fits, expected, Describe("BuildCommandLine", i));
  }
}

// GS_LIB composed the long way: the DLL's folder, the parent's fonts and lib folders.
bool ExpectedGsLib(const std::wstring& dll, std::wstring* gsLib) {
  if (static_cast<int>(dll.size()) >= kTextCapacity) return false;
  auto cut = [](const std::wstring& text) {
    size_t last = text.rfind(L'\\');
    return last == std::wstring::npos ? text : text.substr(0, last);
  };
  std::wstring folder = cut(dll);
  std::wstring parent = cut(folder);
  std::wstring fonts = parent + L"\\fonts\\;";
  std::wstring lib = parent + L"\\lib\\";
  if (static_cast<int>(fonts.size()) >= kTextCapacity ||
      static_cast<int>(lib.size()) >= kTextCapacity)
    return false;
  *gsLib = folder + L"\\;" + fonts + lib;
  return true;
}

TEST(Bounds, ComposeGsLib) {
  Random random(7);
  for (int i = 0; i < 3000; ++i) {
    std::wstring dll = random.Text(random.Near(kTextCapacity - 1, 6)) + L"\\bin\\gsdll.dll";
    dll = dll.substr(
        dll.size() > static_cast<size_t>(kTextCapacity + 3) ? dll.size() - kTextCapacity - 3 : 0);
    std::wstring expected;
    bool composable = ExpectedGsLib(dll, &expected);
    int capacity = composable && random.Between(0, 1) == 0
                       ? std::max(1, random.Near(static_cast<int>(expected.size()) + 1))
                       : random.Between(1, kGsLibCapacity);
    Guarded dest(capacity);
    bool answered = ComposeGsLib(dll.c_str(), dest.data(), capacity);
    bool fits = composable && static_cast<int>(expected.size()) < capacity;
    ASSERT_TRUE(dest.GuardsIntact()) << Describe("ComposeGsLib", i);
    ASSERT_EQ(answered, fits) << Describe("ComposeGsLib", i);
    if (fits) {
      ASSERT_EQ(dest.Text(), expected) << Describe("ComposeGsLib", i);
    }
  }
}

TEST(Bounds, FormModeIniFile) {
  Random random(8);
  for (int i = 0; i < 3000; ++i) {
    ViewerPaths paths = {};
    paths.viewerIniName = random.Between(0, 1) == 0 ? viewer::kSettings32 : viewer::kSettings64;
    std::wstring folder =
        random.Between(0, 10) == 0 ? L"" : random.Text(random.Near(kTextCapacity - 11, 4));
    std::wstring expected = folder.empty() ? L"" : folder + paths.viewerIniName;
    Guarded dest(kTextCapacity);
    bool answered = FormModeIniFile(paths, folder.c_str(), dest.data());
    ExpectWholeOrEmpty(dest, answered, static_cast<int>(expected.size()) < kTextCapacity, expected,
                       Describe("FormModeIniFile", i));
  }
}

TEST(Bounds, FormRedirectedViewerIni) {
  Random random(9);
  SettingsFile viewerIni(L"kelvane-bounds-viewer-");
  for (int i = 0; i < 400; ++i) {
    ViewerPaths paths = {};
    paths.viewerIniName = random.Between(0, 1) == 0 ? viewer::kSettings32 : viewer::kSettings64;
    TextCopy(paths.defaultViewerIni, kTextCapacity, viewerIni.path().c_str());
    std::wstring folder = random.Text(random.Near(kTextCapacity - 12, 6));
    if (!folder.empty()) folder[0] = L'f';
    if (!folder.empty()) folder[folder.size() - 1] = L'r';
    bool withReference = random.Between(0, 2) == 0;
    std::wstring reference = random.Text(random.Between(0, 20));
    SetEnvironmentVariableW(L"KELVANE_BOUNDS_FOLDER",
                            reference.empty() ? nullptr : reference.c_str());
    std::wstring written = withReference
                               ? folder.substr(0, folder.size() / 2) + L"%KELVANE_BOUNDS_FOLDER%" +
                                     folder.substr(folder.size() / 2)
                               : folder;
    // Written through the profile API, which keeps the file's UTF-16 form and its own view of it.
    if (i == 0) viewerIni.Write(L"[Others]\r\n");
    WritePrivateProfileStringW(L"Others", L"INI_Folder", written.c_str(), viewerIni.path().c_str());
    std::wstring expanded = withReference
                                ? folder.substr(0, folder.size() / 2) +
                                      (reference.empty() ? L"%KELVANE_BOUNDS_FOLDER%" : reference) +
                                      folder.substr(folder.size() / 2)
                                : folder;
    std::wstring unexpanded = written + L"\\" + paths.viewerIniName;
    std::wstring expected = expanded + L"\\" + paths.viewerIniName;
    bool fits = static_cast<int>(written.size()) < kTextCapacity &&
                static_cast<int>(unexpanded.size()) < kTextCapacity &&
                static_cast<int>(expected.size()) < kTextCapacity;
    Guarded dest(kTextCapacity);
    bool answered = FormRedirectedViewerIni(paths, dest.data());
    ExpectWholeOrEmpty(dest, answered, fits, expected, Describe("FormRedirectedViewerIni", i));
  }
  SetEnvironmentVariableW(L"KELVANE_BOUNDS_FOLDER", nullptr);
}

TEST(Bounds, ListerCaptionAndDisplayText) {
  Random random(10);
  for (int i = 0; i < 4000; ++i) {
    std::wstring pluginName = random.Text(
        random.Between(0, 5) == 0 ? random.Between(0, 259) : random.Near(250, 9), false);
    if (static_cast<int>(pluginName.size()) > kTextCapacity - 1)
      pluginName.resize(kTextCapacity - 1);
    std::wstring part =
        random.Text(random.Between(0, 5) == 0 ? random.Between(0, 259) : random.Near(255, 4));
    if (static_cast<int>(part.size()) > kTextCapacity - 1) part.resize(kTextCapacity - 1);

    std::wstring caption = L"Lister (" + pluginName + L") - [" + part + L"]";
    Guarded captionDest(kCaptionCapacity);
    bool answered = ComposeListerCaption(pluginName.c_str(), part.c_str(), captionDest.data());
    // Within the bounds the routine is given (both parts at most 259 characters) it always fits.
    ExpectWholeOrEmpty(captionDest, answered, true, caption, Describe("ComposeListerCaption", i));

    std::wstring suffix =
        static_cast<int>(pluginName.size()) + 3 < kTextCapacity ? L" - " + pluginName : L"";
    size_t lastBackslash = part.rfind(L'\\');
    std::wstring name = lastBackslash == std::wstring::npos ? part : part.substr(lastBackslash + 1);
    int capacity = static_cast<int>(suffix.size()) + kTextCapacity;
    std::wstring display = name + suffix;
    bool fits = static_cast<int>(display.size()) < capacity;
    if (fits && 2 * static_cast<int>(display.size()) < capacity) {
      display.resize(static_cast<size_t>(capacity - static_cast<int>(display.size()) - 1), L' ');
    }
    Guarded displayDest(kCaptionCapacity);
    answered = ComposeDisplayText(suffix.c_str(), part.c_str(), displayDest.data());
    ExpectWholeOrEmpty(displayDest, answered, fits, display, Describe("ComposeDisplayText", i));
  }
}

}  // namespace
