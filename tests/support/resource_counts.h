// How many GDI objects, USER objects and kernel handles this process holds, and its memory.
// Where the system answers the counts itself (GetGuiResources, GetProcessHandleCount) its answer
// is taken; where it answers 0, as Wine does, live handles are counted by walking the handle
// values: GDI objects by GetObjectType over the handle table's indices, windows of this process
// by enumeration, menus by IsMenu over the USER table's indices, kernel handles by
// GetHandleInformation over the handle values. Each count is slow (up to a second): take it
// before and after a run of work, not inside it.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

struct ResourceCounts {
  long gdiObjects = 0;
  long userObjects = 0;
  long kernelHandles = 0;
  double workingSetKb = 0;
  double privateKb = 0;
};

ResourceCounts CountResources();

// The single counts, taken the same way.
long CountGdiObjects();
long CountUserObjects();
long CountKernelHandles();

// Which way each count was taken ("system" or "walk"), for reports.
std::wstring CountingMethod();

}  // namespace testing_support
