// The plugin's costs, measured with the real library, the stand-in host's windows and the stand-in
// viewer in its own process, and printed as a table: each figure is the median of repeated runs.
// Run through scripts/bench.sh (both widths under Wine); docs/performance.md explains the figures.
//
//   kelvane_bench [--runs N] [--cycles N] [--only FIGURES]
//
// runs: loads per load figure (default 21); cycles: load-and-destroy cycles per mode for the
// growth figures (default 200, after 4 warm-up cycles; the cycles alternate between the 64-bit and
// the 32-bit stand-in viewer, each load follows the previous destroy at once as when a user steps
// through files, and every failed load is counted and told with its reason); only:
// the letters of the figures to measure (default abcdef).
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hook_layout.h"
#include "support/realistic_settings.h"
#include "support/resource_counts.h"
#include "view_fixture.h"

using namespace testing_support;

namespace {

struct Row {
  std::string figure;
  double value;
  std::string unit;
  std::string target;
  bool met;
};

std::vector<Row> gRows;
int gRuns = 21;
int gCycles = 200;

void AddRow(const std::string& figure, double value, const std::string& unit,
            const std::string& target, bool met) {
  gRows.push_back(Row{figure, value, unit, target, met});
  std::printf("  %-62s %10.3f %s\n", figure.c_str(), value, unit.c_str());
  std::fflush(stdout);
}

// Not a number when every run failed, so that no target counts as met on no figures.
double Median(std::vector<double> values) {
  if (values.empty()) return std::nan("");
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

LONGLONG Qpc() {
  LARGE_INTEGER now = {};
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double QpcMilliseconds(LONGLONG ticks) {
  static LARGE_INTEGER frequency = {};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  return static_cast<double>(ticks) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The decimal number after "key" in a log line; -1 when there is none.
LONGLONG NumberAfter(const std::wstring& line, const wchar_t* key) {
  size_t at = line.find(key);
  if (at == std::wstring::npos) return -1;
  return _wcstoi64(line.c_str() + at + wcslen(key), nullptr, 10);
}

// A plugin with the viewer of its own width at the default place and FullScreen=1 for the user.
struct BenchPlugin {
  BenchPlugin() : plugin(WithSettings(L"[Kelvane]\r\n[Ghostscript]\r\n")) {
    WriteTextFile(DefaultViewerIni(plugin, OwnWidth()), L"[Viewing]\r\nFullScreen=1\r\n");
  }
  PluginUnderTest plugin;
  PictureFolder pictures;
};

struct LoadTiming {
  double listLoadMs = 0;       // ListLoadW, call to return
  double captureMs = 0;        // the viewer's window made -> ListLoadW returned
  double viewerOwnMs = 0;      // the viewer's wWinMain entered -> its window made
  double untilViewerMs = 0;    // ListLoadW called -> the viewer's wWinMain entered
  double untilLoopMs = 0;      // the viewer's window made -> its message loop entered
  double untilProcessMs = -1;  // ListLoadW called -> the viewer's process created
};

// When the process was created, in the system time's 100 ns units; 0 when it cannot be asked.
ULONGLONG ProcessCreationTime(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) return 0;
  FILETIME created = {}, exited = {}, kernel = {}, user = {};
  BOOL known = GetProcessTimes(process, &created, &exited, &kernel, &user);
  CloseHandle(process);
  return known ? (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime : 0;
}

ULONGLONG SystemTimeNow() {
  FILETIME now = {};
  GetSystemTimePreciseAsFileTime(&now);
  return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

bool TimedLoad(const PluginUnderTest& plugin, HWND lister, const std::wstring& file,
               LoadTiming* timing) {
  ViewerLog log;
  ULONGLONG calledAt = SystemTimeNow();
  LONGLONG called = Qpc();
  HWND container = LoadView(plugin, lister, file);
  LONGLONG returned = Qpc();
  if (container == nullptr) return false;
  bool logged = log.WaitForLine(L"loop qpc=", 3000);
  ULONGLONG createdAt =
      ProcessCreationTime(static_cast<DWORD>(NumberAfter(log.First(L"start "), L"pid=")));
  timing->untilProcessMs =
      createdAt > calledAt ? static_cast<double>(createdAt - calledAt) / 10000.0 : -1;
  LONGLONG started = NumberAfter(log.First(L"start pid="), L"qpc=");
  LONGLONG made = NumberAfter(log.First(L"window hwnd="), L"qpc=");
  LONGLONG loop = NumberAfter(log.First(L"loop "), L"qpc=");
  DestroyWindow(container);
  bool ended = NoViewerLeft(5000);
  if (!logged || started < 0 || made < 0 || loop < 0 || !ended) return false;
  timing->listLoadMs = QpcMilliseconds(returned - called);
  timing->captureMs = QpcMilliseconds(returned - made);
  timing->viewerOwnMs = QpcMilliseconds(made - started);
  timing->untilViewerMs = QpcMilliseconds(started - called);
  timing->untilLoopMs = QpcMilliseconds(loop - made);
  return true;
}

// Medians of the load figures by mode (0 Lister, 1 quick view), for the ratio that sets the whole
// call against what it cannot do without.
struct LoadMedians {
  double listLoadMs = std::nan("");
  double untilViewerMs = std::nan("");  // ListLoadW called -> the viewer's wWinMain
  double viewerOwnMs = std::nan("");    // the viewer's wWinMain -> its window made
  double untilLoopMs = std::nan("");    // its window made -> its message loop entered
};
LoadMedians gLoadMedians[2];

void MeasureLoads(bool quickView) {
  BenchPlugin setup;
  std::vector<double> listLoad, capture, viewerOwn, untilViewer, overhead, untilLoop, untilProcess;
  ListerWindow lister;
  MainWindow host;
  HWND listerSide = quickView ? host.quickView() : lister.hwnd();
  for (int run = 0; run < gRuns + 1; ++run) {
    LoadTiming timing;
    if (!TimedLoad(setup.plugin, listerSide, setup.pictures.File(L"a.bmp"), &timing)) {
      std::printf("  load %d failed\n", run);
      continue;
    }
    if (run == 0) continue;  // the first load also pages the library and the viewer in
    listLoad.push_back(timing.listLoadMs);
    capture.push_back(timing.captureMs);
    viewerOwn.push_back(timing.viewerOwnMs);
    untilViewer.push_back(timing.untilViewerMs);
    untilLoop.push_back(timing.untilLoopMs);
    if (timing.untilProcessMs >= 0) untilProcess.push_back(timing.untilProcessMs);
    overhead.push_back(timing.listLoadMs - timing.viewerOwnMs);
  }
  std::string mode = quickView ? " (quick view)" : " (Lister)";
  AddRow("a. capture: viewer window made -> ListLoadW returned" + mode, Median(capture), "ms",
         "<= 16", Median(capture) <= 16.0);
  AddRow("   of which: viewer window made -> viewer's message loop" + mode, Median(untilLoop), "ms",
         "-", true);
  AddRow("c. ListLoadW minus the viewer's start-to-window" + mode, Median(overhead), "ms", "< 20",
         Median(overhead) < 20.0);
  AddRow("   of which: ListLoadW called -> viewer's wWinMain" + mode, Median(untilViewer), "ms",
         "-", true);
  AddRow("     of which: ListLoadW called -> viewer's process created" + mode, Median(untilProcess),
         "ms", "-", true);
  AddRow("   ListLoadW, whole call" + mode, Median(listLoad), "ms", "-", true);
  AddRow("   viewer's own start-to-window" + mode, Median(viewerOwn), "ms", "-", true);
  gLoadMedians[quickView ? 1 : 0] =
      LoadMedians{Median(listLoad), Median(untilViewer), Median(viewerOwn), Median(untilLoop)};
}

// A stand-in viewer started by the benchmark itself, with its window found and its thread idle.
struct IdleViewer {
  explicit IdleViewer(const std::wstring& picture) {
    std::wstring commandLine = L"\"" + BuiltViewerPath(OwnWidth()) + L"\" \"" + picture + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    LONGLONG called = Qpc();
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
      return;
    }
    WaitUntil([&] { return (window = FindViewerWindow(process.dwProcessId)) != nullptr; }, 5000);
    PumpFor(300);
    LONGLONG started = NumberAfter(log.First(L"start pid="), L"qpc=");
    if (started > 0) untilStartMs = QpcMilliseconds(started - called);
  }
  ~IdleViewer() {
    if (process.hProcess == nullptr) return;
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  static HWND FindViewerWindow(DWORD processId) {
    HWND candidate = nullptr;
    while ((candidate = FindWindowExW(nullptr, candidate, L"Kelvane", nullptr)) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(candidate, &owner);
      if (owner == processId) return candidate;
    }
    return nullptr;
  }
  ViewerLog log;
  PROCESS_INFORMATION process = {};
  HWND window = nullptr;
  double untilStartMs = -1;  // CreateProcessW called -> the viewer's wWinMain entered
};

double MillisecondsOf(const std::function<void()>& call) {
  LONGLONG start = Qpc();
  call();
  return QpcMilliseconds(Qpc() - start);
}

// What the capture's calls on the viewer's window cost by themselves, on a viewer that is idle in
// its message loop: the part of figure a that is neither the wait nor the viewer's own start.
void MeasureCaptureCalls() {
  PictureFolder pictures;
  ListerWindow lister;
  std::vector<double> firstParent, style, foreground, secondParent, focus, show, total,
      processStart;
  for (int run = 0; run < gRuns; ++run) {
    IdleViewer viewer(pictures.File(L"a.bmp"));
    if (viewer.window == nullptr) {
      std::printf("  idle viewer %d did not show its window\n", run);
      continue;
    }
    if (viewer.untilStartMs >= 0) processStart.push_back(viewer.untilStartMs);
    HWND container = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100,
                                     lister.hwnd(), nullptr, nullptr, nullptr);
    HWND window = viewer.window;
    firstParent.push_back(MillisecondsOf([&] { SetParent(window, container); }));
    style.push_back(MillisecondsOf([&] { SetWindowLongPtrW(window, GWL_STYLE, WS_CHILD); }));
    foreground.push_back(MillisecondsOf([&] { SetForegroundWindow(lister.hwnd()); }));
    secondParent.push_back(MillisecondsOf([&] { SetParent(window, container); }));
    focus.push_back(MillisecondsOf([&] { SetFocus(lister.hwnd()); }));
    show.push_back(MillisecondsOf([&] { ShowWindow(window, SW_SHOWMAXIMIZED); }));
    total.push_back(firstParent.back() + style.back() + foreground.back() + secondParent.back() +
                    focus.back() + show.back());
    DestroyWindow(container);
  }
  AddRow("   the viewer started alone: CreateProcessW called -> its wWinMain", Median(processStart),
         "ms", "-", true);
  AddRow("   capture calls on an idle viewer, all six", Median(total), "ms", "-", true);
  AddRow("     SetParent, first", Median(firstParent), "ms", "-", true);
  AddRow("     SetWindowLongPtrW GWL_STYLE", Median(style), "ms", "-", true);
  AddRow("     SetForegroundWindow (Lister)", Median(foreground), "ms", "-", true);
  AddRow("     SetParent, second", Median(secondParent), "ms", "-", true);
  AddRow("     SetFocus (Lister)", Median(focus), "ms", "-", true);
  AddRow("     ShowWindow SW_SHOWMAXIMIZED", Median(show), "ms", "-", true);

  // The whole call against what it cannot do without: the viewer's start until its window is
  // made, and the capture calls. The rest is the wait's own lag and the plugin's other steps.
  for (int mode = 0; mode < 2; ++mode) {
    const LoadMedians& load = gLoadMedians[mode];
    double ratio = load.listLoadMs / (load.untilViewerMs + load.viewerOwnMs + Median(total));
    AddRow(
        std::string("c. ListLoadW over the viewer's start to its window plus the capture calls") +
            (mode == 0 ? " (Lister)" : " (quick view)"),
        ratio, "", "<= 1.05", ratio <= 1.05);
  }
  // The same with the viewer's start counted until it takes messages: no capture call can be
  // answered before, so that part is the viewer's own, however quickly the plugin calls.
  for (int mode = 0; mode < 2; ++mode) {
    const LoadMedians& load = gLoadMedians[mode];
    double ready = load.untilViewerMs + load.viewerOwnMs + load.untilLoopMs;
    AddRow(std::string("   the same, the viewer's start counted until its message loop") +
               (mode == 0 ? " (Lister)" : " (quick view)"),
           load.listLoadMs / (ready + Median(total)), "", "-", true);
  }
}

void MeasureWaitProcessor() {
  BenchPlugin setup;
  ScopedEnvironment delay(L"KELV_DELAY_MS", L"1500");
  std::vector<double> shares;
  ListerWindow lister;
  for (int run = 0; run < 5; ++run) {
    double cpuStart = ThreadCpuMilliseconds();
    LONGLONG called = Qpc();
    HWND container = LoadView(setup.plugin, lister.hwnd(), setup.pictures.File(L"a.bmp"));
    double wall = QpcMilliseconds(Qpc() - called);
    double cpu = ThreadCpuMilliseconds() - cpuStart;
    if (container == nullptr) continue;
    DestroyWindow(container);
    NoViewerLeft(5000);
    shares.push_back(100.0 * cpu / wall);
  }
  AddRow("b. host thread's processor while waiting 1.5 s for the window", Median(shares), "%",
         "<= 2", Median(shares) <= 2.0);
}

// Microseconds per call: the median over batches of the mean of one batch.
double MicrosecondsPerCall(const std::function<void()>& call, int callsPerBatch, int batches = 11) {
  std::vector<double> means;
  for (int batch = 0; batch < batches; ++batch) {
    LONGLONG start = Qpc();
    for (int i = 0; i < callsPerBatch; ++i) call();
    means.push_back(QpcMilliseconds(Qpc() - start) * 1000.0 / callsPerBatch);
  }
  return Median(means);
}

// Microseconds by which one call costs more than another: batches of the two alternate, so that
// the machine's drift falls on both, and the median of the batch differences is taken.
double PairedDifference(const std::function<void()>& call, const std::function<void()>& baseline,
                        int callsPerBatch, int batches = 21) {
  std::vector<double> differences;
  for (int batch = 0; batch < batches; ++batch) {
    double withCall = MicrosecondsPerCall(call, callsPerBatch, 1);
    double withBaseline = MicrosecondsPerCall(baseline, callsPerBatch, 1);
    differences.push_back(withCall - withBaseline);
  }
  return Median(differences);
}

void MeasureHooks() {
  PluginUnderTest plugin(WithoutViewer());
  HostSettings settings(RealisticHostSettings());
  for (bool quickView : {false, true}) {
    HookLayout layout(quickView);
    MOUSEHOOKSTRUCT record = {};
    record.hwnd = layout.focus();
    record.wHitTestCode = HTCLIENT;
    LPARAM mouse = reinterpret_cast<LPARAM>(&record);
    std::string mode = quickView ? " (quick view)" : " (Lister)";
    if (!quickView) {
      double key = MicrosecondsPerCall([&] { plugin.KbdProc(HC_ACTION, 'A', 0x001E0001); }, 20000);
      AddRow("d. KbdProc, an unlisted key passed on", key, "us", "<= 5", key <= 5.0);
      double move =
          MicrosecondsPerCall([&] { plugin.MouseProc(HC_ACTION, WM_MOUSEMOVE, mouse); }, 20000);
      AddRow("d. MouseProc, a pointer move passed on", move, "us", "<= 5", move <= 5.0);
      // A pass-on ends in CallNextHookEx: what that costs by itself is the system's share.
      auto next = [] { CallNextHookEx(nullptr, HC_ACTION, 'A', 0x001E0001); };
      AddRow("   CallNextHookEx by itself", MicrosecondsPerCall(next, 20000), "us", "-", true);
      AddRow("   the plugin's own part of a key pass-on (KbdProc minus CallNextHookEx)",
             PairedDifference([&] { plugin.KbdProc(HC_ACTION, 'A', 0x001E0001); }, next, 20000),
             "us", "-", true);
      AddRow(
          "   the plugin's own part of a pointer-move pass-on",
          PairedDifference([&] { plugin.MouseProc(HC_ACTION, WM_MOUSEMOVE, mouse); }, next, 20000),
          "us", "-", true);
    }
    double refresh = MicrosecondsPerCall([&] { plugin.MouseProc(HC_ACTION, WM_LBUTTONUP, mouse); },
                                         quickView ? 100 : 500);
    AddRow("d. MouseProc, a button release that refreshes the caption" + mode, refresh, "us", "-",
           true);
  }
}

// A window whose title stands for the viewer's.
HWND TitledWindow(const wchar_t* title) {
  return CreateWindowExW(0, L"STATIC", title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                         nullptr);
}

void MeasureCaption() {
  PluginUnderTest plugin(WithoutViewer());
  HWND viewer = TitledWindow(L"C:\\pictures\\holiday\\beach.jpg - Kelvane");
  {
    ListerWindow lister;
    double us = MicrosecondsPerCall([&] { plugin.WindowCaption(viewer, lister.hwnd()); }, 500);
    AddRow("e. WindowCaption, Lister mode", us / 1000.0, "ms", "-", true);
  }
  {
    HostSettings settings(RealisticHostSettings());
    MainWindow host;
    double us = MicrosecondsPerCall([&] { plugin.WindowCaption(viewer, host.quickView()); }, 100);
    AddRow("e. WindowCaption, quick view, 100 KB host settings", us / 1000.0, "ms", "-", true);
  }
  DestroyWindow(viewer);
}

void ReportGrowth(const std::string& what, const ResourceCounts& before,
                  const ResourceCounts& after) {
  AddRow("f. GDI objects, growth" + what, after.gdiObjects - before.gdiObjects, "", "<= 4",
         after.gdiObjects - before.gdiObjects <= 4);
  AddRow("f. USER objects, growth" + what, after.userObjects - before.userObjects, "", "<= 4",
         after.userObjects - before.userObjects <= 4);
  AddRow("f. kernel handles, growth" + what, after.kernelHandles - before.kernelHandles, "", "<= 8",
         after.kernelHandles - before.kernelHandles <= 8);
  AddRow("f. working set, growth" + what, after.workingSetKb - before.workingSetKb, "KB", "<= 1024",
         after.workingSetKb - before.workingSetKb <= 1024);
}

// The counting method must see a leak: N objects of each kind made and counted, then released.
void CheckCounting() {
  const int kLeaked = 50;
  // The first window of a thread brings a window the thread's later ones share; one stays
  // meanwhile.
  HWND anchor =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ResourceCounts before = CountResources();
  std::vector<HBRUSH> brushes;
  std::vector<HWND> windows;
  std::vector<HANDLE> events;
  for (int i = 0; i < kLeaked; ++i) {
    brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
    windows.push_back(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                      nullptr, nullptr));
    events.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  }
  ResourceCounts after = CountResources();
  for (int i = 0; i < kLeaked; ++i) {
    DeleteObject(brushes[i]);
    DestroyWindow(windows[i]);
    CloseHandle(events[i]);
  }
  ResourceCounts released = CountResources();
  DestroyWindow(anchor);
  std::printf(
      "  counting check (%ls): %d leaked of each -> GDI %+ld, USER %+ld, handles %+ld; released -> "
      "GDI %+ld, USER %+ld, handles %+ld\n",
      CountingMethod().c_str(), kLeaked, after.gdiObjects - before.gdiObjects,
      after.userObjects - before.userObjects, after.kernelHandles - before.kernelHandles,
      released.gdiObjects - before.gdiObjects, released.userObjects - before.userObjects,
      released.kernelHandles - before.kernelHandles);
  bool seen = after.gdiObjects - before.gdiObjects == kLeaked &&
              after.userObjects - before.userObjects == kLeaked &&
              after.kernelHandles - before.kernelHandles == kLeaked;
  AddRow("f. counting check: 50 leaked objects of each kind seen", seen ? 1 : 0, "", "1", seen);
}

// The stand-in viewer of a width, installed beside the plugin and chosen through its settings file.
std::wstring InstallBenchViewer(const PluginUnderTest& plugin, Width width) {
  return plugin.InstallViewer(
      width, width == Width::k64 ? L"viewer64\\kelv64.exe" : L"viewer32\\kelv32.exe");
}

void UseViewer(const PluginUnderTest& plugin, const std::wstring& viewerPath) {
  std::wstring key = OwnWidth() == Width::k64 ? L"path64" : L"path";
  WriteTextFile(plugin.folder() + L"kelvane.ini",
                L"[Kelvane]\r\n" + key + L"=" + viewerPath + L"\r\n[Ghostscript]\r\n", true);
}

// A viewer whose view was closed: its process must end by itself soon after.
struct ClosedView {
  HANDLE process = nullptr;
  std::string name;  // "load N (mode, NN-bit viewer)"
};

// Empty when the viewer of a closed view ended within 5 s, else the reason; forgets the view.
std::string AwaitViewerEnd(ClosedView* closed) {
  if (closed->process == nullptr) return "";
  bool ended = WaitForSingleObject(closed->process, 5000) == WAIT_OBJECT_0;
  CloseHandle(closed->process);
  closed->process = nullptr;
  return ended ? "" : closed->name + ": its viewer was still running 5 s after the view closed";
}

// One load and destroy, as a host makes them when the user steps from file to file: the next load
// does not wait for the viewer of the one before to end, so the two overlap; the ending is checked
// after the next load (AwaitViewerEnd). Empty when the view opened with a viewer embedded, else why
// not, told from outside the plugin: the Lister-side window is gone after the wait's arrow-key
// abort and its time-out, and the viewer's log tells how far its start got. A load that fails must
// still leave no viewer and the user's FullScreen value.
std::string GrowthCycle(const BenchPlugin& setup, HWND listerSide, const std::wstring& viewerIni,
                        const ClosedView* previous, ClosedView* closed) {
  ViewerLog log;
  LONGLONG called = Qpc();
  HWND container = LoadView(setup.plugin, listerSide, setup.pictures.File(L"a.bmp"));
  double ms = QpcMilliseconds(Qpc() - called);
  HWND viewer = container != nullptr ? GetWindow(container, GW_CHILD) : nullptr;
  if (viewer != nullptr) closed->process = OpenProcess(SYNCHRONIZE, FALSE, ProcessOf(viewer));
  if (container != nullptr) DestroyWindow(container);
  if (viewer != nullptr) return "";
  std::string problem =
      container == nullptr ? "ListLoadW returned null" : "no viewer window in the container";
  // The viewer of the view before may still be ending; the caller tells it when it does not end.
  if (previous->process != nullptr) WaitForSingleObject(previous->process, 5000);
  bool clean = NoViewerLeft(5000);
  char detail[160];
  std::snprintf(detail, sizeof(detail),
                " after %.0f ms; Lister window %s; viewers left %d; FullScreen %ls; viewer log: ",
                ms, IsWindow(listerSide) ? "kept" : "destroyed",
                static_cast<int>(RunningViewerProcesses().size()),
                ReadIni(viewerIni, L"Viewing", L"FullScreen").c_str());
  if (!clean) EndAllViewers();
  std::string progress = log.Progress();
  if (progress == "nothing") progress = "nothing (the viewer never reached its wWinMain)";
  return problem + detail + progress;
}

std::vector<std::string> gFailureReasons;

void MeasureGrowth(bool quickView) {
  BenchPlugin setup;
  const Width widths[] = {Width::k64, Width::k32};
  std::wstring viewers[2], viewerInis[2];
  for (int w = 0; w < 2; ++w) {
    viewers[w] = InstallBenchViewer(setup.plugin, widths[w]);
    viewerInis[w] = DefaultViewerIni(setup.plugin, widths[w]);
    WriteTextFile(viewerInis[w], L"[Viewing]\r\nFullScreen=1\r\n");
  }
  std::unique_ptr<ListerWindow> lister(new ListerWindow);
  std::unique_ptr<MainWindow> host(new MainWindow);
  int loads[2] = {0, 0};
  int failed[2] = {0, 0};
  ClosedView previous;
  int previousWidth = 0;
  std::string mode = quickView ? "quick view" : "Lister";
  auto fail = [&](int w, const std::string& reason) {
    std::printf("  failed %s\n", reason.c_str());
    std::fflush(stdout);
    ++failed[w];
    gFailureReasons.push_back(reason);
  };
  // The cycles alternate between the viewer widths, so that both meet the same state of the
  // machine.
  auto cycle = [&](int index) {
    int w = index % 2;
    UseViewer(setup.plugin, viewers[w]);
    HWND listerSide = quickView ? host->quickView() : lister->hwnd();
    ++loads[w];
    std::string name = "load " + std::to_string(loads[w]) + " (" + mode + ", " +
                       (widths[w] == Width::k64 ? "64" : "32") + "-bit viewer)";
    ClosedView closed;
    closed.name = name;
    std::string problem = GrowthCycle(setup, listerSide, viewerInis[w], &previous, &closed);
    std::string earlier = AwaitViewerEnd(&previous);
    if (!earlier.empty()) fail(previousWidth, earlier);
    previous = closed;
    previousWidth = w;
    if (!problem.empty()) fail(w, name + ": " + problem);
    if (!IsWindow(listerSide)) {  // the host makes a new one, and so does the benchmark
      lister.reset(new ListerWindow);
      host.reset(new MainWindow);
    }
  };
  auto settle = [&]() {
    std::string earlier = AwaitViewerEnd(&previous);
    if (!earlier.empty()) fail(previousWidth, earlier);
    NoViewerLeft(5000);
    PumpFor(200);
  };
  for (int i = 0; i < 4; ++i) cycle(i);
  settle();
  ResourceCounts before = CountResources();
  for (int i = 0; i < gCycles; ++i) cycle(i);
  settle();
  ResourceCounts after = CountResources();
  std::string what = " over " + std::to_string(gCycles) + " cycles (" + mode + ")";
  ReportGrowth(what, before, after);
  for (int w = 0; w < 2; ++w) {
    AddRow("f. failed loads of " + std::to_string(loads[w]) + " (" + mode + ", " +
               (widths[w] == Width::k64 ? "64" : "32") + "-bit viewer)",
           failed[w], "", "0", failed[w] == 0);
  }
  size_t left = RunningViewerProcesses().size();
  AddRow("f. viewer processes left" + what, static_cast<double>(left), "", "0", left == 0);
  bool restored = ReadIni(viewerInis[0], L"Viewing", L"FullScreen") == L"1" &&
                  ReadIni(viewerInis[1], L"Viewing", L"FullScreen") == L"1";
  AddRow("f. FullScreen as the user had it (1) at the end, both viewers" + what, restored ? 1 : 0,
         "", "1", restored);
}

void PrintTable() {
  std::printf("\n| Figure (%d-bit plugin) | Median | Target | Met |\n|---|---|---|---|\n",
              OwnWidth() == Width::k64 ? 64 : 32);
  for (const Row& row : gRows) {
    std::printf("| %s | %.3f %s | %s | %s |\n", row.figure.c_str(), row.value, row.unit.c_str(),
                row.target.c_str(), row.target == "-" ? "-" : (row.met ? "yes" : "NO"));
  }
  if (!gFailureReasons.empty()) std::printf("\nFailed loads:\n");
  for (const std::string& reason : gFailureReasons) std::printf("- %s\n", reason.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  std::string only = "abcdef";
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--runs")
      gRuns = std::max(1, std::atoi(argv[++i]));
    else if (std::string(argv[i]) == "--cycles")
      gCycles = std::max(1, std::atoi(argv[++i]));
    else if (std::string(argv[i]) == "--only")
      only = argv[++i];
  }
  auto wanted = [&](char figure) { return only.find(figure) != std::string::npos; };
  std::printf("kelvane_bench, %d-bit, %d runs per load figure, %d cycles per growth figure\n",
              OwnWidth() == Width::k64 ? 64 : 32, gRuns, gCycles);
  EndAllViewers();
  if (wanted('a') || wanted('c')) {
    MeasureLoads(false);
    MeasureLoads(true);
    MeasureCaptureCalls();
  }
  if (wanted('b')) MeasureWaitProcessor();
  if (wanted('d')) MeasureHooks();
  if (wanted('e')) MeasureCaption();
  if (wanted('f')) {
    CheckCounting();
    MeasureGrowth(false);
    MeasureGrowth(true);
  }
  PrintTable();
  EndAllViewers();
  return 0;
}
