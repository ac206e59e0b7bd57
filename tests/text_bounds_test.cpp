// The bounded texts as the host meets them, through the library's exports: GS_LIB from gsenv, the
// Lister caption from WindowCaption with titles and library names of lengths around their
// bounds, the display text painted in quick view, and the messages about a missing viewer or
// mode settings file with paths around the path bound. Each result is either whole or absent
// (a null answer, an unchanged caption, no message and no view). Fixed seed, printed.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "view_fixture.h"

using namespace testing_support;

namespace {

constexpr int kPathBound = 260;  // characters of a path with its terminator
constexpr unsigned kSeed = 20240611u;

class Random {
 public:
  explicit Random(unsigned salt) : engine_(kSeed ^ salt) {
    std::printf("seed %u, salt %u\n", kSeed, salt);
  }
  int Between(int low, int high) {
    return high < low ? low : std::uniform_int_distribution<int>(low, high)(engine_);
  }
  std::wstring Text(int length) {
    static const wchar_t kAlphabet[] = L"abcXYZ019._-\u00FC\u7167";
    std::wstring text;
    for (int i = 0; i < length; ++i) {
      text += Between(0, 15) == 0 ? L'\\'
                                  : kAlphabet[Between(0, static_cast<int>(wcslen(kAlphabet)) - 1)];
    }
    return text;
  }

