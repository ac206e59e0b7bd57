// Screen pixels in and out: GDI for the screen, a plain reader for X window dumps, WIC for PNG
// files, a plain writer for BMP files.
// Every GDI object and COM interface is released in the call that took it.
#include "screen_image.h"

#include <wincodec.h>

namespace {

int WidthOf(const RECT& r) { return r.right - r.left; }
int HeightOf(const RECT& r) { return r.bottom - r.top; }

template <typename T>
void Release(T*& pointer) {
  if (pointer != nullptr) pointer->Release();
  pointer = nullptr;
}

IWICImagingFactory* CreateFactory() {
  IWICImagingFactory* factory = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&factory)))) {
    return nullptr;
  }
  return factory;
}

// Rows of blue, green, red bytes with the given stride, from RGB() values.
std::vector<BYTE> ToBgr(const ScreenImage& image, UINT stride, bool bottomUp) {
  std::vector<BYTE> bytes(static_cast<size_t>(stride) * image.height, 0);
  for (int y = 0; y < image.height; ++y) {
    BYTE* row = bytes.data() + static_cast<size_t>(bottomUp ? image.height - 1 - y : y) * stride;
    for (int x = 0; x < image.width; ++x) {
      COLORREF colour = image.At(x, y);
      row[3 * x] = GetBValue(colour);
      row[3 * x + 1] = GetGValue(colour);
      row[3 * x + 2] = GetRValue(colour);
    }
  }
  return bytes;
}

// The X window dump's header: 25 numbers of 32 bits, most significant byte first, then the
// window's name up to header_size, then ncolors colour records of 12 bytes, then the rows.
enum XwdField {
  kHeaderSize = 0,
  kFileVersion = 1,
  kPixmapFormat = 2,
  kWidth = 4,
  kHeight = 5,
  kByteOrder = 7,
  kBitsPerPixel = 11,
  kBytesPerLine = 12,
  kVisualClass = 13,
  kRedMask = 14,
  kGreenMask = 15,
  kBlueMask = 16,
  kColourCount = 19,
  kFieldCount = 25
};
constexpr DWORD kXwdVersion = 7;
constexpr DWORD kZPixmap = 2;
constexpr DWORD kTrueColor = 4;
constexpr DWORD kDirectColor =
    5;  // what Xvfb's root reports while Wine runs; its map is the identity
constexpr DWORD kXwdColourSize = 12;
// A bound on the dump's size that the demo's screen keeps well within (1280 x 1024 x 4 bytes).
constexpr DWORD kXwdMaxBytes = 64u * 1024 * 1024;

DWORD BigEndian(const BYTE* bytes) {
  return (DWORD{bytes[0]} << 24) | (DWORD{bytes[1]} << 16) | (DWORD{bytes[2]} << 8) | bytes[3];
}

// The colour component a mask selects, scaled to 8 bits.
BYTE Component(DWORD pixel, DWORD mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  DWORD value = (pixel & mask) >> shift;
  DWORD maximum = mask >> shift;
  return static_cast<BYTE>(value * 255 / maximum);
}

}  // namespace

ScreenImage CaptureScreenImage(const RECT& area) {
  ScreenImage image;
  const int width = WidthOf(area);
  const int height = HeightOf(area);
  if (width <= 0 || height <= 0) return image;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;

  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return image;
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (memory != nullptr && bitmap != nullptr) {
    HGDIOBJ previous = SelectObject(memory, bitmap);
    if (BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT)) {
      GdiFlush();
      const DWORD* pixels = static_cast<const DWORD*>(bits);
      image.width = width;
      image.height = height;
      image.pixels.resize(static_cast<size_t>(width) * height);
      for (size_t i = 0; i < image.pixels.size(); ++i) {
        DWORD bgr = pixels[i];  // blue in the low byte
        image.pixels[i] = RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
      }
    }
    SelectObject(memory, previous);
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  if (memory != nullptr) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return image;
}

ScreenImage CropScreenImage(const ScreenImage& image, const RECT& area) {
  RECT bounds = {0, 0, image.width, image.height};
  RECT clipped = {};
  ScreenImage part;
  if (!IntersectRect(&clipped, &bounds, &area)) return part;
  part.width = WidthOf(clipped);
  part.height = HeightOf(clipped);
  part.pixels.reserve(static_cast<size_t>(part.width) * part.height);
  for (int y = clipped.top; y < clipped.bottom; ++y) {
    for (int x = clipped.left; x < clipped.right; ++x) part.pixels.push_back(image.At(x, y));
  }
  return part;
}

ScreenImage LoadScreenImage(const std::wstring& path) {
  ScreenImage image;
  IWICImagingFactory* factory = CreateFactory();
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  UINT width = 0;
  UINT height = 0;
  if (factory != nullptr &&
      SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                   WICDecodeMetadataCacheOnDemand, &decoder)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) &&
      SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
      SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                      nullptr, 0.0, WICBitmapPaletteTypeCustom)) &&
      SUCCEEDED(converter->GetSize(&width, &height)) && width > 0 && height > 0) {
    std::vector<DWORD> bgr(static_cast<size_t>(width) * height);
    if (SUCCEEDED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(bgr.size() * 4),
                                        reinterpret_cast<BYTE*>(bgr.data())))) {
      image.width = static_cast<int>(width);
      image.height = static_cast<int>(height);
      image.pixels.resize(bgr.size());
      for (size_t i = 0; i < bgr.size(); ++i) {
        image.pixels[i] = RGB((bgr[i] >> 16) & 0xFF, (bgr[i] >> 8) & 0xFF, bgr[i] & 0xFF);
      }
    }
  }
  Release(converter);
  Release(frame);
  Release(decoder);
  Release(factory);
  return image;
}

