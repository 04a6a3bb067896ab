// The application icon: GDI (GetDC, CreateDIBSection, CreateBitmap, CreateIconIndirect) and the
// GDI+ flat API (a bitmap over the DIB's bits, path, solid brush, pens).
#include "app/windows/app_icon.h"

// The GDI+ headers need IStream from objidl.h.
// clang-format off
#include <objidl.h>
#include <gdiplus.h>
// clang-format on

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace Gdiplus::DllExports;
using Gdiplus::GpStatus;

namespace {

constexpr Gdiplus::ARGB SHIELD_FILL = 0xFF0F172A;
constexpr Gdiplus::ARGB SHIELD_OUTLINE = 0xFF38BDF8;
constexpr Gdiplus::ARGB CHECK_MARK = 0xFF22C55E;

// Every coordinate and width is a single-precision factor times the size.
struct Scale {
  float s;
  float operator()(float factor) const { return s * factor; }
};

void addShield(Gdiplus::GpPath* path, Scale at) {
  GdipAddPathLine(path, at(0.50f), at(0.08f), at(0.82f), at(0.21f));
  GdipAddPathLine(path, at(0.82f), at(0.21f), at(0.82f), at(0.47f));
  GdipAddPathBezier(path, at(0.82f), at(0.47f), at(0.82f), at(0.72f), at(0.64f), at(0.86f),
                    at(0.50f), at(0.93f));
  GdipAddPathBezier(path, at(0.50f), at(0.93f), at(0.36f), at(0.86f), at(0.18f), at(0.72f),
                    at(0.18f), at(0.47f));
  GdipAddPathLine(path, at(0.18f), at(0.47f), at(0.18f), at(0.21f));
  GdipClosePathFigure(path);
}

constexpr int SUPERSAMPLE = 4;

// Each icon pixel is the mean of its SUPERSAMPLE x SUPERSAMPLE block. The canvas holds
// premultiplied colour, whose mean is again premultiplied; an icon holds straight colour (Windows
// premultiplies it when drawing), so the mean colour is divided by the mean alpha.
void averageDown(const std::vector<std::uint32_t>& canvas, int size, std::uint32_t* out) {
  const int big = size * SUPERSAMPLE;
  constexpr unsigned SAMPLES = SUPERSAMPLE * SUPERSAMPLE;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      unsigned sums[4] = {0, 0, 0, 0};
      for (int dy = 0; dy < SUPERSAMPLE; ++dy) {
        for (int dx = 0; dx < SUPERSAMPLE; ++dx) {
          const std::uint32_t p =
              canvas[static_cast<std::size_t>((y * SUPERSAMPLE + dy) * big + x * SUPERSAMPLE + dx)];
          for (int c = 0; c < 4; ++c) sums[c] += (p >> (8 * c)) & 0xFF;
        }
      }
      const unsigned alphaSum = sums[3];
      std::uint32_t pixel = ((alphaSum + SAMPLES / 2) / SAMPLES) << 24;
      for (int c = 0; c < 3 && alphaSum != 0; ++c) {
        pixel |= std::min(255u, (sums[c] * 255 + alphaSum / 2) / alphaSum) << (8 * c);
      }
      out[y * size + x] = pixel;
    }
  }
}

// The icon's AND mask from the drawing's alpha: set (transparent) where nothing was painted.
// Rows of a monochrome bitmap are padded to 16 bits.
HBITMAP maskFromAlpha(const std::uint32_t* pixels, int size) {
  const int stride = (size + 15) / 16 * 2;
  std::vector<BYTE> bits(static_cast<std::size_t>(stride) * static_cast<std::size_t>(size), 0);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      if ((pixels[y * size + x] >> 24) != 0) continue;
      bits[static_cast<std::size_t>(y * stride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
    }
  }
  return CreateBitmap(size, size, 1, 1, bits.data());
}

