// Module-wide state, one copy per process that maps the library (the host's and, once the hooks
// run there, the viewer's). Zero at load, never locked: within a process only one thread
// touches it. The open views of the host's process are kept by window/view_record.h.
#pragma once

#include <windows.h>

#include "plugin/text.h"

// The library's instance handle, set on process attach.
extern HINSTANCE gModule;

// Scratch text that every routine fills before reading it; nothing is carried in it from one
// call to the next, and no code keeps text in it across a call that sends window messages.
extern wchar_t gSharedText[kTextCapacity];
