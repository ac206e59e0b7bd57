// The caption routine through the exported WindowCaption: the Lister caption in Lister mode,
// the display text painted over the path bar in quick view (the painting itself is tested in
// path_bar_test.cpp).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "view_fixture.h"

using namespace testing_support;

namespace {

std::wstring CaptionFor(const PluginUnderTest& plugin, const std::wstring& viewerTitle) {
  ListerWindow lister;
  SetWindowTextW(lister.hwnd(), L"unchanged");
  TitledWindow viewer(viewerTitle);
  EXPECT_EQ(plugin.WindowCaption(viewer.hwnd(), lister.hwnd()), nullptr);
  return TitleOf(lister.hwnd());
}

TEST(ListerCaption, NamesTheFileTheViewerShows) {
  PluginUnderTest plugin(WithoutViewer());
  EXPECT_EQ(CaptionFor(plugin, L"photo.jpg - Kelvane"), L"Lister (kelvane) - [photo.jpg]");
  EXPECT_EQ(CaptionFor(plugin, L"C:\\pics\\photo.jpg - Kelvane"),
            L"Lister (kelvane) - [C:\\pics\\photo.jpg]");
  EXPECT_EQ(CaptionFor(plugin, L"Kelvane"), L"Lister (kelvane) - [Kelvane]");
  EXPECT_EQ(CaptionFor(plugin, L" - Kelvane"), L"unchanged");
  EXPECT_EQ(CaptionFor(plugin, L""), L"unchanged");
  EXPECT_EQ(CaptionFor(plugin, L"x"), L"Lister (kelvane) - [x]");
}

TEST(ListerCaption, CutsAtTheFirstExactOccurrenceOfTheSuffix) {
  PluginUnderTest plugin(WithoutViewer());
  EXPECT_EQ(CaptionFor(plugin, L"a.png - Kelvane - Kelvane"), L"Lister (kelvane) - [a.png]");
  EXPECT_EQ(CaptionFor(plugin, L"a.png - Kelvane extra"), L"Lister (kelvane) - [a.png]");
  EXPECT_EQ(CaptionFor(plugin, L"a.png - kelvane"), L"Lister (kelvane) - [a.png - kelvane]");
  EXPECT_EQ(CaptionFor(plugin, L"my - Kelvane.png - Kelvane"), L"Lister (kelvane) - [my]");
}

TEST(ListerCaption, TakesTheViewersNameFromTheLibrarysFileName) {
  PluginUnderTest other(WithLibraryName(OwnWidth() == Width::k64 ? L"Other.wlx64" : L"Other.wlx"));
  EXPECT_EQ(CaptionFor(other, L"a.png - Kelvane"), L"Lister (other) - [a.png - Kelvane]");
  EXPECT_EQ(CaptionFor(other, L"a.png - Other"), L"Lister (other) - [a.png]");
  PluginUnderTest dotted(
      WithLibraryName(OwnWidth() == Width::k64 ? L"Kelvane.old.wlx64" : L"Kelvane.old.wlx"));
  EXPECT_EQ(CaptionFor(dotted, L"a.png - Kelvane.old"), L"Lister (kelvane.old) - [a.png]");
}

TEST(ListerCaption, ALongestTitleIsSetWhole) {
  PluginUnderTest plugin(WithoutViewer());
  std::wstring name(259, L'n');
  std::wstring caption = CaptionFor(plugin, name);
  EXPECT_EQ(caption, L"Lister (kelvane) - [" + name + L"]");
  EXPECT_EQ(caption.size(), 7u + 273u);
  // A title longer than the viewer title's bound is read as its first 259 characters.
  EXPECT_EQ(CaptionFor(plugin, std::wstring(300, L'm')),
            L"Lister (kelvane) - [" + std::wstring(259, L'm') + L"]");
}

TEST(ListerCaption, ANullOrUntitledSourceChangesNothingInEitherMode) {
  PluginUnderTest plugin(WithoutViewer());
  ListerWindow lister;
  SetWindowTextW(lister.hwnd(), L"unchanged");
  EXPECT_EQ(plugin.WindowCaption(nullptr, lister.hwnd()), nullptr);
  EXPECT_EQ(TitleOf(lister.hwnd()), L"unchanged");
  MainWindow host;
  host.PaintPathBars(RGB(1, 2, 3));
  EXPECT_EQ(plugin.WindowCaption(nullptr, host.quickView()), nullptr);
  TitledWindow untitled(L"");
  EXPECT_EQ(plugin.WindowCaption(untitled.hwnd(), host.quickView()), nullptr);
  EXPECT_EQ(MainWindow::PixelAt(host.leftPathBar(), 5, 5), RGB(1, 2, 3)) << "nothing painted";
  EXPECT_EQ(TitleOf(host.quickView()), L"") << "quick view sets no caption";
}

// The caption routine also runs on the viewer's thread, from the hooks, and asks the host's
// windows from there: a host busy with other work must not stall the viewer's input.
TEST(ListerCaption, AHostThatHandlesNoMessagesHoldsTheCallerLessThanASecondInEitherMode) {
  PluginUnderTest plugin(WithoutViewer());
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HWND lister = nullptr;
  HWND quickView = nullptr;
  std::thread busyHost([&] {
    ListerWindow ownLister;
    MainWindow host;
    lister = ownLister.hwnd();
    quickView = host.quickView();
    SetEvent(ready);
    WaitForSingleObject(release, 20000);
  });
  ASSERT_EQ(WaitForSingleObject(ready, 10000), WAIT_OBJECT_0);
  TitledWindow viewer(L"photo.jpg - Kelvane");
  for (HWND target : {lister, quickView}) {
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(plugin.WindowCaption(viewer.hwnd(), target), nullptr);
    EXPECT_LT(GetTickCount64() - start, 1200u) << (target == lister ? "Lister" : "quick view");
  }
  SetEvent(release);
  busyHost.join();
  CloseHandle(ready);
  CloseHandle(release);
}

}  // namespace
