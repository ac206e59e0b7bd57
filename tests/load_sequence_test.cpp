// Opening a view the way the host does: settings file, viewer paths, command line, Ghostscript
// hand-over and capture, with the real plugin and the stand-in viewer in their own processes.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "view_fixture.h"

using namespace testing_support;

namespace {

std::wstring DefaultViewerRelative() {
  return OwnWidth() == Width::k64 ? L"Kelvane64\\kelv64.exe" : L"Kelvane\\kelv32.exe";
}

class ViewerWidths : public ViewTest, public ::testing::WithParamInterface<Width> {
 protected:
  void SetUp() override {
    if (!StartsProgramsOf(GetParam())) GTEST_SKIP() << kNo32BitPrograms;
  }
};

std::string WidthParamName(const ::testing::TestParamInfo<Width>& info) {
  return info.param == OwnWidth() ? "SameWidthViewer" : "OtherWidthViewer";
}

TEST_P(ViewerWidths, ListerModeStartsTheViewerWithTheQuotedNameAndCapturesItsWindow) {
  PluginUnderTest plugin(WithoutViewer());
  plugin.UseViewer(GetParam());
  PictureFolder pictures;
  ViewerLog log;
  ListerWindow lister;
  HWND container = LoadView(plugin, lister.hwnd(), pictures.File(L"a.bmp"));
  ASSERT_NE(container, nullptr);

  EXPECT_EQ(log.First(L"cmdline "), L"kelv32.exe \"" + pictures.File(L"a.bmp") + L"\"");
  EXPECT_EQ(GetParent(container), lister.hwnd());
  wchar_t className[64] = {};
  GetClassNameW(container, className, 64);
  EXPECT_STREQ(className, L"Kelvane");
  EXPECT_EQ(GetWindowLongW(container, GWL_STYLE) & ~WS_CLIPSIBLINGS,
            static_cast<LONG>(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN));
  EXPECT_EQ(GetWindowLongW(container, GWL_EXSTYLE) &
                (WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE),
            0)
      << "no frame inside the Lister";

  HWND viewer = ViewerWindowOf(container);
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(GetWindow(viewer, GW_HWNDNEXT), nullptr) << "the viewer is the container's only child";
  GetClassNameW(viewer, className, 64);
  EXPECT_STREQ(className, L"Kelvane");
  EXPECT_EQ(std::to_wstring(ProcessOf(viewer)),
            log.First(L"start pid=").substr(0, log.First(L"start pid=").find(L' ')));
  LONG style = GetWindowLongW(viewer, GWL_STYLE);
  EXPECT_EQ(style & ~(WS_VISIBLE | WS_MAXIMIZE | WS_CLIPSIBLINGS), static_cast<LONG>(WS_CHILD))
      << std::hex << style;
  EXPECT_TRUE(style & WS_VISIBLE);

  DestroyWindow(container);
  EXPECT_TRUE(NoViewerLeft()) << "the viewer ends with its window";
}

TEST_P(ViewerWidths, QuickViewPassesTheModeFolderAndUsesTheSettingsNameOfTheViewersWidth) {
  TempFolder config(L"cfg");
  WriteTextFile(config.path() + ViewerIniName(GetParam()), L"[Viewing]\r\nFullScreen=1\r\n");
  PluginUnderTest plugin(WithoutViewer());
  plugin.UseViewer(GetParam(), L"DirIniQ=" + config.path() + L"\r\nDirIniL=C:\\nowhere\\\r\n");
  PictureFolder pictures;
  ViewerLog log;
  MainWindow host;
  HWND container = LoadView(plugin, host.quickView(), pictures.File(L"b.bmp"));
  ASSERT_NE(container, nullptr);

  EXPECT_EQ(log.First(L"cmdline "),
            L"kelv32.exe \"" + pictures.File(L"b.bmp") + L"\" /ini=\"" + config.path() + L"\"");
  EXPECT_EQ(log.First(L"ini "), config.path() + ViewerIniName(GetParam()));
  EXPECT_EQ(log.First(L"fullscreen "), L"0") << "the viewer starts windowed";
  EXPECT_EQ(ReadIni(config.path() + ViewerIniName(GetParam()), L"Viewing", L"FullScreen"), L"0");
  DestroyWindow(container);
  EXPECT_EQ(ReadIni(config.path() + ViewerIniName(GetParam()), L"Viewing", L"FullScreen"), L"1");
}

TEST_P(ViewerWidths, ListerModeIgnoresTheQuickViewFolderAndWorksOnTheDefaultViewerIni) {
  TempFolder config(L"cfg");
  WriteTextFile(config.path() + ViewerIniName(GetParam()), L"[Viewing]\r\nFullScreen=1\r\n");
  PluginUnderTest plugin(WithoutViewer());
  plugin.UseViewer(GetParam(), L"DirIniQ=" + config.path() + L"\r\n");
  std::wstring defaultIni = DefaultViewerIni(plugin, GetParam());
  WriteTextFile(defaultIni, L"[Viewing]\r\nFullScreen=1\r\n");
  PictureFolder pictures;
  ViewerLog log;
  ListerWindow lister;
  HWND container = LoadView(plugin, lister.hwnd(), pictures.File(L"a.bmp"));
  ASSERT_NE(container, nullptr);
  EXPECT_EQ(log.First(L"cmdline "), L"kelv32.exe \"" + pictures.File(L"a.bmp") + L"\"");
  EXPECT_EQ(ReadIni(defaultIni, L"Viewing", L"FullScreen"), L"0");
  EXPECT_EQ(ReadIni(config.path() + ViewerIniName(GetParam()), L"Viewing", L"FullScreen"), L"1");
  DestroyWindow(container);
  EXPECT_EQ(ReadIni(defaultIni, L"Viewing", L"FullScreen"), L"1");
}

TEST_P(ViewerWidths, GhostscriptKeysGoToTheDefaultViewerIniAndGsLibReachesTheViewer) {
  std::wstring otherKey = PathKey(GetParam() == Width::k64 ? Width::k32 : Width::k64);
  PluginUnderTest plugin(WithoutViewer());
  plugin.UseViewer(GetParam(), L"[Ghostscript]\r\n" + std::wstring(PathKey(GetParam())) +
                                   L"=C:\\gs\\bin\\gsdll.dll\r\n" + otherKey +
                                   L"=D:\\wrong\\bin\\wrong.dll\r\n");
  // The settings path of both viewer builds lies in "Kelvane\", which a 64-bit install may lack.
  std::wstring defaultIni = DefaultViewerIni(plugin, GetParam());
  WriteTextFile(defaultIni, L"[Viewing]\r\nFullScreen=0\r\n");
  PictureFolder pictures;
  ViewerLog log;
  ListerWindow lister;
  HWND container = LoadView(plugin, lister.hwnd(), pictures.File(L"a.bmp"));
  ASSERT_NE(container, nullptr);
  EXPECT_EQ(ReadIni(defaultIni, L"Ghostscript", L"GS_Location"), L"1");
  EXPECT_EQ(ReadIni(defaultIni, L"Ghostscript", L"GS_DLL"), L"C:\\gs\\bin\\gsdll.dll");
  EXPECT_EQ(log.First(L"env GS_LIB="), L"C:\\gs\\bin\\;C:\\gs\\fonts\\;C:\\gs\\lib\\");
  DestroyWindow(container);
}

INSTANTIATE_TEST_SUITE_P(BothViewerBuilds, ViewerWidths, ::testing::Values(Width::k32, Width::k64),
                         WidthParamName);

class LoadSequence : public ViewTest {};

TEST_F(LoadSequence, PassesANonAsciiNameUnchanged) {
  PluginUnderTest plugin;
  PictureFolder pictures;
  std::wstring name = pictures.File(L"\u00DCn\u00EFc\u00F8d\u00E9 \u7167\u7247 \u0416.bmp");
  PictureFolder::WriteBitmap(name);
  ViewerLog log;
  ListerWindow lister;
  HWND container = LoadView(plugin, lister.hwnd(), name);
  ASSERT_NE(container, nullptr);
  EXPECT_EQ(log.First(L"cmdline "), L"kelv32.exe \"" + name + L"\"");
  DestroyWindow(container);
}

TEST_F(LoadSequence, AnsiEntryOpensTheSameViewAsTheWideOne) {
  PluginUnderTest plugin;
  PictureFolder pictures;
  std::wstring wide = pictures.File(L"caf\u00E9.bmp");
  BOOL lossy = FALSE;
  char ansi[MAX_PATH] = {};
  ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, ansi, MAX_PATH, nullptr, &lossy), 0);
  ASSERT_FALSE(lossy) << "the test name must be representable in the ANSI code page " << GetACP();
  PictureFolder::WriteBitmap(wide);

  std::wstring wideLine;
  {
    ViewerLog log;
    ListerWindow lister;
    HWND container = LoadView(plugin, lister.hwnd(), wide);
    ASSERT_NE(container, nullptr);
    wideLine = log.First(L"cmdline ");
    DestroyWindow(container);
  }
  ASSERT_TRUE(NoViewerLeft());
  ViewerLog log;
  ListerWindow lister;
  HWND container = plugin.ListLoad(lister.hwnd(), ansi, 0);
  ASSERT_NE(container, nullptr);
  EXPECT_EQ(log.First(L"cmdline "), wideLine);
  EXPECT_EQ(wideLine, L"kelv32.exe \"" + wide + L"\"");
  EXPECT_NE(ViewerWindowOf(container), nullptr);
  DestroyWindow(container);
}

