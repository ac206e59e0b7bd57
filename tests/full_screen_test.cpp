// The viewer's full-screen setting: off while a view is open, as the user had it afterwards,
// also when views overlap and close in either order, and when a load fails on the way.
#include <gtest/gtest.h>
#include <windows.h>

#include "view_fixture.h"

using namespace testing_support;

namespace {

using FullScreen = EmbeddedView;

TEST_F(FullScreen, IsSwitchedOffWhileTheViewIsOpenAndRestoredWhenItCloses) {
  SetUserFullScreen(L"1");
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(log_.First(L"fullscreen "), L"0") << "the viewer found it switched off";
  EXPECT_EQ(FullScreenValue(), L"0");
  DestroyWindow(container_);
  EXPECT_EQ(FullScreenValue(), L"1");
}

TEST_F(FullScreen, AnAbsentKeyComesBackEmpty) {
  WriteTextFile(viewerIni_, L"[Viewing]\r\nZoom=3\r\n");
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(FullScreenValue(), L"0");
  DestroyWindow(container_);
  EXPECT_EQ(FullScreenValue(), L"") << "written back empty, not removed";
  EXPECT_EQ(ReadIni(viewerIni_, L"Viewing", L"Zoom"), L"3");
}

TEST_F(FullScreen, OverlappingViewsGiveTheUsersValueBackInEitherClosingOrder) {
  for (bool firstClosesFirst : {true, false}) {
    SetUserFullScreen(L"1");
    ListerWindow first;
    ListerWindow second;
    HWND a = LoadView(plugin_, first.hwnd(), pictures_.File(L"a.bmp"));
    ASSERT_NE(a, nullptr);
    HWND b = LoadView(plugin_, second.hwnd(), pictures_.File(L"b.bmp"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(FullScreenValue(), L"0");
    DestroyWindow(firstClosesFirst ? a : b);
    EXPECT_EQ(FullScreenValue(), L"0") << "one view is still open";
    DestroyWindow(firstClosesFirst ? b : a);
    EXPECT_EQ(FullScreenValue(), L"1")
        << (firstClosesFirst ? "first closed first" : "second closed first");
    ASSERT_TRUE(NoViewerLeft());
  }
}

TEST_F(FullScreen, ViewsOnDifferentSettingsFilesEachGiveTheirOwnValueBack) {
  TempFolder config(L"cfg");
  std::wstring quickIni = config.path() + ViewerIniName(OwnWidth());
  WriteTextFile(quickIni, L"[Viewing]\r\nFullScreen=quick\r\n");
  WriteTextFile(plugin_.folder() + L"kelvane.ini",
                L"[Kelvane]\r\nDirIniQ=" + config.path() + L"\r\n");
  SetUserFullScreen(L"lister");
  MainWindow host;
  ASSERT_NE(Open(), nullptr);
  HWND b = LoadView(plugin_, host.quickView(), pictures_.File(L"b.bmp"));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(FullScreenValue(), L"0");
  EXPECT_EQ(ReadIni(quickIni, L"Viewing", L"FullScreen"), L"0");
  DestroyWindow(container_);
  EXPECT_EQ(FullScreenValue(), L"lister");
  DestroyWindow(b);
  EXPECT_EQ(ReadIni(quickIni, L"Viewing", L"FullScreen"), L"quick");
}

TEST_F(FullScreen, IsRestoredWhenTheViewerCannotBeStartedOrTheContainerCannotBeMade) {
  // A picture named as the viewer program exists but does not start; its binary type is
  // unknown, so the plugin takes it for a 32-bit viewer.
  WriteTextFile(plugin_.folder() + L"kelvane.ini", std::wstring(L"[Kelvane]\r\n") +
                                                       PathKey(OwnWidth()) + L"=" +
                                                       pictures_.File(L"a.bmp") + L"\r\n");
  std::wstring ini = DefaultViewerIni(plugin_, Width::k32);
  WriteTextFile(ini, L"[Viewing]\r\nFullScreen=1\r\n");
  EXPECT_EQ(Open(), nullptr);
  EXPECT_EQ(GetWindow(listerSide_, GW_CHILD), nullptr) << "the container was destroyed";
  EXPECT_EQ(ReadIni(ini, L"Viewing", L"FullScreen"), L"1");
  // A Lister window that is gone by the time of the load takes no child window.
  HWND gone = ListerWindow().hwnd();
  EXPECT_EQ(LoadView(plugin_, gone, pictures_.File(L"a.bmp")), nullptr);
  EXPECT_EQ(ReadIni(ini, L"Viewing", L"FullScreen"), L"1") << "the container was never made";
}

// Another program holds the viewer settings file open for reading only: the plugin's writes fail.
// The view still opens, and the file is left exactly as the user had it.
TEST_F(FullScreen, AViewerSettingsFileThatCannotBeWrittenIsLeftAsItWas) {
  SetUserFullScreen(L"1");
  std::string before = ReadFileBytes(viewerIni_);
  HANDLE lock = CreateFileW(viewerIni_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_NE(Open(), nullptr);
  EXPECT_EQ(log_.First(L"fullscreen "), L"1")
      << "the switch could not be written, so the viewer read the user's value";
  EXPECT_EQ(ReadFileBytes(viewerIni_), before);
  EXPECT_NE(viewer_, nullptr) << "the viewer's window was captured";
  if (container_ != nullptr) DestroyWindow(container_);
  EXPECT_EQ(ReadFileBytes(viewerIni_), before);
  CloseHandle(lock);
  EXPECT_EQ(FullScreenValue(), L"1");
}

}  // namespace
