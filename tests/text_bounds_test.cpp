// Every text composed into a bounded buffer is either whole (answer true) or empty (answer false),
// never a cut text that passes for a whole one, and nothing is written past the buffer. The
// composing routines of kelvane_core are driven with thousands of random inputs whose lengths lie
// around each bound (fixed seed, printed; KELVANE_SEED=<n> in the environment replays another);
// what the host meets of the same bounds (the Lister caption, the messages about a missing viewer
// or mode settings file) is driven through the library's exports.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "caption/caption_text.h"
#include "launch/command_line.h"
#include "launch/ghostscript.h"
#include "launch/viewer_paths.h"
#include "plugin/text.h"
#include "view_fixture.h"

using namespace testing_support;

namespace {

constexpr int kPathBound = 260;     // characters of a path or settings value, terminator included
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
    std::fill_n(chars_.begin(), capacity, kStale);
  }
  wchar_t* data() { return chars_.data(); }
  int capacity() const { return capacity_; }
  bool GuardsIntact() const {
    return std::all_of(chars_.begin() + capacity_, chars_.end(),
                       [](wchar_t c) { return c == kGuard; });
  }
  // The text up to its terminator; "<unterminated>" when none lies within the capacity.
  std::wstring Text() const {
    auto end = std::find(chars_.begin(), chars_.begin() + capacity_, L'\0');
    return end == chars_.begin() + capacity_ ? L"<unterminated>"
                                             : std::wstring(chars_.begin(), end);
  }

 private:
  int capacity_;
  std::vector<wchar_t> chars_;
};

