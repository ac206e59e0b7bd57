// Views opened and closed again and again in one host process, in a Lister window of its own and in
// the host's quick-view pane, with the viewer of each width: nothing may pile up. GDI objects,
// USER objects and kernel handles end within a small constant of where they began, no viewer
// process is left, and the viewer's FullScreen setting ends as the user had it. Also hundreds of
// caption refreshes painting the path bar in quick view, for GDI growth.
//
// Under Wine the system answers 0 for the resource counts; support/resource_counts.h counts live
// handles another way, and the first test here shows that the counting sees a leak.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/realistic_settings.h"
#include "support/resource_counts.h"
#include "view_fixture.h"

using namespace testing_support;

namespace {

// Per case (two modes, two viewer widths). A leak of one object a view shows after a handful of
// cycles past the slack below; the long runs of thousands of loads are the benchmark's.
constexpr int kCycles = 12;
// Growth allowed over a run: caches the system fills once (fonts, profile files, class data).
constexpr long kGdiSlack = 4;
constexpr long kUserSlack = 4;
constexpr long kHandleSlack = 8;

std::string Counts(const ResourceCounts& before, const ResourceCounts& after) {
  return "GDI " + std::to_string(before.gdiObjects) + " -> " + std::to_string(after.gdiObjects) +
         ", USER " + std::to_string(before.userObjects) + " -> " +
         std::to_string(after.userObjects) + ", handles " + std::to_string(before.kernelHandles) +
         " -> " + std::to_string(after.kernelHandles);
}

TEST(ResourceCounting, SeesEveryLeakedObjectOfEachKind) {
  const long kLeaked = 25;
  std::printf("counting by %ls\n", CountingMethod().c_str());
  // One of each first: the first window of a thread also makes what every later one shares, and
  // one stays for the time of the counts, or that shared window comes and goes with the others.
  HWND anchor =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DestroyMenu(CreatePopupMenu());
  DeleteObject(CreateSolidBrush(RGB(1, 2, 3)));

  long gdiBefore = CountGdiObjects();
  std::vector<HBRUSH> brushes;
  for (long i = 0; i < kLeaked; ++i) brushes.push_back(CreateSolidBrush(RGB(i, 1, 2)));
  EXPECT_EQ(CountGdiObjects() - gdiBefore, kLeaked) << "brushes";
  for (HBRUSH brush : brushes) DeleteObject(brush);
  EXPECT_EQ(CountGdiObjects(), gdiBefore);

  long userBefore = CountUserObjects();
  std::vector<HWND> windows;
  std::vector<HMENU> menus;
  for (long i = 0; i < kLeaked; ++i) {
    windows.push_back(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                      nullptr, nullptr));
    menus.push_back(CreatePopupMenu());
  }
  EXPECT_EQ(CountUserObjects() - userBefore, 2 * kLeaked) << "windows and menus";
  for (HWND window : windows) DestroyWindow(window);
  for (HMENU menu : menus) DestroyMenu(menu);
  EXPECT_EQ(CountUserObjects(), userBefore);

  long handlesBefore = CountKernelHandles();
  std::vector<HANDLE> events;
  for (long i = 0; i < kLeaked; ++i) events.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  EXPECT_EQ(CountKernelHandles() - handlesBefore, kLeaked) << "events";
  for (HANDLE event : events) CloseHandle(event);
  EXPECT_EQ(CountKernelHandles(), handlesBefore);
  DestroyWindow(anchor);
}

struct SoakCase {
  bool quickView;
  Width viewer;
};

class Soak : public ViewTest, public ::testing::WithParamInterface<SoakCase> {
 protected:
  void SetUp() override {
    if (!StartsProgramsOf(GetParam().viewer)) GTEST_SKIP() << kNo32BitPrograms;
  }
};