TEST_F(LoadSequence, FirstRunCreatesTheSettingsFileWithTwoEmptySectionsAndFindsTheDefaultViewer) {
  PluginUnderTest plugin;  // no kelvane.ini; viewer at its default place
  std::wstring settings = plugin.folder() + L"kelvane.ini";
  ASSERT_FALSE(FileExists(settings));
  PictureFolder pictures;
  ViewerLog log;
  MessageBoxCatcher boxes;
  ListerWindow lister;
  HWND container = LoadView(plugin, lister.hwnd(), pictures.File(L"a.bmp"));
  ASSERT_NE(container, nullptr);
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(ReadTextFile(settings), L"[Kelvane]\r\n[Ghostscript]\r\n");
  DestroyWindow(container);
}

TEST_F(LoadSequence, MissingViewerIsReportedAndNothingOpens) {
  PluginUnderTest plugin(WithoutViewer());
  PictureFolder pictures;
  MessageBoxCatcher boxes;
  ListerWindow lister;
  EXPECT_EQ(LoadView(plugin, lister.hwnd(), pictures.File(L"a.bmp")), nullptr);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  const CapturedMessageBox& box = boxes.boxes()[0];
  EXPECT_EQ(box.text, L"I can't find the " + plugin.folder() + DefaultViewerRelative() +
                          L" in the path specified in the file kelvane.ini");
  EXPECT_FALSE(box.caption.empty()) << "the system's default caption";
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_TRUE(box.hasOkButton);
  EXPECT_FALSE(box.hasCancelButton);
  EXPECT_EQ(GetWindow(lister.hwnd(), GW_CHILD), nullptr) << "no window was created";
  EXPECT_EQ(ReadTextFile(plugin.folder() + L"kelvane.ini"), L"[Kelvane]\r\n[Ghostscript]\r\n");
}

