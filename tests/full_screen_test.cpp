// The viewer's full-screen setting: off while a view is open, as the user had it afterwards,
// also when views overlap and close in either order, and when a load fails on the way.
#include <gtest/gtest.h>
#include <windows.h>

#include "view_fixture.h"

using namespace testing_support;

namespace {

class FullScreen : public ViewTest {
 protected:
  // The viewer reads the same file the plugin works on: the default viewer INI, through an
  // INI_Folder redirect in the settings file beside the viewer program.
  void SetUp() override {
    defaultIni_ = DefaultViewerIni(plugin_, OwnWidth());
    std::wstring viewerFolder =
        plugin_.folder() + (OwnWidth() == Width::k64 ? L"Kelvane64\\" : L"Kelvane\\");
    if (viewerFolder + (OwnWidth() == Width::k64 ? L"kelv64.ini" : L"kelv32.ini") != defaultIni_) {
      WriteTextFile(viewerFolder + (OwnWidth() == Width::k64 ? L"kelv64.ini" : L"kelv32.ini"),
                    L"[Others]\r\nINI_Folder=" + plugin_.folder() + L"Kelvane\r\n");
    }
  }
  void SetUserValue(const wchar_t* value) {
    WriteTextFile(defaultIni_, std::wstring(L"[Viewing]\r\nFullScreen=") + value + L"\r\n");
  }
  std::wstring Value() const { return ReadIni(defaultIni_, L"Viewing", L"FullScreen"); }

  PluginUnderTest plugin_;
  PictureFolder pictures_;
  std::wstring defaultIni_;
};

TEST_F(FullScreen, IsSwitchedOffWhileTheViewIsOpenAndRestoredWhenItCloses) {
  SetUserValue(L"1");
  ViewerLog log;
  ListerWindow lister;
  HWND container = LoadView(plugin_, lister.hwnd(), pictures_.File(L"a.bmp"));
  ASSERT_NE(container, nullptr);
  EXPECT_EQ(log.First(L"fullscreen "), L"0") << "the viewer found it switched off";
  EXPECT_EQ(Value(), L"0");
  DestroyWindow(container);
  EXPECT_EQ(Value(), L"1");
}

TEST_F(FullScreen, AnAbsentKeyComesBackEmpty) {
  WriteTextFile(defaultIni_, L"[Viewing]\r\nZoom=3\r\n");
  ListerWindow lister;
  HWND container = LoadView(plugin_, lister.hwnd(), pictures_.File(L"a.bmp"));
  ASSERT_NE(container, nullptr);
  EXPECT_EQ(Value(), L"0");
  DestroyWindow(container);
  EXPECT_EQ(Value(), L"") << "written back empty, not removed";
  EXPECT_EQ(ReadIni(defaultIni_, L"Viewing", L"Zoom"), L"3");
}

TEST_F(FullScreen, OverlappingViewsGiveTheUsersValueBackInEitherClosingOrder) {
  for (bool firstClosesFirst : {true, false}) {
    SetUserValue(L"1");
    ListerWindow first;
    ListerWindow second;
    HWND a = LoadView(plugin_, first.hwnd(), pictures_.File(L"a.bmp"));
    ASSERT_NE(a, nullptr);
    HWND b = LoadView(plugin_, second.hwnd(), pictures_.File(L"b.bmp"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Value(), L"0");
    DestroyWindow(firstClosesFirst ? a : b);
    EXPECT_EQ(Value(), L"0") << "one view is still open";
    DestroyWindow(firstClosesFirst ? b : a);
    EXPECT_EQ(Value(), L"1") << (firstClosesFirst ? "first closed first" : "second closed first");
    ASSERT_TRUE(NoViewerLeft());
  }
}

TEST_F(FullScreen, ViewsOnDifferentSettingsFilesEachGiveTheirOwnValueBack) {
  TempFolder config(L"cfg");
  std::wstring quickIni =
      config.path() + (OwnWidth() == Width::k64 ? L"kelv64.ini" : L"kelv32.ini");
  WriteTextFile(quickIni, L"[Viewing]\r\nFullScreen=quick\r\n");
  WriteTextFile(plugin_.folder() + L"kelvane.ini",
                L"[Kelvane]\r\nDirIniQ=" + config.path() + L"\r\n");
  SetUserValue(L"lister");
  ListerWindow lister;
  MainWindow host;
  HWND a = LoadView(plugin_, lister.hwnd(), pictures_.File(L"a.bmp"));
  ASSERT_NE(a, nullptr);
  HWND b = LoadView(plugin_, host.quickView(), pictures_.File(L"b.bmp"));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(Value(), L"0");
  EXPECT_EQ(ReadIni(quickIni, L"Viewing", L"FullScreen"), L"0");
  DestroyWindow(a);
  EXPECT_EQ(Value(), L"lister");
  DestroyWindow(b);
  EXPECT_EQ(ReadIni(quickIni, L"Viewing", L"FullScreen"), L"quick");
}

TEST_F(FullScreen, IsRestoredWhenTheViewerCannotBeStarted) {
  // A picture named as the viewer program exists but does not start; its binary type is
  // unknown, so the plugin takes it for a 32-bit viewer.
  WriteTextFile(plugin_.folder() + L"kelvane.ini",
                L"[Kelvane]\r\n" + std::wstring(OwnWidth() == Width::k64 ? L"path64" : L"path") +
                    L"=" + pictures_.File(L"a.bmp") + L"\r\n");
  std::wstring ini = DefaultViewerIni(plugin_, Width::k32);
  WriteTextFile(ini, L"[Viewing]\r\nFullScreen=1\r\n");
  ListerWindow lister;
  EXPECT_EQ(LoadView(plugin_, lister.hwnd(), pictures_.File(L"a.bmp")), nullptr);
  EXPECT_EQ(GetWindow(lister.hwnd(), GW_CHILD), nullptr) << "the container was destroyed";
  EXPECT_EQ(ReadIni(ini, L"Viewing", L"FullScreen"), L"1");
}

}  // namespace

// Another program holds the viewer settings file open for reading only: the plugin's writes fail.
// The view still opens, and the file is left exactly as the user had it.
TEST_F(FullScreen, AViewerSettingsFileThatCannotBeWrittenIsLeftAsItWas) {
  SetUserValue(L"1");
  std::string before = ReadFileBytes(defaultIni_);
  HANDLE lock = CreateFileW(defaultIni_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  ViewerLog log;
  ListerWindow lister;
  HWND container = LoadView(plugin_, lister.hwnd(), pictures_.File(L"a.bmp"));
  EXPECT_NE(container, nullptr);
  EXPECT_EQ(log.First(L"fullscreen "), L"1")
      << "the switch could not be written, so the viewer read the user's value";
  EXPECT_EQ(ReadFileBytes(defaultIni_), before);
  if (container != nullptr) {
    EXPECT_NE(GetWindow(container, GW_CHILD), nullptr) << "the viewer's window was captured";
    DestroyWindow(container);
  }
  EXPECT_EQ(ReadFileBytes(defaultIni_), before);
  CloseHandle(lock);
  EXPECT_EQ(Value(), L"1");
}
