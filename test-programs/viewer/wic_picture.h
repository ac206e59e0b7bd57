// PNG and JPEG pictures through the system's imaging component (WIC), when it is there.
#pragma once

#include <windows.h>

// Decodes the first frame into a 32-bit top-down BGRA DIB section that the caller deletes.
// Null when COM, WIC or the file fails; the caller then paints without the picture.
// The calling thread must have COM initialised.
HBITMAP LoadBitmapWithWic(const wchar_t* path);
