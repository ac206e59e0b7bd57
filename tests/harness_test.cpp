// The test harness itself, exercised for real: the stand-in host's windows, the message box
// catcher, the plugin loaded from a folder of its own, the PE reader, the bounded waits, the
// viewer's log and the host settings file.
#include <gtest/gtest.h>

#include <string>

#include "support/export_table.h"
#include "support/files.h"
#include "support/message_boxes.h"
#include "support/plugin_under_test.h"
#include "support/standin_host.h"
#include "support/viewer_log.h"
#include "support/waits.h"

using namespace testing_support;

namespace {

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

HWND Request(HWND host, WPARAM request) {
  return reinterpret_cast<HWND>(SendMessageW(host, WM_USER + 50, request, 0));
}

bool gTimerFired = false;
void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) { gTimerFired = true; }

}  // namespace

TEST(Harness, ListerWindowIsATopLevelTLister) {
  ListerWindow lister;
  ASSERT_TRUE(IsWindow(lister.hwnd()));
  EXPECT_EQ(L"TLister", ClassOf(lister.hwnd()));
  EXPECT_EQ(nullptr, GetParent(lister.hwnd()));
  EXPECT_TRUE(IsWindowVisible(lister.hwnd()));
}

TEST(Harness, MainWindowHasTheHostLayout) {
  MainWindow host;
  ASSERT_TRUE(IsWindow(host.hwnd()));
  EXPECT_EQ(L"TTOTAL_CMD", ClassOf(host.hwnd()));
  EXPECT_EQ(9, GetMenuItemCount(GetMenu(host.hwnd())));
  EXPECT_EQ(host.leftPanel(), GetWindow(host.hwnd(), GW_CHILD));
  EXPECT_EQ(L"TLister", ClassOf(host.quickView()));
  EXPECT_EQ(host.leftPanel(), GetParent(host.quickView()));

  EXPECT_EQ(host.leftFileList(), Request(host.hwnd(), 1));
  EXPECT_EQ(host.rightFileList(), Request(host.hwnd(), 2));
  EXPECT_EQ(host.leftFileList(), Request(host.hwnd(), 3));
  EXPECT_EQ(host.rightPathBar(), Request(host.hwnd(), 9));
  EXPECT_EQ(host.leftPathBar(), Request(host.hwnd(), 10));
  EXPECT_EQ(host.leftPanel(), GetParent(host.leftFileList()));
  EXPECT_EQ(host.rightPanel(), GetParent(host.rightFileList()));
}

TEST(Harness, MainWindowWithTheRightPanelActive) {
  MainWindowOptions options;
  options.leftPanelActive = false;
  options.menuItems = 7;
  MainWindow host(options);
  EXPECT_EQ(7, GetMenuItemCount(GetMenu(host.hwnd())));
  EXPECT_EQ(host.rightPanel(), GetParent(host.quickView()));
  EXPECT_EQ(host.rightFileList(), Request(host.hwnd(), 3));
  EXPECT_EQ(host.leftPanel(), GetWindow(host.hwnd(), GW_CHILD));
}

TEST(Harness, PathBarsShowThePaintedColour) {
  MainWindow host;
  host.PaintPathBars(RGB(10, 200, 30));
  EXPECT_EQ(RGB(10, 200, 30), MainWindow::PixelAt(host.leftPathBar(), 5, 5));
  EXPECT_EQ(RGB(10, 200, 30), MainWindow::PixelAt(host.rightPathBar(), 5, 5));
}

TEST(Harness, MessageBoxCatcherRecordsAndDismissesABox) {
  MessageBoxCatcher catcher;
  int answer = MessageBoxW(nullptr, L"text", nullptr, MB_OK | MB_ICONERROR);
  EXPECT_EQ(IDOK, answer);
  ASSERT_EQ(1u, catcher.boxes().size());
  const CapturedMessageBox& box = catcher.boxes()[0];
  EXPECT_EQ(L"text", box.text);
  EXPECT_FALSE(box.caption.empty());
  EXPECT_EQ(nullptr, box.owner);
  EXPECT_TRUE(box.hasOkButton);
  EXPECT_FALSE(box.hasCancelButton);
}

