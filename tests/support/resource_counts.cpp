// Counts of this process's resources; see resource_counts.h for why some are walked.
#include "support/resource_counts.h"

#include <psapi.h>

namespace testing_support {

namespace {

// A GDI handle and a USER handle hold their table index in the low word; the high word, a
// generation count, may be left zero when a handle is looked up by index.
constexpr UINT_PTR kTableIndices = 0x10000;
// USER handles start at 0x20 and go in steps of two.
constexpr UINT_PTR kFirstUserHandle = 0x20;
// Kernel handle values are multiples of four; a test process holds far fewer than this many.
constexpr UINT_PTR kKernelHandleLimit = 0x20000;

long WalkGdiObjects() {
  long count = 0;
  for (UINT_PTR index = 1; index < kTableIndices; ++index) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++count;
  }
  return count;
}

BOOL CALLBACK CountOwnChild(HWND window, LPARAM count) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId()) ++*reinterpret_cast<long*>(count);
  return TRUE;
}

BOOL CALLBACK CountOwnTopLevel(HWND window, LPARAM count) {
  CountOwnChild(window, count);
  EnumChildWindows(window, CountOwnChild, count);
  return TRUE;
}

long WalkUserObjects() {
  long count = 0;
  EnumWindows(CountOwnTopLevel, reinterpret_cast<LPARAM>(&count));
  // Message-only windows are not top-level windows for EnumWindows.
  HWND messageOnly = nullptr;
  while ((messageOnly = FindWindowExW(HWND_MESSAGE, messageOnly, nullptr, nullptr)) != nullptr) {
    CountOwnTopLevel(messageOnly, reinterpret_cast<LPARAM>(&count));
  }
  for (UINT_PTR value = kFirstUserHandle; value < kTableIndices; value += 2) {
    if (IsMenu(reinterpret_cast<HMENU>(value))) ++count;
  }
  return count;
}

long WalkKernelHandles() {
  long count = 0;
  for (UINT_PTR value = 4; value < kKernelHandleLimit; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

bool SystemCountsGui() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) != 0; }

bool SystemCountsHandles() {
  DWORD count = 0;
  return GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0;
}

}  // namespace

long CountGdiObjects() {
  return SystemCountsGui() ? static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
                           : WalkGdiObjects();
}

long CountUserObjects() {
  return SystemCountsGui() ? static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS))
                           : WalkUserObjects();
}

long CountKernelHandles() {
  DWORD handles = 0;
  if (SystemCountsHandles() && GetProcessHandleCount(GetCurrentProcess(), &handles))
    return static_cast<long>(handles);
  return WalkKernelHandles();
}

ResourceCounts CountResources() {
  ResourceCounts counts;
  counts.gdiObjects = CountGdiObjects();
  counts.userObjects = CountUserObjects();
  counts.kernelHandles = CountKernelHandles();
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof(memory))) {
    counts.workingSetKb = static_cast<double>(memory.WorkingSetSize) / 1024.0;
    counts.privateKb = static_cast<double>(memory.PrivateUsage) / 1024.0;
  }
  return counts;
}

std::wstring CountingMethod() {
  std::wstring method = SystemCountsGui() ? L"GDI/USER: GetGuiResources" : L"GDI/USER: handle walk";
  method += SystemCountsHandles() ? L", handles: GetProcessHandleCount" : L", handles: handle walk";
  return method;
}

}  // namespace testing_support