TEST_P(Soak, RepeatedLoadsAndDestroysLeaveNothingBehind) {
  const SoakCase& soak = GetParam();
  PluginUnderTest plugin(WithSettings(L"[Kelvane]\r\n", false));
  plugin.UseViewer(soak.viewer);
  std::wstring viewerIni = DefaultViewerIni(plugin, soak.viewer);
  WriteTextFile(viewerIni, L"[Viewing]\r\nFullScreen=1\r\n");
  PictureFolder pictures;
  std::wstring file = pictures.File(L"b.bmp");

  ListerWindow lister;
  MainWindow host;
  HWND listerSide = soak.quickView ? host.quickView() : lister.hwnd();
  // Under Wine, now and then (once in thousands of starts here), CreateProcessW fails with
  // ERROR_INTERNAL_ERROR: the new process ends inside Wine's own start-up, before the viewer runs
  // any code. Such a view is tolerated once, and only whole: no window returned, nothing logged
  // by the viewer, the Lister left as it was, no viewer left running, FullScreen untouched.
  int wineStartFailures = 0;
  auto wineStartFailed = [&](const ViewerLog& log) {
    return log.Lines().empty() && IsWindow(listerSide) &&
           GetWindow(listerSide, GW_CHILD) == nullptr && NoViewerLeft(5000) &&
           ReadIni(viewerIni, L"Viewing", L"FullScreen") == L"1";
  };
  // Empty when the view opened with the right viewer embedded and closed; else what went wrong.
  auto openAndClose = [&]() -> std::string {
    ViewerLog log;
    HWND container = LoadView(plugin, listerSide, file);
    if (container == nullptr && wineStartFailures == 0 && wineStartFailed(log)) {
      ++wineStartFailures;
      std::printf("note: the viewer's process did not start (tolerated once)\n");
      return "";
    }
    if (container == nullptr)
      return "the load returned no window; the viewer logged: " + log.Progress();
    HWND viewer = ViewerWindowOf(container);
    wchar_t program[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                 viewer != nullptr ? ProcessOf(viewer) : 0);
    bool rightViewer =
        process != nullptr && QueryFullProcessImageNameW(process, 0, program, &size) &&
        std::wstring(program).find(ViewerProgramName(soak.viewer)) != std::wstring::npos;
    if (process != nullptr) CloseHandle(process);
    std::string problem;
    if (viewer == nullptr)
      problem = "no viewer window in the container";
    else if (!rightViewer)
      problem = "the container holds another program's window";
    else if (GetParent(container) != listerSide)
      problem = "the container is not the Lister's child";
    else if (ReadIni(viewerIni, L"Viewing", L"FullScreen") != L"0")
      problem = "FullScreen was not switched off";
    DestroyWindow(container);
    return problem;
  };

  // The first views fill what the system keeps once per process.
  for (int i = 0; i < 3; ++i) ASSERT_EQ(openAndClose(), "") << "warm-up view " << i;
  ASSERT_TRUE(NoViewerLeft(10000));
  PumpFor(100);
  ResourceCounts before = CountResources();
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    std::string problem = openAndClose();
    ASSERT_EQ(problem, "") << "view " << cycle;
  }
  EXPECT_TRUE(NoViewerLeft(10000)) << "a viewer process was left running";
  PumpFor(100);
  ResourceCounts after = CountResources();

  EXPECT_LE(after.gdiObjects - before.gdiObjects, kGdiSlack) << Counts(before, after);
  EXPECT_LE(after.userObjects - before.userObjects, kUserSlack) << Counts(before, after);
  EXPECT_LE(after.kernelHandles - before.kernelHandles, kHandleSlack) << Counts(before, after);
  EXPECT_EQ(ReadIni(viewerIni, L"Viewing", L"FullScreen"), L"1") << "the user's value is back";
  std::printf("%d cycles: %s\n", kCycles, Counts(before, after).c_str());
}

std::string SoakName(const ::testing::TestParamInfo<SoakCase>& info) {
  return std::string(info.param.quickView ? "QuickView" : "ListerWindow") +
         (info.param.viewer == Width::k64 ? "Viewer64" : "Viewer32");
}

INSTANTIATE_TEST_SUITE_P(BothModesBothViewers, Soak,
                         ::testing::Values(SoakCase{false, Width::k32}, SoakCase{false, Width::k64},
                                           SoakCase{true, Width::k32}, SoakCase{true, Width::k64}),
                         SoakName);

// Loads that end without a view leave nothing behind either: the viewer exits without a window,
// the user presses an arrow key while the load waits (quick view, where the host's windows stay),
// or the host closes the Lister in the middle of the wait. A viewer that never shows a window ends
// the same way after a 20 s bound, too slow to repeat here.
enum class FailedLoad { kViewerExits, kArrowKey, kListerClosed };

class FailedLoads : public ViewTest, public ::testing::WithParamInterface<FailedLoad> {};