TEST(Harness, PluginLoadsFromItsOwnFolderWithAllElevenExports) {
  PluginOptions options;
  options.installDefaultViewer = false;
  PluginUnderTest plugin(options);
  ASSERT_NE(nullptr, plugin.module());
  EXPECT_NE(nullptr, plugin.ListLoadW);
  EXPECT_NE(nullptr, plugin.ListLoad);
  EXPECT_NE(nullptr, plugin.ListGetDetectString);
  EXPECT_NE(nullptr, plugin.ListPrint);
  EXPECT_NE(nullptr, plugin.ListSendCommand);
  EXPECT_NE(nullptr, plugin.ListSearchDialog);
  EXPECT_NE(nullptr, plugin.KbdProc);
  EXPECT_NE(nullptr, plugin.MouseProc);
  EXPECT_NE(nullptr, plugin.WindowProc);
  EXPECT_NE(nullptr, plugin.WindowCaption);
  EXPECT_NE(nullptr, plugin.gsenv);

  wchar_t loadedFrom[MAX_PATH] = {};
  GetModuleFileNameW(plugin.module(), loadedFrom, MAX_PATH);
  EXPECT_EQ(0, std::wstring(loadedFrom).rfind(plugin.folder(), 0));
}

TEST(Harness, PluginFolderHoldsTheSettingsAndGoesWithTheInstance) {
  std::wstring folder;
  {
    PluginOptions options;
    options.installDefaultViewer = false;
    options.pluginSettings = L"[Kelvane]\r\npath=C:\\viewer\\kelv32.exe\r\n";
    PluginUnderTest plugin(options);
    folder = plugin.folder();
    EXPECT_EQ(L"C:\\viewer\\kelv32.exe", ReadIni(folder + L"kelvane.ini", L"Kelvane", L"path"));
  }
  EXPECT_FALSE(FolderExists(folder));
}

// The built libraries themselves are read in entry_points_test.cpp.
TEST(Harness, ThePeReaderFindsNothingInAMissingFile) {
  std::wstring missing = BuiltPluginPath(OwnWidth()) + L".missing";
  EXPECT_TRUE(ReadExportNames(missing).empty());
  EXPECT_TRUE(ReadImportNames(missing).empty());
  EXPECT_FALSE(HasResource(missing, RT_VERSION, MAKEINTRESOURCEW(1)));
}

TEST(Harness, WaitUntilDispatchesMessagesAndKeepsItsBound) {
  gTimerFired = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, OnTimer);
  EXPECT_TRUE(WaitUntil([] { return gTimerFired; }, 2000));
  KillTimer(nullptr, timer);

  ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(WaitUntil([] { return false; }, 200));
  ULONGLONG elapsed = GetTickCount64() - start;
  EXPECT_GE(elapsed, 190u);
  EXPECT_LT(elapsed, 2000u);
}

TEST(Harness, ViewerLogReadsWholeLinesOnly) {
  std::wstring variable;
  {
    ViewerLog log;
    ASSERT_TRUE(ReadEnvironment(L"KELV_LOG", &variable));
    EXPECT_EQ(log.path(), variable);
    // "caf\u00e9" in UTF-8, then a line that is still being written.
    HANDLE file = CreateFileW(log.path().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    const char text[] = "start caf\xC3\xA9\r\nkeydown 39\nkeydown 4";
    DWORD written = 0;
    WriteFile(file, text, sizeof(text) - 1, &written, nullptr);
    CloseHandle(file);
    EXPECT_EQ((std::vector<std::wstring>{L"start caf\u00e9", L"keydown 39"}), log.Lines());
    EXPECT_EQ(1u, log.LinesStartingWith(L"keydown ").size());
    EXPECT_EQ(L"caf\u00e9", log.First(L"start "));
    EXPECT_TRUE(log.WaitForLine(L"keydown ", 100));
    EXPECT_FALSE(log.WaitForLine(L"keyup ", 100));
  }
  EXPECT_FALSE(ReadEnvironment(L"KELV_LOG", &variable));
}

TEST(Harness, HostSettingsPointCommanderIniAtTheirFile) {
  std::wstring before;
  bool wasSet = ReadEnvironment(L"COMMANDER_INI", &before);
  std::wstring path;
  {
    HostSettings settings(L"[Configuration]\r\nDarkMode=2\r\n");
    ASSERT_TRUE(ReadEnvironment(L"COMMANDER_INI", &path));
    EXPECT_EQ(settings.path(), path);
    EXPECT_EQ(L"2", ReadIni(path, L"Configuration", L"DarkMode"));
    EXPECT_EQ(kAbsent, ReadIni(path, L"Configuration", L"UseNewDefFont"));
  }
  EXPECT_FALSE(FileExists(path));
  std::wstring after;
  EXPECT_EQ(wasSet, ReadEnvironment(L"COMMANDER_INI", &after));
  EXPECT_EQ(before, after);
}
