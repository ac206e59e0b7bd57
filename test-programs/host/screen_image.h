// Pixels of a screen rectangle: taken from the screen through GDI, or read from an X window dump
// (xwd -root) of the whole X screen; saved as PNG through the system's imaging component (WIC),
// for which COM must be initialised on the calling thread.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ScreenImage {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> pixels;  // top-down rows, RGB() values

  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool empty() const { return pixels.empty(); }
};

// The screen's pixels inside the rectangle (screen coordinates), through the screen's device
// context; empty on failure.
ScreenImage CaptureScreenImage(const RECT& area);
// The part of an image inside the rectangle (clipped to the image).
ScreenImage CropScreenImage(const ScreenImage& image, const RECT& area);
// A whole PNG (or any format the imaging component reads); empty on failure.
ScreenImage LoadScreenImage(const std::wstring& path);
// A whole X window dump as xwd writes it (ZPixmap, TrueColor, 24 or 32 bits a pixel); empty on
// failure.
ScreenImage LoadXwdScreenImage(const std::wstring& path);
bool SaveScreenImagePng(const ScreenImage& image, const std::wstring& path);
// Writes 24-bit pixels (top-down rows of RGB() values) as a BMP file.
bool SaveScreenImageBmp(const ScreenImage& image, const std::wstring& path);

// Pixels inside the rectangle (image coordinates) that have exactly the colour.
int CountPixelsOfColour(const ScreenImage& image, const RECT& area, COLORREF colour);