TEST_F(LoadSequence, AViewerPathThatNamesAFolderPassesTheExistenceTest) {
  // The start then fails: no message, no window, nothing left behind.
  PluginUnderTest plugin(
      WithSettings(std::wstring(L"[Kelvane]\r\n") + PathKey(OwnWidth()) + L"=%TEMP%\r\n", false));
  PictureFolder pictures;
  MessageBoxCatcher boxes;
  ListerWindow lister;
  EXPECT_EQ(LoadView(plugin, lister.hwnd(), pictures.File(L"a.bmp")), nullptr);
  EXPECT_TRUE(boxes.boxes().empty());
  EXPECT_EQ(GetWindow(lister.hwnd(), GW_CHILD), nullptr);
}

TEST_F(LoadSequence, MissingModeIniFileIsReportedAfterTheGhostscriptHandOver) {
  TempFolder config(L"cfg");
  Width viewer = OwnWidth();
  PluginUnderTest plugin(WithSettings(L"[Kelvane]\r\nDirIniL=" + config.path() +
                                      L"\r\n[Ghostscript]\r\n" + PathKey(viewer) +
                                      L"=C:\\gs\\bin\\gs.dll\r\n"));
  std::wstring defaultIni = DefaultViewerIni(plugin, viewer);
  WriteTextFile(defaultIni, L"[Others]\r\nINI_Folder=\r\n");
  PictureFolder pictures;
  MessageBoxCatcher boxes;
  ListerWindow lister;
  EXPECT_EQ(LoadView(plugin, lister.hwnd(), pictures.File(L"a.bmp")), nullptr);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text,
            L"I can't find the file " + config.path() + ViewerIniName(viewer));
  EXPECT_EQ(ReadIni(defaultIni, L"Ghostscript", L"GS_Location"), L"1");
  EXPECT_EQ(ReadIni(defaultIni, L"Ghostscript", L"GS_DLL"), L"C:\\gs\\bin\\gs.dll");
  EXPECT_EQ(ReadIni(defaultIni, L"Viewing", L"FullScreen"), kAbsent) << "FullScreen untouched";
  EXPECT_TRUE(RunningViewerProcesses().empty()) << "no viewer was started";
}