void drawShield(Gdiplus::GpGraphics* graphics, int size) {
  GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeAntiAlias);
  const Scale at{static_cast<float>(size)};

  Gdiplus::GpPath* shield = nullptr;
  GdipCreatePath(Gdiplus::FillModeAlternate, &shield);
  addShield(shield, at);

  Gdiplus::GpSolidFill* fill = nullptr;
  GdipCreateSolidFill(SHIELD_FILL, &fill);
  Gdiplus::GpPen* outline = nullptr;
  GdipCreatePen1(SHIELD_OUTLINE, std::max(at(0.085f), 2.0f), Gdiplus::UnitWorld, &outline);
  GdipFillPath(graphics, fill, shield);
  GdipDrawPath(graphics, outline, shield);

  Gdiplus::GpPen* check = nullptr;
  GdipCreatePen1(CHECK_MARK, std::max(at(0.11f), 2.0f), Gdiplus::UnitWorld, &check);
  GdipSetPenStartCap(check, Gdiplus::LineCapRound);
  GdipSetPenEndCap(check, Gdiplus::LineCapRound);
  GdipDrawLine(graphics, check, at(0.34f), at(0.52f), at(0.46f), at(0.64f));
  GdipDrawLine(graphics, check, at(0.46f), at(0.64f), at(0.68f), at(0.36f));

  if (check) GdipDeletePen(check);
  if (outline) GdipDeletePen(outline);
  if (fill) GdipDeleteBrush(fill);
  if (shield) GdipDeletePath(shield);
}

// A 32-bit top-down DIB section of size x size, cleared; nullptr when GDI has none to give.
HBITMAP createColourBitmap(int size, void*& pixels) {
  BITMAPV5HEADER header;
  std::memset(&header, 0, sizeof(header));
  header.bV5Size = sizeof(BITMAPV5HEADER);
  header.bV5Width = size;
  header.bV5Height = -size;  // top-down rows
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;

  pixels = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                    &pixels, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!colour || !pixels) {
    if (colour) DeleteObject(colour);
    return nullptr;
  }
  std::memset(pixels, 0, static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 4);
  return colour;
}

// GDI+ draws in premultiplied ARGB, the layout icons use, so every pixel's alpha is kept
// (drawing through a device context leaves it at zero). It draws at four times the size and
// the result is averaged down: the edges come out anti-aliased even where GDI+ itself does not
// smooth (as under Wine), and the same everywhere.
bool drawSupersampled(int size, std::uint32_t* pixels) {
  const int big = size * SUPERSAMPLE;
  std::vector<std::uint32_t> canvasBits(
      static_cast<std::size_t>(big) * static_cast<std::size_t>(big), 0);
  Gdiplus::GpBitmap* canvas = nullptr;
  Gdiplus::GpGraphics* graphics = nullptr;
  Gdiplus::GpMatrix* scale = nullptr;
  bool drawn = false;
  if (GdipCreateBitmapFromScan0(big, big, big * 4, PixelFormat32bppPARGB,
                                reinterpret_cast<BYTE*>(canvasBits.data()),
                                &canvas) == Gdiplus::Ok &&
      GdipGetImageGraphicsContext(canvas, &graphics) == Gdiplus::Ok &&
      // Icon pixel centres sit on whole coordinates, as when GDI+ draws at the icon's own size.
      GdipCreateMatrix2(SUPERSAMPLE, 0, 0, SUPERSAMPLE, (SUPERSAMPLE - 1) / 2.0f,
                        (SUPERSAMPLE - 1) / 2.0f, &scale) == Gdiplus::Ok &&
      GdipSetWorldTransform(graphics, scale) == Gdiplus::Ok) {
    drawShield(graphics, size);
    drawn = true;
  }
  // Deleting the graphics flushes what it drew; the bitmap only wraps canvasBits.
  if (scale) GdipDeleteMatrix(scale);
  if (graphics) GdipDeleteGraphics(graphics);
  if (canvas) GdipDisposeImage(canvas);
  if (drawn) averageDown(canvasBits, size, pixels);
  return drawn;
}

}  // namespace

HICON createAppIcon(int size) {
  void* pixels = nullptr;
  HBITMAP colour = createColourBitmap(size, pixels);
  if (!colour) return nullptr;
  if (!drawSupersampled(size, static_cast<std::uint32_t*>(pixels))) {
    DeleteObject(colour);
    return nullptr;
  }
  GdiFlush();

  HBITMAP mask = maskFromAlpha(static_cast<const std::uint32_t*>(pixels), size);
  ICONINFO info{};
  info.fIcon = TRUE;
  info.xHotspot = 0;
  info.yHotspot = 0;
  info.hbmMask = mask;
  info.hbmColor = colour;
  HICON icon = mask ? CreateIconIndirect(&info) : nullptr;

  // The icon keeps its own copies of both bitmaps.
  DeleteObject(colour);
  if (mask) DeleteObject(mask);
  return icon;
}