TEST_P(FailedLoads, LeaveNoHandleWindowOrViewerBehind) {
  PluginUnderTest plugin;
  PictureFolder pictures;
  std::wstring file = pictures.File(L"a.bmp");
  MainWindow host;
  const FailedLoad kind = GetParam();
  ScopedEnvironment fault(L"KELV_FAULT", kind == FailedLoad::kViewerExits ? L"exit" : L"");
  ScopedEnvironment delay(L"KELV_DELAY_MS", kind == FailedLoad::kViewerExits ? L"0" : L"3000");

  // Empty when the load failed the way asked and left no viewer running; else what went wrong.
  auto failOnce = [&]() -> std::string {
    ViewerLog log;
    std::unique_ptr<ListerWindow> lister;
    HWND listerSide = host.quickView();
    if (kind == FailedLoad::kListerClosed) {
      lister.reset(new ListerWindow());
      listerSide = lister->hwnd();
    }
    // What ends the load comes from another thread once the viewer has started.
    std::thread other([&] {
      if (kind == FailedLoad::kViewerExits || !log.WaitForLine(L"env COMMANDER_INI", 3000)) return;
      if (kind == FailedLoad::kArrowKey) {
        HoldKey(VK_DOWN, 100);
      } else {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(listerSide, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &answer);
      }
    });
    HWND container = LoadView(plugin, listerSide, file);
    other.join();
    if (container != nullptr) return "a view opened; the viewer logged: " + log.Progress();
    if (IsWindow(listerSide) && GetWindow(listerSide, GW_CHILD) != nullptr)
      return "the container was left in the Lister";
    return NoViewerLeft(5000) ? "" : "a viewer was left running";
  };

  for (int i = 0; i < 2; ++i) ASSERT_EQ(failOnce(), "") << "warm-up load " << i;
  PumpFor(100);
  ResourceCounts before = CountResources();
  for (int cycle = 0; cycle < kCycles; ++cycle) ASSERT_EQ(failOnce(), "") << "load " << cycle;
  PumpFor(100);
  ResourceCounts after = CountResources();
  EXPECT_LE(after.userObjects - before.userObjects, kUserSlack) << Counts(before, after);
  EXPECT_LE(after.kernelHandles - before.kernelHandles, kHandleSlack) << Counts(before, after);
  std::printf("%d failed loads: %s\n", kCycles, Counts(before, after).c_str());
}

std::string FailedLoadName(const ::testing::TestParamInfo<FailedLoad>& info) {
  switch (info.param) {
    case FailedLoad::kViewerExits:
      return "ViewerExits";
    case FailedLoad::kArrowKey:
      return "ArrowKey";
    default:
      return "ListerClosed";
  }
}

INSTANTIATE_TEST_SUITE_P(EachWayOut, FailedLoads,
                         ::testing::Values(FailedLoad::kViewerExits, FailedLoad::kArrowKey,
                                           FailedLoad::kListerClosed),
                         FailedLoadName);

TEST(CaptionSoak, HundredsOfQuickViewRefreshesPaintWithoutGdiGrowth) {
  PluginUnderTest plugin(WithoutViewer());
  HostSettings settings(RealisticHostSettings(L"1"));
  MainWindow host;
  HWND viewer = CreateWindowExW(0, L"STATIC", L"C:\\pictures\\beach.jpg - Kelvane", WS_POPUP, 0, 0,
                                10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(viewer, nullptr);
  for (int i = 0; i < 10; ++i) plugin.WindowCaption(viewer, host.quickView());
  ResourceCounts before = CountResources();
  const COLORREF kUnpainted = RGB(7, 8, 9);
  RECT bar = {};
  GetClientRect(host.leftPathBar(), &bar);
  const int barWidth = bar.right;
  int painted = 0;
  for (int i = 0; i < 600; ++i) {
    if (i % 100 == 0) host.PaintPathBars(kUnpainted);
    plugin.WindowCaption(viewer, host.quickView());
    // Far right, where the display text holds only the spaces that cover the host's text.
    if (i % 100 == 0 && MainWindow::PixelAt(host.leftPathBar(), barWidth - 4, 20) == RGB(0, 0, 128))
      ++painted;
  }
  ResourceCounts after = CountResources();
  DestroyWindow(viewer);
  EXPECT_EQ(painted, 6)
      << "every sampled refresh painted the active caption colour (8388608); last pixel "
      << std::hex << MainWindow::PixelAt(host.leftPathBar(), barWidth - 4, 20);
  EXPECT_LE(after.gdiObjects - before.gdiObjects, kGdiSlack) << Counts(before, after);
  EXPECT_LE(after.userObjects - before.userObjects, kUserSlack) << Counts(before, after);
  EXPECT_LE(after.kernelHandles - before.kernelHandles, kHandleSlack) << Counts(before, after);
}

}  // namespace
