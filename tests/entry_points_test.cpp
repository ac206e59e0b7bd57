// The interface the host binds: exports of both libraries, the detect string, printing and
// the two functions that only answer 0.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "support/export_table.h"
#include "view_fixture.h"

using namespace testing_support;

namespace {

const char* const kListerExports[] = {"ListGetDetectString", "ListLoad",         "ListLoadW",
                                      "ListPrint",           "ListSearchDialog", "ListSendCommand"};
const char* const kOwnRoutines[] = {"KbdProc", "MouseProc", "WindowProc", "WindowCaption", "gsenv"};

class ExportTable : public ::testing::TestWithParam<Width> {};

TEST_P(ExportTable, HoldsTheListerFunctionsPlainAndTheOwnRoutinesDecoratedAndNothingElse) {
  std::vector<std::string> names = ReadExportNames(BuiltPluginPath(GetParam()));
  ASSERT_EQ(names.size(), 11u);
  for (const char* plain : kListerExports) {
    EXPECT_EQ(std::count(names.begin(), names.end(), plain), 1) << plain;
  }
  for (const char* routine : kOwnRoutines) {
    EXPECT_EQ(std::count(names.begin(), names.end(), routine), 0) << routine << " exported plain";
    auto decorated = std::count_if(names.begin(), names.end(), [&](const std::string& name) {
      return name != routine && name.find(routine) != std::string::npos &&
             name.find(std::string(routine) + "@") == std::string::npos;
    });
    EXPECT_EQ(decorated, 1) << routine << " not exported under a decorated name";
  }
}

TEST_P(ExportTable, ImportsSystemLibrariesOnly) {
  const std::set<std::string> system = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL",
                                        "MSVCRT.DLL"};
  std::vector<std::string> imports = ReadImportNames(BuiltPluginPath(GetParam()));
  int user32 = 0;
  for (std::string name : imports) {
    std::transform(name.begin(), name.end(), name.begin(), ::toupper);
    bool apiSet = name.rfind("API-MS-WIN-CRT-", 0) == 0;
    EXPECT_TRUE(system.count(name) == 1 || apiSet) << "imports " << name;
    user32 += name == "USER32.DLL";
  }
  EXPECT_EQ(user32, 1) << "every import is read";
}

TEST_P(ExportTable, CarriesALibraryManifestAndAVersionResourceAndNoThreadStorage) {
  std::wstring path = BuiltPluginPath(GetParam());
  EXPECT_TRUE(HasResource(path, RT_MANIFEST, MAKEINTRESOURCEW(2)));
  EXPECT_FALSE(HasResource(path, RT_MANIFEST, MAKEINTRESOURCEW(1)));
  EXPECT_TRUE(HasResource(path, RT_VERSION, MAKEINTRESOURCEW(1)));
  // A host that loads the library for each view would have the loader set up thread storage
  // for every one of its threads each time.
  EXPECT_TRUE(HasDataDirectory(path, IMAGE_DIRECTORY_ENTRY_IMPORT)) << "the reader works";
  EXPECT_FALSE(HasDataDirectory(path, IMAGE_DIRECTORY_ENTRY_TLS));
}

INSTANTIATE_TEST_SUITE_P(BothWidths, ExportTable, ::testing::Values(Width::k32, Width::k64),
                         [](const ::testing::TestParamInfo<Width>& info) {
                           return info.param == Width::k64 ? std::string("Plugin64")
                                                           : std::string("Plugin32");
                         });

// The extensions in the order the host is given them.
const char kClaimedExtensions[] =
    "ACR ANI AVIF ARW AWD B3D BMP CAM CDR CIN CLP CR2 CR3 CRW CUR DCM DDS DCR DCX DIB DJVU DNG "
    "DPX ECW EMF ERF EXR FIT FITS FPX G3 GFIE GIF HDP HEIC HEIF ICO ICS IFF IMA IMG IW44 J2K JFIF "
    "JP2 JPC JPE JPEG JPF JPG JPM JPS JLS JNG JXL JXR KDC LBM MNG MOS MPO MRC MRW MSK NEF NRW ORF "
    "QOI PBM PCD PCX PDN PEF PGM PNG PNM PPM PSB PSD PSP RAF RAS RAW RGB RLE RW2 RWL SFF SFW SGI "
    "SID SRF SRW SUN SVG SWF TGA TIF TIFF WAD WAL WB1 WBC WBZ WBMP WDP WEBP WMF WPG WSQ X3F XBM "
    "XCF XPM XR EPS PFB PRN PS";

std::string ExpectedDetectString() {
  std::string text = "MULTIMEDIA&(";
  std::string list = kClaimedExtensions;
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find(' ', start);
    if (end == std::string::npos) end = list.size();
    if (start > 0) text += "|";
    text += "EXT=\"" + list.substr(start, end - start) + "\"";
    start = end + 1;
  }
  return text + ")";
}