TEST_F(LoadSequence, AGhostscriptPathThatIsEmptyOrTooLongHandsNothingOverAndTheViewOpens) {
  // Ghostscript serves only the PostScript family, and DirIniQ only quick view: the view opens
  // without the hand-over, and without a word. A path too long as written is left out even
  // where its expansion would fit: what was read of it is cut.
  std::wstring key = PathKey(OwnWidth());
  std::wstring tooLong = L"C:\\" + std::wstring(300, L'x');
  std::wstring shrinking;
  for (int i = 0; i < 25; ++i) shrinking += L"%KELVTEST_X%";
  ScopedEnvironment x(L"KELVTEST_X", L"x");
  PluginUnderTest plugin;
  std::wstring viewerIni = DefaultViewerIni(plugin, OwnWidth());
  PictureFolder pictures;
  ScopedEnvironment gsLib(L"GS_LIB", L"as before");
  for (const std::wstring& settings :
       {L"[Kelvane]\r\n[Ghostscript]\r\n" + key + L"=\r\n",
        L"[Kelvane]\r\nDirIniQ=" + tooLong + L"\r\n[Ghostscript]\r\n" + key + L"=" + tooLong +
            L"\\gs.dll\r\n",
        L"[Kelvane]\r\n[Ghostscript]\r\n" + key + L"=C:\\gs\\" + shrinking + L"\\gs.dll\r\n"}) {
    WriteSettingsFile(plugin.folder() + L"kelvane.ini", settings);
    ListerWindow lister;
    MessageBoxCatcher boxes;
    HWND container = LoadView(plugin, lister.hwnd(), pictures.File(L"a.bmp"));
    EXPECT_NE(container, nullptr) << Narrow(settings);
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(ReadIni(viewerIni, L"Ghostscript", L"GS_Location"), kAbsent) << Narrow(settings);
    EXPECT_EQ(ReadIni(viewerIni, L"Ghostscript", L"GS_DLL"), kAbsent);
    std::wstring value;
    EXPECT_TRUE(ReadEnvironment(L"GS_LIB", &value));
    EXPECT_EQ(value, L"as before");
    if (container != nullptr) DestroyWindow(container);
    ASSERT_TRUE(NoViewerLeft());
  }
}