 private:
  std::mt19937 engine_;
};

std::wstring CutAtLastBackslash(const std::wstring& text) {
  size_t last = text.rfind(L'\\');
  return last == std::wstring::npos ? text : text.substr(0, last);
}

TEST(ExportedTextBounds, GsenvAnswersTheWholeFolderListOrNull) {
  PluginUnderTest plugin(WithoutViewer());
  Random random(11);
  int whole = 0;
  int refused = 0;
  for (int i = 0; i < 2000; ++i) {
    std::wstring dll =
        random.Text(std::max(0, random.Between(kPathBound - 12, kPathBound + 3) - 14)) +
        L"\\bin\\gsdll.dll";
    std::wstring folder = CutAtLastBackslash(dll);
    std::wstring parent = CutAtLastBackslash(folder);
    bool fits = static_cast<int>(dll.size()) < kPathBound &&
                static_cast<int>(parent.size()) + 8 < kPathBound;
    std::wstring expected = folder + L"\\;" + parent + L"\\fonts\\;" + parent + L"\\lib\\";
    wchar_t* answer = plugin.gsenv(dll.c_str());
    if (fits) {
      ASSERT_NE(answer, nullptr) << "case " << i << " length " << dll.size();
      EXPECT_EQ(std::wstring(answer), expected) << "case " << i;
      ++whole;
    } else {
      EXPECT_EQ(answer, nullptr) << "case " << i << " length " << dll.size();
      ++refused;
    }
    if (answer != nullptr) LocalFree(answer);
  }
  EXPECT_GT(whole, 100);
  EXPECT_GT(refused, 100);
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return text;
}

// What the caption routine should set: the title as read (at most 259 characters) up to the first
// " - <library name>", inside "Lister (<library name, lower case>) - [...]"; nothing for an empty
// part.
std::wstring ExpectedCaption(const std::wstring& modulePath, const std::wstring& title,
                             const std::wstring& before) {
  std::wstring pluginName;
  if (static_cast<int>(modulePath.size()) < kPathBound) {
    pluginName = modulePath.substr(modulePath.rfind(L'\\') + 1);
    size_t dot = pluginName.rfind(L'.');
    if (dot != std::wstring::npos) pluginName.resize(dot);
  }
  std::wstring suffix =
      static_cast<int>(pluginName.size()) + 3 < kPathBound ? L" - " + pluginName : L"";
  std::wstring part = title.substr(0, kPathBound - 1);
  size_t at = suffix.empty() ? std::wstring::npos : part.find(suffix);
  if (at != std::wstring::npos) part.resize(at);
  if (part.empty()) return before;
  return L"Lister (" + Lower(pluginName) + L") - [" + part + L"]";
}

TEST(ExportedTextBounds, ListerCaptionIsWholeForTitlesAndLibraryNamesAroundTheirBounds) {
  Random random(12);
  const std::wstring extension = OwnWidth() == Width::k64 ? L".wlx64" : L".wlx";
  std::wstring folder;
  {
    PluginUnderTest probe(WithoutViewer());
    folder = probe.folder();
  }
  // Library names from short to one whose full path reaches the bound, and one past it.
  std::vector<int> pathLengths = {0, 200, kPathBound - 2, kPathBound - 1, kPathBound};
  for (int pathLength : pathLengths) {
    std::wstring stem =
        pathLength == 0 ? L"Kelvane"
                        : L"K" + std::wstring(static_cast<size_t>(std::max(
                                                  1, pathLength - static_cast<int>(folder.size()) -
                                                         static_cast<int>(extension.size()) - 1)),
                                              L'n');
    PluginUnderTest plugin(WithLibraryName(stem + extension));
    ASSERT_NE(plugin.WindowCaption, nullptr) << "library name of " << stem.size() << " characters";
    wchar_t modulePath[1024] = {};
    DWORD length = GetModuleFileNameW(plugin.module(), modulePath, 1024);
    ASSERT_GT(length, 0u);
    std::wstring module(modulePath, length);
    std::wstring pluginName = stem;
    ListerWindow lister;
    for (int i = 0; i < 150; ++i) {
      std::wstring title = random.Text(random.Between(kPathBound - 12, kPathBound + 6));
      int choice = random.Between(0, 3);
      if (choice == 1) {
        title = title.substr(
                    0, static_cast<size_t>(random.Between(0, static_cast<int>(title.size())))) +
                L" - " + pluginName + random.Text(random.Between(0, 10));
      } else if (choice == 2) {
        title = random.Text(random.Between(0, 20)) + L" - " + pluginName;
      }
      SetWindowTextW(lister.hwnd(), L"unchanged");
      TitledWindow viewer(title);
      EXPECT_EQ(plugin.WindowCaption(viewer.hwnd(), lister.hwnd()), nullptr);
      ASSERT_EQ(TitleOf(lister.hwnd()), ExpectedCaption(module, title, L"unchanged"))
          << "module path " << module.size() << " characters, title " << title.size() << ", case "
          << i;
    }
  }
}

TEST(ExportedTextBounds, QuickViewPaintsTheDisplayTextForTitlesAroundTheBound) {
  PluginUnderTest plugin(WithoutViewer());
  Random random(13);
  MainWindow host;
  for (int i = 0; i < 40; ++i) {
    host.PaintPathBars(RGB(10, 20, 30));
    std::wstring title =
        random.Text(random.Between(kPathBound - 6, kPathBound + 6)) + L" - Kelvane";
    TitledWindow viewer(title);
    EXPECT_EQ(plugin.WindowCaption(viewer.hwnd(), host.quickView()), nullptr);
    EXPECT_NE(MainWindow::PixelAt(host.leftPathBar(), 1, 20), RGB(10, 20, 30))
        << "the display text's background was painted, title " << title.size();
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

TEST(ExportedTextBounds, TheMissingViewerMessageNamesTheWholePathOrTheTooLongSetting) {
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
    if (length < kPathBound) {
      ASSERT_EQ(boxes.boxes().size(), 1u) << "length " << length;
      EXPECT_EQ(boxes.boxes()[0].text,
                L"I can't find the " + viewer + L" in the path specified in the file kelvane.ini")
          << "length " << length;
    } else {
      ASSERT_EQ(boxes.boxes().size(), 1u) << "a path past the bound is told, never cut";
      EXPECT_EQ(boxes.boxes()[0].text, LongSettingMessage(key)) << "length " << length;
    }
  }
  EXPECT_EQ(GetWindow(lister.hwnd(), GW_CHILD), nullptr);
}

TEST(ExportedTextBounds, TheMissingModeFileMessageNamesTheWholePathOrTheTooLongSetting) {
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
    if (length < kPathBound) {
      ASSERT_EQ(boxes.boxes().size(), 1u) << "length " << length;
      EXPECT_EQ(boxes.boxes()[0].text, L"I can't find the file " + folder + iniName)
          << "length " << length;
    } else {
      ASSERT_EQ(boxes.boxes().size(), 1u) << "length " << length;
      EXPECT_EQ(boxes.boxes()[0].text, LongSettingMessage(L"DirIniL")) << "length " << length;
    }
  }
  EXPECT_TRUE(RunningViewerProcesses().empty());
}

}  // namespace