TEST(DetectString, ArrivesWholeWhenItAndItsTerminatorFit) {
  PluginUnderTest plugin(WithoutViewer());
  std::vector<char> buffer(1300, 'x');
  plugin.ListGetDetectString(buffer.data(), 1212);
  EXPECT_EQ(std::string(buffer.data()), ExpectedDetectString());
  EXPECT_EQ(std::strlen(buffer.data()), 1211u);
  EXPECT_EQ(buffer[1212], 'x') << "written past the length given";
}

TEST(DetectString, ClaimsEach119ExtensionsOnce) {
  PluginUnderTest plugin(WithoutViewer());
  char buffer[1212];
  plugin.ListGetDetectString(buffer, sizeof(buffer));
  std::string text(buffer);
  const std::string head = "MULTIMEDIA&(";
  ASSERT_EQ(text.rfind(head, 0), 0u);
  ASSERT_EQ(text.back(), ')');
  std::string terms = text.substr(head.size(), text.size() - head.size() - 1);
  std::vector<std::string> extensions;
  size_t start = 0;
  while (start <= terms.size()) {
    size_t end = terms.find('|', start);
    if (end == std::string::npos) end = terms.size();
    std::string term = terms.substr(start, end - start);
    ASSERT_EQ(term.rfind("EXT=\"", 0), 0u) << term;
    ASSERT_EQ(term.back(), '"') << term;
    extensions.push_back(term.substr(5, term.size() - 6));
    start = end + 1;
  }
  EXPECT_EQ(extensions.size(), 119u);
  EXPECT_EQ(std::set<std::string>(extensions.begin(), extensions.end()).size(), 119u);
  std::vector<std::string> lastFive(extensions.end() - 5, extensions.end());
  EXPECT_EQ(lastFive, (std::vector<std::string>{"XR", "EPS", "PFB", "PRN", "PS"}));
  for (const std::string& extension : extensions) {
    EXPECT_TRUE(std::none_of(extension.begin(), extension.end(), ::islower)) << extension;
  }
}

TEST(DetectString, IsEmptyWhenOneByteShortAndUntouchedForLengthZero) {
  PluginUnderTest plugin(WithoutViewer());
  std::vector<char> buffer(1211, 'x');
  plugin.ListGetDetectString(buffer.data(), 1211);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], 'x') << "a short buffer receives nothing of the string";

  char untouched[8] = "abcdefg";
  plugin.ListGetDetectString(untouched, 0);
  EXPECT_STREQ(untouched, "abcdefg");
}

TEST(AnswerOnlyFunctions, ReturnZeroForEveryArgument) {
  PluginUnderTest plugin(WithoutViewer());
  ListerWindow lister;
  for (int command : {0, 1, 2, 5, -1, 0x7FFFFFFF}) {
    EXPECT_EQ(plugin.ListSendCommand(lister.hwnd(), command, command * 3), 0);
    EXPECT_EQ(plugin.ListSendCommand(nullptr, command, 0), 0);
  }
  for (int findNext : {0, 1, -1}) {
    EXPECT_EQ(plugin.ListSearchDialog(lister.hwnd(), findNext), 0);
    EXPECT_EQ(plugin.ListSearchDialog(nullptr, findNext), 0);
  }
}

TEST(Printing, PostsNothingForAWindowWithoutChild) {
  PluginUnderTest plugin(WithoutViewer());
  ListerWindow lister;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  EXPECT_EQ(plugin.ListPrint(lister.hwnd(), nullptr, nullptr, 0, nullptr), 0);
  EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_COMMAND, WM_COMMAND, PM_NOREMOVE))
      << "a print command was posted to this thread";
}

// A host may unload the library and load it, or another build of it, again (Double Commander
// does when a load returns null, others when their settings change): the container's class must
// not outlive the window procedure it names.
using LibraryEntry = EmbeddedView;

TEST_F(LibraryEntry, UnloadingUnregistersTheContainerClassAndTheNextLoadOpensViewsAgain) {
  ASSERT_NE(Open(), nullptr);
  DestroyWindow(container_);
  ASSERT_TRUE(NoViewerLeft());
  const wchar_t* library = OwnWidth() == Width::k64 ? L"Kelvane.wlx64" : L"Kelvane.wlx";
  HMODULE unloaded = plugin_.Unload();
  ASSERT_EQ(GetModuleHandleW(library), nullptr) << "the library is still loaded";
  WNDCLASSEXW info = {};
  info.cbSize = sizeof(info);
  EXPECT_FALSE(GetClassInfoExW(unloaded, L"Kelvane", &info)) << "the class outlived its library";

  plugin_.Load();
  ASSERT_NE(Open(), nullptr);
  EXPECT_NE(viewer_, nullptr) << "the viewer was captured";
}

using PrintingTest = EmbeddedView;

TEST_F(PrintingTest, PostsThePrintCommandToTheViewerAndReturnsZero) {
  ASSERT_NE(Open(), nullptr);
  char name[] = "a.bmp";
  EXPECT_EQ(plugin_.ListPrint(container_, name, nullptr, 0, nullptr), 0);
  EXPECT_TRUE(log_.WaitForLine(L"command id=1132"));
  EXPECT_EQ(log_.First(L"command id=1132 "), L"lparam=0");
}

}  // namespace
