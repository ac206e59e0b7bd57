// Client-area painting. Pictures are loaded on every paint and released before it returns: test
// pictures are small, and nothing stays open on a file that a test may want to delete.
#include "picture.h"

#include "wic_picture.h"

namespace {

const COLORREF kBackground = RGB(40, 90, 160);
const COLORREF kLabelColour = RGB(255, 255, 255);

bool HasExtension(const std::wstring& path, const wchar_t* extension) {
  const size_t dot = path.find_last_of(L'.');
  if (dot == std::wstring::npos || path.find_first_of(L"\\/", dot) != std::wstring::npos) {
    return false;
  }
  return CompareStringOrdinal(path.c_str() + dot, -1, extension, -1, TRUE) == CSTR_EQUAL;
}

HBITMAP LoadPicture(const std::wstring& path) {
  if (HasExtension(path, L".bmp")) {
    return static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                           LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  }
  if (HasExtension(path, L".png") || HasExtension(path, L".jpg") || HasExtension(path, L".jpeg")) {
    return LoadBitmapWithWic(path.c_str());
  }
  return nullptr;
}

// Largest rectangle of the bitmap's aspect that fits the client area, centred in it.
RECT FitRect(const RECT& client, LONG width, LONG height) {
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

bool DrawBitmap(HDC dc, const RECT& client, HBITMAP bitmap) {
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
  const BOOL drawn = StretchBlt(dc, fit.left, fit.top, fit.right - fit.left, fit.bottom - fit.top,
                                memory, 0, 0, info.bmWidth, height, SRCCOPY);
  SetStretchBltMode(dc, oldMode);
  SelectObject(memory, oldBitmap);
  DeleteDC(memory);
  return drawn != FALSE;
}

void DrawLabel(HDC dc, const RECT& client, const std::wstring& label) {
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

void PaintPicture(HDC dc, const RECT& client, const std::wstring& path, const std::wstring& label) {
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

bool WritePictureBmp(const std::wstring& bmpPath, const RECT& client, const std::wstring& path,
                     const std::wstring& label) {
  const LONG width = client.right - client.left;
  const LONG height = client.bottom - client.top;
  if (width <= 0 || height <= 0) {
    return false;
  }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores its rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  info.bmiHeader.biSizeImage = stride * static_cast<DWORD>(height);

  HDC memory = CreateCompatibleDC(nullptr);
  if (memory == nullptr) {
    return false;
  }
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool written = false;
  if (bitmap != nullptr) {
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    const RECT area = {0, 0, width, height};
    PaintPicture(memory, area, path, label);
    GdiFlush();

    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfOffBits = sizeof(fileHeader) + sizeof(info.bmiHeader);
    fileHeader.bfSize = fileHeader.bfOffBits + info.bmiHeader.biSizeImage;
    const std::wstring temporary = bmpPath + L".tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD done = 0;
      written = WriteFile(file, &fileHeader, sizeof(fileHeader), &done, nullptr) &&
                done == sizeof(fileHeader) &&
                WriteFile(file, &info.bmiHeader, sizeof(info.bmiHeader), &done, nullptr) &&
                done == sizeof(info.bmiHeader) &&
                WriteFile(file, bits, info.bmiHeader.biSizeImage, &done, nullptr) &&
                done == info.bmiHeader.biSizeImage;
      CloseHandle(file);
      written =
          written && MoveFileExW(temporary.c_str(), bmpPath.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  return written;
}
