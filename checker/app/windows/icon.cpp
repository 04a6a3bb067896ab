// The application icon: GDI (GetDC, CreateDIBSection, CreateCompatibleDC, SelectObject,
// CreateBitmap, CreateIconIndirect) and the GDI+ flat API (path, solid brush, pens).
#include "app/windows/icon.h"

// The GDI+ headers need IStream from objidl.h.
// clang-format off
#include <objidl.h>
#include <gdiplus.h>
// clang-format on

#include <algorithm>
#include <cstring>

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

}  // namespace

HICON createAppIcon(int size) {
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

  void* pixels = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                    &pixels, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!colour || !pixels) {
    if (colour) DeleteObject(colour);
    return nullptr;
  }
  std::memset(pixels, 0, static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 4);

  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(memory, colour);
  Gdiplus::GpGraphics* graphics = nullptr;
  GdipCreateFromHDC(memory, &graphics);
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

  SelectObject(memory, previous);
  DeleteDC(memory);

  // The colour bitmap carries alpha, so the mask's content does not matter.
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  ICONINFO info{};
  info.fIcon = TRUE;
  info.xHotspot = 0;
  info.yHotspot = 0;
  info.hbmMask = mask;
  info.hbmColor = colour;
  HICON icon = CreateIconIndirect(&info);

  // The icon keeps its own copies of both bitmaps.
  DeleteObject(colour);
  if (mask) DeleteObject(mask);
  if (check) GdipDeletePen(check);
  if (outline) GdipDeletePen(outline);
  if (fill) GdipDeleteBrush(fill);
  if (shield) GdipDeletePath(shield);
  if (graphics) GdipDeleteGraphics(graphics);
  return icon;
}
