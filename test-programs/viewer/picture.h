// Painting of the viewer's client area: the picture when it can be read, else its name.
#pragma once

#include <windows.h>

#include <string>

// Fills the client area and draws the picture at the path fitted into it, keeping its aspect;
// when the file is not a picture that can be read, draws the label in the middle instead.
void PaintPicture(HDC dc, const RECT& client, const std::wstring& path, const std::wstring& label);

// Paints as PaintPicture does, into a bitmap of the client area's size, and writes it as a 24-bit
// BMP file (through a temporary file beside it, so that a reader never sees half a picture).
bool WritePictureBmp(const std::wstring& bmpPath, const RECT& client, const std::wstring& path,
                     const std::wstring& label);
