// Client-area painting. Pictures are loaded on every paint and released before it returns: test
// pictures are small, and nothing stays open on a file that a test may want to delete.
#include "picture.h"

#include "wic_picture.h"

namespace {

const COLORREF kBackground = RGB(40, 90, 160);
const COLORREF kLabelColour = RGB(255, 255, 255);

bool HasExtension(const std::wstring& path, const wchar_t* extension)
{
  const size_t dot = path.find_last_of(L'.');
  if (dot == std::wstring::npos || path.find_first_of(L"\\/", dot) != std::wstring::npos) {
    return false;
  }
  return CompareStringOrdinal(path.c_str() + dot, -1, extension, -1, TRUE) == CSTR_EQUAL;
}

HBITMAP LoadPicture(const std::wstring& path)
{
  if (HasExtension(path, L".bmp")) {
    return static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  }
  if (HasExtension(path, L".png") || HasExtension(path, L".jpg") || HasExtension(path, L".jpeg")) {
    return Wic_LoadBitmap(path.c_str());
  }
  return nullptr;
}

// Largest rectangle of the bitmap's aspect that fits the client area, centred in it.
RECT FitRect(const RECT& client, LONG width, LONG height)
{
  const LONG clientWidth = client.right - client.left;
  const LONG clientHeight = client.bottom - client.top;
  LONG fitWidth = clientWidth;
  LONG fitHeight = MulDiv(height, clientWidth, width);
  if (fitHeight > clientHeight) {
    fitHeight = clientHeight;
    fitWidth = MulDiv(width, clientHeight, height);
  }
  RECT fit;
  fit.left = client.left + (clientWidth - fitWidth) / 2;
  fit.top = client.top + (clientHeight - fitHeight) / 2;
  fit.right = fit.left + fitWidth;
  fit.bottom = fit.top + fitHeight;
  return fit;
}

bool DrawBitmap(HDC dc, const RECT& client, HBITMAP bitmap)
{
  BITMAP info = {};
  if (GetObjectW(bitmap, sizeof(info), &info) == 0 || info.bmWidth <= 0 || info.bmHeight == 0) {
    return false;
  }
  const LONG height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  const RECT fit = FitRect(client, info.bmWidth, height);

  HDC memory = CreateCompatibleDC(dc);
  if (memory == nullptr) {
    return false;
  }
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  const int oldMode = SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);  // HALFTONE needs the brush origin reset after the mode change
  const BOOL drawn = StretchBlt(dc, fit.left, fit.top, fit.right - fit.left, fit.bottom - fit.top, memory, 0, 0,
                                info.bmWidth, height, SRCCOPY);
  SetStretchBltMode(dc, oldMode);
  SelectObject(memory, oldBitmap);
  DeleteDC(memory);
  return drawn != FALSE;
}

void DrawLabel(HDC dc, const RECT& client, const std::wstring& label)
{
  RECT box = client;
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, kLabelColour);
  DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &box,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldFont);
}

}  // namespace

void Picture_Paint(HDC dc, const RECT& client, const std::wstring& path, const std::wstring& label)
{
  HBRUSH background = CreateSolidBrush(kBackground);
  if (background != nullptr) {
    FillRect(dc, &client, background);
    DeleteObject(background);
  }
  bool drawn = false;
  if (!path.empty()) {
    HBITMAP picture = LoadPicture(path);
    if (picture != nullptr) {
      drawn = DrawBitmap(dc, client, picture);
      DeleteObject(picture);
    }
  }
  if (!drawn) {
    DrawLabel(dc, client, label);
  }
}