TEST_F(LoadSequence, ExpandsEnvironmentReferencesAndLeavesUndefinedOnesAsWritten) {
  TempFolder config(L"cfg");
  Width viewer = OwnWidth();
  WriteTextFile(config.path() + ViewerIniName(viewer), L"[Viewing]\r\nFullScreen=0\r\n");
  ScopedEnvironment cfg(L"KELVTEST_CFG", config.path().c_str());
  PluginUnderTest plugin(
      WithSettings(L"[Kelvane]\r\nDirIniL=%KELVTEST_CFG%\r\nDirIniQ=%KELVTEST_UNDEFINED%\\\r\n"));
  PictureFolder pictures;
  {
    ViewerLog log;
    ListerWindow lister;
    HWND container = LoadView(plugin, lister.hwnd(), pictures.File(L"a.bmp"));
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(log.First(L"cmdline "),
              L"kelv32.exe \"" + pictures.File(L"a.bmp") + L"\" /ini=\"" + config.path() + L"\"");
    DestroyWindow(container);
  }
  MessageBoxCatcher boxes;
  MainWindow host;
  EXPECT_EQ(LoadView(plugin, host.quickView(), pictures.File(L"a.bmp")), nullptr);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text,
            std::wstring(L"I can't find the file %KELVTEST_UNDEFINED%\\") + ViewerIniName(viewer));
}

TEST_F(LoadSequence, GhostscriptKeysFollowTheViewerIniRedirectButNotTheModeIni) {
  TempFolder config(L"cfg");
  TempFolder redirected(L"redirect");
  Width viewer = OwnWidth();
  WriteTextFile(config.path() + ViewerIniName(viewer), L"[Viewing]\r\nFullScreen=0\r\n");
  ScopedEnvironment where(L"KELVTEST_REDIRECT", redirected.path().c_str());
  PluginUnderTest plugin(WithSettings(L"[Kelvane]\r\nDirIniL=" + config.path() +
                                      L"\r\n[Ghostscript]\r\n" + PathKey(viewer) +
                                      L"=C:\\gs.dll\r\n"));
  // The folder ends in a backslash, so the redirected name holds a doubled one.
  WriteTextFile(DefaultViewerIni(plugin, viewer),
                L"[Others]\r\nINI_Folder=%KELVTEST_REDIRECT%\r\n");
  PictureFolder pictures;
  ViewerLog log;
  ListerWindow lister;
  HWND container = LoadView(plugin, lister.hwnd(), pictures.File(L"a.bmp"));
  ASSERT_NE(container, nullptr);
  std::wstring target = redirected.path() + L"\\" + ViewerIniName(viewer);
  EXPECT_EQ(ReadIni(target, L"Ghostscript", L"GS_DLL"), L"C:\\gs.dll");
  EXPECT_EQ(ReadIni(target, L"Ghostscript", L"GS_Location"), L"1");
  EXPECT_EQ(ReadIni(DefaultViewerIni(plugin, viewer), L"Ghostscript", L"GS_DLL"), kAbsent);
  EXPECT_EQ(ReadIni(config.path() + ViewerIniName(viewer), L"Ghostscript", L"GS_DLL"), kAbsent);
  EXPECT_EQ(log.First(L"env GS_LIB="), L"C:\\;C:\\fonts\\;C:\\lib\\");
  DestroyWindow(container);
}

