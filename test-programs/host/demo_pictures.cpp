// The demo pictures, drawn pixel by pixel so that every colour is exact, and written through the
// screen-image writers (BMP directly, PNG through the imaging component).
#include "demo_pictures.h"

#include "screen_image.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

ScreenImage Draw(const DemoPicture& picture) {
  ScreenImage image;
  image.width = kWidth;
  image.height = kHeight;
  image.pixels.resize(static_cast<size_t>(kWidth) * kHeight);
  const int horizon = kHeight * picture.horizonPercent / 100;
  const int centreX = kWidth * 2 / 3;
  const int radius = kHeight / 6;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const int dx = x - centreX;
      const int dy = y - horizon;
      COLORREF colour = y < horizon ? picture.sky : picture.ground;
      if (dx * dx + dy * dy < radius * radius) colour = picture.shape;
      image.pixels[static_cast<size_t>(y) * kWidth + x] = colour;
    }
  }
  return image;
}

bool EndsWith(const std::wstring& text, const wchar_t* end) {
  const std::wstring suffix(end);
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

const std::vector<DemoPicture>& AllDemoPictures() {
  static const std::vector<DemoPicture> pictures = {
      {L"1-sunrise.bmp", RGB(250, 196, 92), RGB(116, 62, 34), RGB(255, 244, 214), 60},
      {L"2-lagoon.bmp", RGB(152, 218, 240), RGB(0, 148, 140), RGB(232, 208, 150), 50},
      {L"3-meadow.png", RGB(204, 228, 252), RGB(72, 168, 60), RGB(236, 64, 120), 40},
  };
  return pictures;
}

const DemoPicture* FindDemoPicture(const std::wstring& name) {
  for (const DemoPicture& picture : AllDemoPictures()) {
    if (name == picture.name) return &picture;
  }
  return nullptr;
}

bool WriteDemoPictures(const std::wstring& folder) {
  for (const DemoPicture& picture : AllDemoPictures()) {
    const std::wstring path = folder + picture.name;
    const ScreenImage image = Draw(picture);
    const bool written =
        EndsWith(path, L".png") ? SaveScreenImagePng(image, path) : SaveScreenImageBmp(image, path);
    if (!written) return false;
  }
  return true;
}
