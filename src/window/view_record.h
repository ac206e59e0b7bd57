// The record of one open view, kept with its container window from creation to destruction: the
// two hook handles, the watch over the viewer, whether the container is being destroyed, and the
// viewer's full-screen setting, switched off for the time of the view and given back when it
// closes. Views of one host process that overlap on the same viewer settings file (named the same
// way) share the value the user had: a later view never takes the "0" an earlier one wrote for the
// user's value, and only the last of them to close writes it back.
#pragma once

#include <windows.h>

#include "plugin/text.h"
#include "window/viewer_watch.h"

struct View {
  View* next;
  HHOOK keyboardHook;
  HHOOK mouseHook;
  ViewerWatch watch;                       // from the capture until the container is gone
  bool closing;                            // the container is being destroyed
  wchar_t settingsPath[kTextCapacity];     // the viewer settings file of this view
  wchar_t savedFullScreen[kTextCapacity];  // [Viewing] FullScreen as the user had it
};

// Saves the FullScreen value of the settings file and sets it to "0". Null when no memory.
View* OpenView(const wchar_t* settingsPath);

// Writes the saved value back unless another open view works on the same file; frees the view.
void CloseView(View* view);

// Whether the record is one of the open views of this process (not yet closed and freed).
bool IsOpenView(const View* view);