TEST_F(LoadSequence, RefusesNamesThatWouldBreakOrOverflowTheCommandLine) {
  PluginUnderTest plugin;
  PictureFolder pictures;
  MessageBoxCatcher boxes;
  ListerWindow lister;
  EXPECT_EQ(LoadView(plugin, lister.hwnd(), pictures.path() + L"a\" /ini=\"C:\\evil\\.bmp"),
            nullptr);
  std::wstring longName = pictures.path() + std::wstring(520, L'x') + L".bmp";
  EXPECT_EQ(LoadView(plugin, lister.hwnd(), longName), nullptr);
  EXPECT_EQ(plugin.ListLoadW(lister.hwnd(), nullptr, 0), nullptr);
  EXPECT_EQ(plugin.ListLoad(lister.hwnd(), nullptr, 0), nullptr);
  std::string longAnsi = "C:\\" + std::string(300, 'a') + ".bmp";
  EXPECT_EQ(plugin.ListLoad(lister.hwnd(), &longAnsi[0], 0), nullptr)
      << "its conversion does not fit";
  EXPECT_TRUE(RunningViewerProcesses().empty()) << "no viewer started with a cut or broken name";
  EXPECT_EQ(GetWindow(lister.hwnd(), GW_CHILD), nullptr);
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(LoadSequence, TheHostsMaximizedListerIsShownThroughTheViewerWindowInListerModeOnly) {
  PluginUnderTest plugin;
  PictureFolder pictures;
  struct Case {
    const wchar_t* maximized;
    bool listerShown;
  };
  for (Case c : {Case{L"21", false}, Case{L"1", false}, Case{L"0", true}, Case{L"", true}}) {
    HostSettings settings(std::wstring(L"[Lister]\r\nMaximized=") + c.maximized + L"\r\n");
    ListerWindow lister;
    ShowWindow(lister.hwnd(), SW_HIDE);
    HWND container = LoadView(plugin, lister.hwnd(), pictures.File(L"a.bmp"));
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(IsWindowVisible(lister.hwnd()) != FALSE, c.listerShown)
        << "Maximized=" << Narrow(c.maximized);
    DestroyWindow(container);
    ASSERT_TRUE(NoViewerLeft());
  }
  HostSettings settings(L"[Lister]\r\nMaximized=1\r\n");
  MainWindow host;
  ShowWindow(host.quickView(), SW_HIDE);
  HWND container = LoadView(plugin, host.quickView(), pictures.File(L"a.bmp"));
  ASSERT_NE(container, nullptr);
  EXPECT_TRUE(IsWindowVisible(host.quickView())) << "quick view always shows the Lister window";
  DestroyWindow(container);
}

// In quick view the user goes on from picture to picture in the host's file list: the keyboard
// stays there. A Lister window of its own takes it, whichever window had it.
TEST_F(LoadSequence, AQuickViewLoadLeavesTheFocusWithTheHostsWindowAndAListerTakesIt) {
  PluginUnderTest plugin;
  PictureFolder pictures;
  MainWindow host;
  ListerWindow lister;
  for (HWND listerSide : {lister.hwnd(), host.quickView()}) {
    SetFocus(host.leftFileList());
    ASSERT_EQ(GetFocus(), host.leftFileList());
    HWND container = LoadView(plugin, listerSide, pictures.File(L"a.bmp"));
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(GetFocus(), listerSide == lister.hwnd() ? lister.hwnd() : host.leftFileList())
        << (listerSide == lister.hwnd() ? "Lister mode" : "quick view");
    DestroyWindow(container);
    ASSERT_TRUE(NoViewerLeft());
  }
}

// In quick view every step to the next picture is a load, and a host may unload the library in
// between: the message comes once per process.
TEST_F(LoadSequence, AnUnwritablePluginFolderIsReportedOnceAndEveryLoadGoesOnWithTheDefaults) {
  if (!UnderWine())
    GTEST_SKIP() << "the prepared folder is unwritable only where symbolic links are followed";
  PluginOptions options;
  options.folder = UnwritablePluginFolder();
  PluginUnderTest plugin(options);
  PictureFolder pictures;
  MessageBoxCatcher boxes;
  MainWindow host;
  for (const wchar_t* picture : {L"a.bmp", L"b.bmp"}) {
    HWND container = LoadView(plugin, host.quickView(), pictures.File(picture));
    ASSERT_NE(container, nullptr) << "the default viewer was found";
    EXPECT_NE(ViewerWindowOf(container), nullptr);
    DestroyWindow(container);
    ASSERT_TRUE(NoViewerLeft());
    // A host may let the library go between two loads: still once in the process.
    plugin.Unload();
    plugin.Load();
  }
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text,
            L"I can't create a file kelvane.ini. Default paths will be used  Kelvane\\kelv32.exe, "
            L"Kelvane64\\kelv64.exe");
  EXPECT_EQ(boxes.boxes()[0].owner, nullptr);
}

}  // namespace