ScreenImage LoadXwdScreenImage(const std::wstring& path) {
  ScreenImage image;
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return image;
  LARGE_INTEGER size = {};
  std::vector<BYTE> bytes;
  if (GetFileSizeEx(file, &size) && size.QuadPart > 4 * kFieldCount &&
      size.QuadPart <= kXwdMaxBytes) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size()) {
      bytes.clear();
    }
  }
  CloseHandle(file);
  if (bytes.empty()) return image;

  DWORD field[kFieldCount];
  for (int i = 0; i < kFieldCount; ++i) field[i] = BigEndian(bytes.data() + 4 * i);
  const DWORD bitsPerPixel = field[kBitsPerPixel];
  const DWORD bytesPerPixel = bitsPerPixel / 8;
  const DWORD width = field[kWidth];
  const DWORD height = field[kHeight];
  const DWORD stride = field[kBytesPerLine];
  if (field[kFileVersion] != kXwdVersion || field[kPixmapFormat] != kZPixmap ||
      (field[kVisualClass] != kTrueColor && field[kVisualClass] != kDirectColor) ||
      (bitsPerPixel != 24 && bitsPerPixel != 32) || width == 0 || height == 0 || width > 16384 ||
      height > 16384 || stride < width * bytesPerPixel) {
    return image;
  }
  const unsigned long long start =
      field[kHeaderSize] + static_cast<unsigned long long>(field[kColourCount]) * kXwdColourSize;
  if (start + static_cast<unsigned long long>(stride) * height > bytes.size()) return image;

  const bool mostSignificantFirst = field[kByteOrder] != 0;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.pixels.resize(static_cast<size_t>(width) * height);
  for (DWORD y = 0; y < height; ++y) {
    const BYTE* row = bytes.data() + start + static_cast<size_t>(y) * stride;
    for (DWORD x = 0; x < width; ++x) {
      const BYTE* at = row + x * bytesPerPixel;
      DWORD pixel = 0;
      for (DWORD b = 0; b < bytesPerPixel; ++b) {
        const DWORD byte = mostSignificantFirst ? at[b] : at[bytesPerPixel - 1 - b];
        pixel = (pixel << 8) | byte;
      }
      image.pixels[static_cast<size_t>(y) * width + x] =
          RGB(Component(pixel, field[kRedMask]), Component(pixel, field[kGreenMask]),
              Component(pixel, field[kBlueMask]));
    }
  }
  return image;
}

bool SaveScreenImagePng(const ScreenImage& image, const std::wstring& path) {
  if (image.empty()) return false;
  const UINT stride = static_cast<UINT>(image.width) * 3;
  std::vector<BYTE> bytes = ToBgr(image, stride, false);

  IWICImagingFactory* factory = CreateFactory();
  IWICStream* stream = nullptr;
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame = nullptr;
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  bool saved =
      factory != nullptr && SUCCEEDED(factory->CreateStream(&stream)) &&
      SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
      SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
      SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
      SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
      SUCCEEDED(frame->Initialize(nullptr)) &&
      SUCCEEDED(frame->SetSize(static_cast<UINT>(image.width), static_cast<UINT>(image.height))) &&
      SUCCEEDED(frame->SetPixelFormat(&format)) &&
      IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
      SUCCEEDED(frame->WritePixels(static_cast<UINT>(image.height), stride,
                                   static_cast<UINT>(bytes.size()), bytes.data())) &&
      SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
  Release(frame);
  Release(encoder);
  Release(stream);
  Release(factory);
  return saved;
}

bool SaveScreenImageBmp(const ScreenImage& image, const std::wstring& path) {
  if (image.empty()) return false;
  const UINT stride = (static_cast<UINT>(image.width) * 3 + 3) & ~3u;
  std::vector<BYTE> bytes = ToBgr(image, stride, true);  // BMP rows run bottom-up

  BITMAPFILEHEADER fileHeader = {};
  BITMAPINFOHEADER info = {};
  fileHeader.bfType = 0x4D42;  // "BM"
  fileHeader.bfOffBits = sizeof(fileHeader) + sizeof(info);
  fileHeader.bfSize = fileHeader.bfOffBits + static_cast<DWORD>(bytes.size());
  info.biSize = sizeof(info);
  info.biWidth = image.width;
  info.biHeight = image.height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(bytes.size());

  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, &fileHeader, sizeof(fileHeader), &written, nullptr) &&
            written == sizeof(fileHeader) &&
            WriteFile(file, &info, sizeof(info), &written, nullptr) && written == sizeof(info) &&
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  CloseHandle(file);
  return ok;
}

int CountPixelsOfColour(const ScreenImage& image, const RECT& area, COLORREF colour) {
  int count = 0;
  for (int y = area.top < 0 ? 0 : area.top; y < area.bottom && y < image.height; ++y) {
    for (int x = area.left < 0 ? 0 : area.left; x < area.right && x < image.width; ++x) {
      if (image.At(x, y) == colour) ++count;
    }
  }
  return count;
}