class Random {
 public:
  explicit Random(unsigned salt) : engine_(Seed() ^ salt) {}
  int Between(int low, int high) {  // both included
    return high < low ? low : std::uniform_int_distribution<int>(low, high)(engine_);
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
  ASSERT_EQ(dest.Text(), fits ? expected : L"")
      << what << (fits ? "" : ": a result that did not fit must be empty");
}

bool Fits(const std::wstring& text, int capacity) {
  return static_cast<int>(text.size()) < capacity;
}

std::string Describe(const char* routine, int iteration) {
  return std::string(routine) + " case " + std::to_string(iteration) + " seed " +
         std::to_string(Seed());
}

// The rule spelt out at one capacity: seven characters and the terminator fit eight, eight do not.
TEST(Bounds, CopyAppendAndFormatAtACapacityOfEight) {
  Guarded dest(8);
  ExpectWholeOrEmpty(dest, TextCopy(dest.data(), 8, L"1234567"), true, L"1234567", "copy");
  ExpectWholeOrEmpty(dest, TextCopy(dest.data(), 8, L"12345678"), false, L"", "copy");
  ASSERT_TRUE(TextCopy(dest.data(), 8, L"abc"));
  ExpectWholeOrEmpty(dest, TextAppend(dest.data(), 8, L"defg"), true, L"abcdefg", "append");
  ExpectWholeOrEmpty(dest, TextAppend(dest.data(), 8, L"h"), false, L"", "append");
  ExpectWholeOrEmpty(dest, TextFormat(dest.data(), 8, L"%s-%s", {L"ab", L"cd"}), true, L"ab-cd",
                     "format");
  ExpectWholeOrEmpty(dest, TextFormat(dest.data(), 8, L"%s-%s", {L"abcd", L"efg"}), false, L"",
                     "format");
}

TEST(Bounds, TextCopy) {
  Random random(1);
  for (int i = 0; i < 3000; ++i) {
    int capacity = random.Between(1, 300);
    std::wstring source = random.Text(random.Near(capacity));
    Guarded dest(capacity);
    bool answered = TextCopy(dest.data(), capacity, source.c_str());
    ExpectWholeOrEmpty(dest, answered, Fits(source, capacity), source, Describe("TextCopy", i));
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
    ExpectWholeOrEmpty(dest, answered, Fits(first + second, capacity), first + second,
                       Describe("TextAppend", i));
  }
}

TEST(Bounds, TextFormat) {
  Random random(3);
  for (int i = 0; i < 3000; ++i) {
    std::wstring format;
    std::vector<std::wstring> arguments;
    std::wstring expected;
    for (int piece = random.Between(1, 6); piece > 0; --piece) {
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
    int capacity = std::max(1, random.Near(static_cast<int>(expected.size()) + 1));
    Guarded dest(capacity);
    bool answered = TextFormat(
        dest.data(), capacity, format.c_str(),
        {arguments[0].c_str(), arguments[1].c_str(), arguments[2].c_str(), arguments[3].c_str()});
    ExpectWholeOrEmpty(dest, answered, Fits(expected, capacity), expected,
                       Describe("TextFormat", i));
  }
}

TEST(Bounds, TextExpand) {
  Random random(4);
  for (int i = 0; i < 2000; ++i) {
    std::wstring value = random.Text(random.Between(0, 300));
    ScopedEnvironment variable(L"KELVANE_BOUNDS_VALUE", value.empty() ? nullptr : value.c_str());
    std::wstring before = random.Text(random.Between(0, 40));
    std::wstring after = random.Text(random.Between(0, 40));
    std::wstring source = before + L"%KELVANE_BOUNDS_VALUE%" + after;
    // An undefined variable stays as written.
    std::wstring expected = before + (value.empty() ? L"%KELVANE_BOUNDS_VALUE%" : value) + after;
    int capacity = std::max(1, random.Near(static_cast<int>(expected.size()) + 1));
    Guarded dest(capacity);
    bool answered = TextExpand(dest.data(), capacity, source.c_str());
    ExpectWholeOrEmpty(dest, answered, Fits(expected, capacity), expected,
                       Describe("TextExpand", i));
  }
}

TEST(Bounds, ReadSettingAndReadExpandedSetting) {
  Random random(5);
  TempFolder folder(L"bounds-read");
  const std::wstring settings = folder.path() + L"settings.ini";
  // One key per value length around the bound, written once and read many times.
  std::vector<std::wstring> values;
  std::wstring text = L"[Bounds]\r\n";
  for (int length = 0; length <= 300; ++length) {
    std::wstring value = random.Text(length);
    if (!value.empty()) value.front() = L'v', value.back() = L'e';
    values.push_back(value);
    text += L"k" + std::to_wstring(length) + L"=" + value + L"\r\n";
  }
  text += L"ref=<%KELVANE_BOUNDS_REF%>\r\n";
  WriteTextFile(settings, text, true);
  auto read = [&](int length, int capacity, const char* what, int i) {
    const std::wstring& value = values[static_cast<size_t>(length)];
    std::wstring key = L"k" + std::to_wstring(length);
    Guarded dest(capacity);
    bool answered =
        ReadSetting(settings.c_str(), L"Bounds", key.c_str(), L"", dest.data(), capacity);
    ExpectWholeOrEmpty(dest, answered, Fits(value, capacity), value, Describe(what, i));
    // The default of a missing key follows the same rules.
    Guarded fallback(capacity);
    answered = ReadSetting(settings.c_str(), L"Bounds", L"missing", value.c_str(), fallback.data(),
                           capacity);
    ExpectWholeOrEmpty(fallback, answered, Fits(value, capacity), value, Describe(what, i));
  };
  for (int i = 0; i < 3000; ++i) {
    int length =
        random.Between(0, 10) == 0 ? random.Between(0, 300) : random.Near(kPathBound - 1, 4);
    int capacity = random.Between(0, 3) == 0
                       ? random.Between(1, kPathBound)
                       : std::clamp(random.Near(length + 1, 2), 1, kPathBound);
    read(length, capacity, "ReadSetting", i);
  }
  // One character wider than the bound still takes a value of 260 characters, and no more.
  read(260, 261, "ReadSetting 260 into 261", 0);
  read(261, 261, "ReadSetting 261 into 261", 0);
  read(300, 261, "ReadSetting 300 into 261", 0);
  // A wider destination is refused whatever the value: the reading could cut a value unseen.
  Guarded wide(262);
  EXPECT_FALSE(ReadSetting(settings.c_str(), L"Bounds", L"k1", L"", wide.data(), 262));
  EXPECT_EQ(wide.Text(), L"");

  for (int i = 0; i < 1000; ++i) {
    std::wstring reference = random.Text(random.Near(kPathBound - 3, 6));
    ScopedEnvironment variable(L"KELVANE_BOUNDS_REF", reference.c_str());
    std::wstring expected = L"<" + reference + L">";
    int capacity = std::max(1, random.Near(static_cast<int>(expected.size()) + 1, 2));
    Guarded dest(capacity);
    bool answered =
        ReadExpandedSetting(settings.c_str(), L"Bounds", L"ref", L"", dest.data(), capacity);
    // The raw value must fit the reading bound too: "<%KELVANE_BOUNDS_REF%>" always does.
    ExpectWholeOrEmpty(dest, answered, Fits(expected, capacity), expected,
                       Describe("ReadExpandedSetting", i));
  }
  // A raw value past the reading bound leaves the destination empty, not as it was.
  Guarded cut(kPathBound);
  bool answered =
      ReadExpandedSetting(settings.c_str(), L"Bounds", L"k300", L"", cut.data(), kPathBound);
  ExpectWholeOrEmpty(cut, answered, false, L"", "ReadExpandedSetting of 300 characters");
}

TEST(Bounds, CommandLine) {
  Random random(6);
  const int capacity = 512;  // the viewer's command line, terminator included
  for (int i = 0; i < 3000; ++i) {
    bool withFolder = random.Between(0, 1) == 1;
    std::wstring folder = withFolder ? random.Text(random.Between(1, 260)) : L"";
    int fixed = withFolder ? 13 + 8 + static_cast<int>(folder.size()) : 13;
    std::wstring name = random.Text(random.Near(capacity - 1 - fixed, 3));
    bool quoted = random.Between(0, 15) == 0 && !name.empty();
    if (quoted)
      name[static_cast<size_t>(random.Between(0, static_cast<int>(name.size()) - 1))] = L'"';
    std::wstring expected =
        L"kelv32.exe \"" + name + L"\"" + (withFolder ? L" /ini=\"" + folder + L"\"" : L"");
    Guarded dest(capacity);
    bool answered = BuildCommandLine(name.c_str(), folder.c_str(), dest.data());
    ExpectWholeOrEmpty(dest, answered, Fits(expected, capacity) && !quoted, expected,
                       Describe("BuildCommandLine", i));
  }
}

// The DLL path is built from its parent P, its folder's name and its file name, so the GS_LIB
// value is known from the pieces: P\folder\;P\fonts\;P\lib\ (each piece must fit 260
// characters with the terminator, as must the path; the whole value must fit its destination).
TEST(Bounds, ComposeGsLib) {
  Random random(7);
  int whole = 0;
  int refused = 0;
  for (int i = 0; i < 3000; ++i) {
    bool longParent = random.Between(0, 1) == 0;
    std::wstring parent = random.Text(longParent ? random.Near(251, 4) : random.Between(0, 240));
    std::wstring folder = random.Text(random.Between(0, 4), false);
    std::wstring file = random.Text(
        longParent ? random.Between(0, 4)
                   : random.Near(258 - static_cast<int>(parent.size() + folder.size()), 3),
        false);
    std::wstring dll = parent + L"\\" + folder + L"\\" + file;
    std::wstring expected =
        parent + L"\\" + folder + L"\\;" + parent + L"\\fonts\\;" + parent + L"\\lib\\";
    bool composable = Fits(dll, 260) && Fits(parent + L"\\fonts\\;", 260);
    int capacity = composable && random.Between(0, 1) == 0
                       ? std::max(1, random.Near(static_cast<int>(expected.size()) + 1))
                       : random.Between(1, 4096);
    Guarded dest(capacity);
    bool answered = ComposeGsLib(dll.c_str(), dest.data(), capacity);
    bool fits = composable && Fits(expected, capacity);
    ASSERT_TRUE(dest.GuardsIntact()) << Describe("ComposeGsLib", i);
    ASSERT_EQ(answered, fits) << Describe("ComposeGsLib", i) << " path " << dll.size();
    if (fits) {
      ASSERT_EQ(dest.Text(), expected) << Describe("ComposeGsLib", i);
    }
    ++(fits ? whole : refused);
  }
  EXPECT_GT(whole, 300);
  EXPECT_GT(refused, 300);
}

TEST(Bounds, FormModeIniFile) {
  Random random(8);
  for (int i = 0; i < 3000; ++i) {
    ViewerPaths paths = {};
    paths.viewerIniName = random.Between(0, 1) == 0 ? L"kelv32.ini" : L"kelv64.ini";
    std::wstring folder =
        random.Between(0, 10) == 0 ? L"" : random.Text(random.Near(kPathBound - 11, 4));
    std::wstring expected = folder.empty() ? L"" : folder + paths.viewerIniName;
    Guarded dest(kPathBound);
    bool answered = FormModeIniFile(paths, folder.c_str(), dest.data());
    ExpectWholeOrEmpty(dest, answered, Fits(expected, kPathBound), expected,
                       Describe("FormModeIniFile", i));
  }
}

TEST(Bounds, FormRedirectedViewerIni) {
  Random random(9);
  TempFolder viewerFolder(L"bounds-viewer");
  const std::wstring viewerIni = viewerFolder.path() + L"viewer.ini";
  WriteTextFile(viewerIni, L"[Others]\r\n", true);
  for (int i = 0; i < 400; ++i) {
    ViewerPaths paths = {};
    paths.viewerIniName = random.Between(0, 1) == 0 ? L"kelv32.ini" : L"kelv64.ini";
    TextCopy(paths.defaultViewerIni, kPathBound, viewerIni.c_str());
    std::wstring folder = random.Text(random.Near(kPathBound - 12, 6));
    if (!folder.empty()) folder.front() = L'f', folder.back() = L'r';
    std::wstring head = folder.substr(0, folder.size() / 2);
    std::wstring tail = folder.substr(folder.size() / 2);
    bool withReference = random.Between(0, 2) == 0;
    std::wstring reference = random.Text(random.Between(0, 20));
    ScopedEnvironment variable(L"KELVANE_BOUNDS_FOLDER",
                               reference.empty() ? nullptr : reference.c_str());
    std::wstring written = withReference ? head + L"%KELVANE_BOUNDS_FOLDER%" + tail : folder;
    // Written through the profile API, which keeps the file's UTF-16 form and its own view of it.
    WritePrivateProfileStringW(L"Others", L"INI_Folder", written.c_str(), viewerIni.c_str());
    std::wstring expanded =
        withReference ? head + (reference.empty() ? L"%KELVANE_BOUNDS_FOLDER%" : reference) + tail
                      : folder;
    // The value as read, the value with the name appended and its expansion each fit the bound.
    std::wstring expected = expanded + L"\\" + paths.viewerIniName;
    bool fits = Fits(written, kPathBound) &&
                Fits(written + L"\\" + paths.viewerIniName, kPathBound) &&
                Fits(expected, kPathBound);
    Guarded dest(kPathBound);
    bool answered = FormRedirectedViewerIni(paths, dest.data());
    ExpectWholeOrEmpty(dest, answered, fits, expected, Describe("FormRedirectedViewerIni", i));
  }
}

// The caption's buffer holds the longest caption: 259 characters of plugin name and of file name
// part with the 14 fixed characters and the terminator, 533 in all.
TEST(Bounds, ListerCaptionIsWholeUpToTheLongestNameAndPart) {
  struct Case {
    std::wstring pluginName;
    std::wstring part;
    std::wstring caption;
  };
  const std::wstring name(259, L'n');
  const std::wstring part(259, L'p');
  for (const Case& c : {Case{L"kelvane", L"photo.jpg", L"Lister (kelvane) - [photo.jpg]"},
                        Case{L"", L"", L"Lister () - []"},
                        Case{name, part, L"Lister (" + name + L") - [" + part + L"]"}}) {
    Guarded dest(534);
    bool answered = ComposeListerCaption(c.pluginName.c_str(), c.part.c_str(), dest.data());
    ExpectWholeOrEmpty(dest, answered, true, c.caption, Narrow(c.caption.substr(0, 20)));
  }
}

// The display text: the name after the file name part's last backslash and the title suffix,
// filled with spaces to 259 characters less the name's while it is short (twice its length under
// the suffix's length plus 260), as the host's path bar needs.
TEST(Bounds, DisplayTextIsTheNameAndSuffixFilledWithSpacesWhileShort) {
  struct Case {
    std::wstring suffix;
    std::wstring part;
    std::wstring shown;  // before the spaces
    size_t length;       // with the spaces
  };
  const std::wstring s253 = L" - " + std::wstring(250, L'k');
  const std::wstring n124(124, L'a');
  const std::wstring n125(125, L'b');
  const std::wstring n259(259, L'c');
  for (const Case& c :
       {Case{L" - kelvane", L"photo.jpg", L"photo.jpg - kelvane", 250},
        Case{L" - kelvane", L"C:\\pics\\photo.jpg", L"photo.jpg - kelvane", 250},
        Case{L" - kelvane", L"C:\\pics\\", L" - kelvane", 259},
        Case{L" - kelvane", n124, n124 + L" - kelvane", 135},
        Case{L" - kelvane", n125, n125 + L" - kelvane", 135},
        Case{L" - kelvane", n259, n259 + L" - kelvane", 269}, Case{s253, L"", s253, 259},
        Case{s253, L"ab", L"ab" + s253, 257}, Case{s253, L"abcd", L"abcd" + s253, 257},
        Case{s253, n259, n259 + s253, 512}}) {
    Guarded dest(534);
    bool answered = ComposeDisplayText(c.suffix.c_str(), c.part.c_str(), dest.data());
    std::wstring expected = c.shown + std::wstring(c.length - c.shown.size(), L' ');
    ExpectWholeOrEmpty(
        dest, answered, true, expected,
        Narrow(c.part.substr(0, 20)) + " with a suffix of " + std::to_string(c.suffix.size()));
  }
}

// Through the export, with library paths of 259 characters (the longest that fits) and 260: the
// plugin name comes from a path that fits, and a path that does not fit gives an empty name, so
// that the title is cut at its first " - ". The title is read as its first 259 characters.
TEST(Bounds, ListerCaptionForLibraryPathsAroundTheirBound) {
  const std::wstring extension = OwnWidth() == Width::k64 ? L".wlx64" : L".wlx";
  std::wstring folder = PluginUnderTest(WithoutViewer()).folder();
  for (int pathLength : {259, 260}) {
    size_t stemLength = static_cast<size_t>(pathLength) - folder.size() - extension.size();
    std::wstring stem = L"K" + std::wstring(stemLength - 1, L'n');
    PluginUnderTest plugin(WithLibraryName(stem + extension));
    ASSERT_NE(plugin.WindowCaption, nullptr) << "library path of " << pathLength;
    wchar_t path[1024] = {};
    ASSERT_EQ(GetModuleFileNameW(plugin.module(), path, 1024), static_cast<DWORD>(pathLength));
    std::wstring lower = L"k" + stem.substr(1);
    std::wstring a255(255, L'a');
    struct Case {
      std::wstring title;
      std::wstring caption;
    };
    std::vector<Case> cases =
        pathLength == 259 ? std::vector<Case>{{L"photo.jpg - " + stem + L" - x", L"photo.jpg"},
                                              {a255 + L" - " + stem, a255 + L" - K"},
                                              {std::wstring(300, L'm'), std::wstring(259, L'm')}}
                          : std::vector<Case>{{L"photo.jpg - " + stem, L"photo.jpg"},
                                              {L"a - b - c", L"a"},
                                              {std::wstring(300, L'm'), std::wstring(259, L'm')}};
    ListerWindow lister;
    for (const Case& c : cases) {
      SetWindowTextW(lister.hwnd(), L"unchanged");
      TitledWindow viewer(c.title);
      plugin.WindowCaption(viewer.hwnd(), lister.hwnd());
      EXPECT_EQ(TitleOf(lister.hwnd()),
                L"Lister (" + (pathLength == 259 ? lower : L"") + L") - [" + c.caption + L"]")
          << "library path of " << pathLength << ", title of " << c.title.size();
    }
  }
}

// The plugin's settings naming a viewer path of a given length that does not exist.
std::wstring MissingViewerPath(const std::wstring& folder, int length) {
  std::wstring path = folder + L"missing\\";
  while (static_cast<int>(path.size()) < length - 8) path += L"abcdefghij\\";
  path.resize(static_cast<size_t>(std::max(0, length - 8)), L'x');
  return path + L"\\kel.exe";
}

std::wstring LongSettingMessage(const std::wstring& key) {
  return L"I can't use the setting [Kelvane] " + key +
         L" in the file kelvane.ini: its value is longer than 259 characters";
}

TEST(Bounds, TheMissingViewerMessageNamesTheWholePathOrTheTooLongSetting) {
  PluginUnderTest plugin(WithSettings(L"[Kelvane]\r\n", false));
  const std::wstring key = OwnWidth() == Width::k64 ? L"path64" : L"path";
  PictureFolder pictures;
  ListerWindow lister;
  for (int length = kPathBound - 4; length <= kPathBound + 2; ++length) {
    std::wstring viewer = MissingViewerPath(plugin.folder(), length);
    ASSERT_EQ(static_cast<int>(viewer.size()), length);
    WriteTextFile(plugin.folder() + L"kelvane.ini",
                  L"[Kelvane]\r\n" + key + L"=" + viewer + L"\r\n", true);
    MessageBoxCatcher boxes;
    EXPECT_EQ(LoadView(plugin, lister.hwnd(), pictures.File(L"a.bmp")), nullptr);
    ASSERT_EQ(boxes.boxes().size(), 1u) << "length " << length;
    // A path past the bound is told, never cut.
    EXPECT_EQ(boxes.boxes()[0].text, length < kPathBound
                                         ? L"I can't find the " + viewer +
                                               L" in the path specified in the file kelvane.ini"
                                         : LongSettingMessage(key))
        << "length " << length;
  }
  EXPECT_EQ(GetWindow(lister.hwnd(), GW_CHILD), nullptr);
}

TEST(Bounds, TheMissingModeFileMessageNamesTheWholePathOrTheTooLongSetting) {
  PluginUnderTest plugin;  // the viewer of the plugin's width at its default place
  const std::wstring iniName = OwnWidth() == Width::k64 ? L"kelv64.ini" : L"kelv32.ini";
  PictureFolder pictures;
  ListerWindow lister;
  for (int length = kPathBound - 4; length <= kPathBound + 2; ++length) {
    // The mode file is the folder with the settings name appended.
    std::wstring folder =
        MissingViewerPath(plugin.folder(), length - static_cast<int>(iniName.size()) + 7);
    folder.resize(folder.size() - 7);  // ends in a backslash
    ASSERT_EQ(static_cast<int>(folder.size() + iniName.size()), length);
    WriteTextFile(plugin.folder() + L"kelvane.ini", L"[Kelvane]\r\nDirIniL=" + folder + L"\r\n",
                  true);
    MessageBoxCatcher boxes;
    EXPECT_EQ(LoadView(plugin, lister.hwnd(), pictures.File(L"a.bmp")), nullptr);
    ASSERT_EQ(boxes.boxes().size(), 1u) << "length " << length;
    EXPECT_EQ(boxes.boxes()[0].text, length < kPathBound
                                         ? L"I can't find the file " + folder + iniName
                                         : LongSettingMessage(L"DirIniL"))
        << "length " << length;
  }
  EXPECT_TRUE(RunningViewerProcesses().empty());
}

}  // namespace
