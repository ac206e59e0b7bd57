// Ghostscript's location for the viewer: two keys in the viewer's settings file and GS_LIB in
// the host's environment, which the viewer inherits.
#pragma once

#include "launch/viewer_paths.h"

// Does nothing when no Ghostscript DLL is named.
void HandOverGhostscript(const ViewerPaths& paths);

// The GS_LIB value for a DLL path: its folder, the parent's fonts folder and the parent's lib
// folder, each ending in a backslash. False when a piece does not fit its bound.
bool ComposeGsLib(const wchar_t* ghostscriptDll, wchar_t* gsLib, int capacity);

constexpr int kGsLibCapacity = 4096;
