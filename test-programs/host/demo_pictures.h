// The demo's pictures: plain scenes of a few solid colours (sky, ground, a round shape), so that a
// screenshot can be checked for the picture by its colours. Written as BMP and PNG files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct DemoPicture {
  const wchar_t* name;  // file name, e.g. L"2-lagoon.bmp"
  COLORREF sky;         // the upper part
  COLORREF ground;      // the lower part
  COLORREF shape;       // a disc across the horizon
  int horizonPercent;   // where the sky ends, in percent of the height
};

// The pictures in the order the viewer steps through them (by name).
const std::vector<DemoPicture>& AllDemoPictures();
// The picture of that name; nullptr when there is none.
const DemoPicture* FindDemoPicture(const std::wstring& name);
// Writes every picture into the folder (ending in a backslash); false when one fails.
bool WriteDemoPictures(const std::wstring& folder);
