// The container window: the plugin's child of the Lister window that holds the viewer window.
#pragma once

#include <windows.h>

#include "window/view_record.h"

// Registers the container window class. From the second load in a process on the class exists
// already and serves as it is.
void RegisterContainerClass();

// Creates the container window in the Lister window, keeps the view record with it and brings
// it to the top. Null when it cannot be created.
HWND CreateContainerWindow(HWND listerWindow, View* view);

// The view record of a container that still exists and whose view is open; null once the
// container is gone. Calls that let the host's thread handle sent messages may destroy it.
View* FindLiveView(HWND container);
