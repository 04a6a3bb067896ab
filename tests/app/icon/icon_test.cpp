// createAppIcon under GDI+: geometry, pen widths, colours and transparency, read back from the
// icon's own colour bitmap. Both icons are saved as PNG artefacts for a look by eye.
#include <gtest/gtest.h>

#include "app/windows/app_icon.h"
// The GDI+ headers need IStream from objidl.h.
// clang-format off
#include <objidl.h>
#include <gdiplus.h>
// clang-format on

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "png_file.h"

namespace {

using Argb = std::uint32_t;
constexpr Argb FILL = 0xFF0F172A;
constexpr Argb OUTLINE = 0xFF38BDF8;
constexpr Argb CHECK = 0xFF22C55E;

class GdiplusSession : public ::testing::Environment {
 public:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
  }
  void TearDown() override { Gdiplus::GdiplusShutdown(token_); }

 private:
  ULONG_PTR token_ = 0;
};
const auto* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusSession);

struct Picture {
  int size = 0;
  std::vector<Argb> pixels;  // top-down rows, 0xAARRGGBB
  Argb at(int x, int y) const { return pixels[static_cast<std::size_t>(y * size + x)]; }
};

// A square 32-bit bitmap, rows top down.
BITMAPINFO topDownArgb(int size) {
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  format.bmiHeader.biWidth = size;
  format.bmiHeader.biHeight = -size;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  return format;
}

// The pixels as the icon holds them, through GetIconInfo and GetDIBits.
Picture draw(int size) {
  Picture picture{size, std::vector<Argb>(static_cast<std::size_t>(size * size))};
  HICON icon = createAppIcon(size);
  EXPECT_NE(icon, nullptr);
  if (!icon) return picture;
  ICONINFO info{};
  EXPECT_TRUE(GetIconInfo(icon, &info));
  BITMAPINFO format = topDownArgb(size);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(size), picture.pixels.data(),
                      &format, DIB_RGB_COLORS),
            size);
  ReleaseDC(nullptr, screen);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
  return picture;
}

// The icon as Windows shows it: DrawIconEx onto a square of one colour.
Picture drawOnto(int size, Argb background) {
  Picture picture{size, std::vector<Argb>(static_cast<std::size_t>(size * size))};
  BITMAPINFO format = topDownArgb(size);
  void* bits = nullptr;
  HBITMAP target = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
  EXPECT_TRUE(target && bits);
  if (!target || !bits) return picture;
  auto* pixels = static_cast<Argb*>(bits);
  std::fill(pixels, pixels + size * size, background);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, target);
  HICON icon = createAppIcon(size);
  EXPECT_TRUE(DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL));
  GdiFlush();
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = pixels[i] & 0xFFFFFF;
  DestroyIcon(icon);
  SelectObject(dc, previous);
  DeleteDC(dc);
  DeleteObject(target);
  return picture;
}

void saveArtefact(const Picture& picture, int zoom, const std::string& label = "") {
  const char* folder = std::getenv("VELMORA_ARTIFACTS");
  if (!folder || !*folder) return;
  const int side = picture.size * zoom;
  // A bitmap without any alpha is shown through its mask, that is opaque: save it that way.
  bool hasAlpha = false;
  for (Argb p : picture.pixels) hasAlpha = hasAlpha || (p >> 24) != 0;
  std::vector<std::uint8_t> rgba;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      // Icons and PNG files both hold straight colour.
      const Argb p = picture.at(x / zoom, y / zoom);
      rgba.insert(rgba.end(), {static_cast<std::uint8_t>(p >> 16),
                               static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p),
                               hasAlpha ? static_cast<std::uint8_t>(p >> 24) : std::uint8_t{255}});
    }
  }
  const std::string name = std::string(folder) + "/icon-" + std::to_string(picture.size) + label +
                           (zoom > 1 ? "-x" + std::to_string(zoom) : "") + ".png";
  EXPECT_TRUE(writePng(name, side, side, rgba)) << name;
}

// GDI+ puts pixel centres on whole coordinates: a point lands in the pixel nearest to it.
Argb nearest(const Picture& p, double x, double y) {
  return p.at(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
}

// Anti-aliasing may blend edges; a solidly painted pixel keeps its colour. Only the colour is
// compared.
bool looksLike(Argb pixel, Argb colour, int tolerance = 48) {
  for (int shift : {0, 8, 16}) {
    const int a = static_cast<int>((pixel >> shift) & 0xFF);
    const int b = static_cast<int>((colour >> shift) & 0xFF);
    if (std::abs(a - b) > tolerance) return false;
  }
  return true;
}

// How much of one pixel a colour covers over a background, read from how far its green moved
// from the background's; 0 when the pixel is not a blend of those two (an edge of another paint).
double coverage(Argb pixel, Argb colour, Argb background) {
  const auto channel = [](Argb p, int shift) { return static_cast<double>((p >> shift) & 0xFF); };
  const double t = std::clamp(
      (channel(pixel, 8) - channel(background, 8)) / (channel(colour, 8) - channel(background, 8)),
      0.0, 1.0);
  for (int shift : {0, 16}) {
    const double blend =
        channel(background, shift) + t * (channel(colour, shift) - channel(background, shift));
    if (std::abs(channel(pixel, shift) - blend) > 24) return 0;
  }
  return t;
}

struct Point {
  double x, y;
};

std::vector<Point> checkMark(int s) {
  const float f = static_cast<float>(s);
  return {{f * 0.34f, f * 0.52f}, {f * 0.46f, f * 0.64f}, {f * 0.68f, f * 0.36f}};
}

// The shield's outline as a fine polyline.
std::vector<Point> shieldOutline(int s) {
  const auto at = [s](double fx, double fy) { return Point{s * fx, s * fy}; };
  std::vector<Point> line = {at(0.50, 0.08), at(0.82, 0.21), at(0.82, 0.47)};
  const auto bezier = [&line](Point a, Point b, Point c, Point d) {
    for (int i = 1; i <= 64; ++i) {
      const double t = i / 64.0, u = 1 - t;
      line.push_back(
          {u * u * u * a.x + 3 * u * u * t * b.x + 3 * u * t * t * c.x + t * t * t * d.x,
           u * u * u * a.y + 3 * u * u * t * b.y + 3 * u * t * t * c.y + t * t * t * d.y});
    }
  };
  bezier(at(0.82, 0.47), at(0.82, 0.72), at(0.64, 0.86), at(0.50, 0.93));
  bezier(at(0.50, 0.93), at(0.36, 0.86), at(0.18, 0.72), at(0.18, 0.47));
  line.push_back(at(0.18, 0.21));
  line.push_back(at(0.50, 0.08));
  return line;
}

double length(const std::vector<Point>& line) {
  double total = 0;
  for (std::size_t i = 1; i < line.size(); ++i)
    total += std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y);
  return total;
}

class AppIcon : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    small_ = new Picture(draw(16));
    big_ = new Picture(draw(32));
    saveArtefact(*small_, 1);
    saveArtefact(*small_, 12);
    saveArtefact(*big_, 1);
    saveArtefact(*big_, 12);
  }
  static void TearDownTestSuite() {
    delete small_;
    delete big_;
  }
  static Picture* small_;
  static Picture* big_;
};
Picture* AppIcon::small_ = nullptr;
Picture* AppIcon::big_ = nullptr;

TEST_F(AppIcon, CheckMarkRunsThroughItsPointsAt16) {
  const std::vector<Point> mark = checkMark(16);
  EXPECT_NEAR(mark[0].x, 5.44, 1e-4);
  EXPECT_NEAR(mark[1].y, 10.24, 1e-4);
  EXPECT_NEAR(mark[2].x, 10.88, 1e-4);
  std::vector<Point> probes = mark;
  probes.push_back({(mark[0].x + mark[1].x) / 2, (mark[0].y + mark[1].y) / 2});
  probes.push_back({(mark[1].x + mark[2].x) / 2, (mark[1].y + mark[2].y) / 2});
  for (const Point& p : probes)
    EXPECT_TRUE(looksLike(nearest(*small_, p.x, p.y), CHECK)) << p.x << "," << p.y;
}

// Both pens are 2.0 wide at 16 px (the floor), wider at 32 px (3.52 and 2.72). The painted area
// of a stroke is about its length times its width; a rasteriser without anti-aliasing paints
// somewhat more, so the band is generous but still tells 2.0 from 1 or 4.
TEST_F(AppIcon, PenWidthsFollowTheSize) {
  struct Case {
    int size;
    double checkWidth, outlineWidth;
  };
  for (const Case c : {Case{16, 2.0, 2.0}, Case{32, 3.52, 2.72}}) {
    const Picture& p = c.size == 16 ? *small_ : *big_;
    const std::vector<Point> mark = checkMark(c.size);
    const double r = c.checkWidth / 2;
    const double checkArea = length(mark) * c.checkWidth + 3.14159 * r * r;
    const double outlineArea = length(shieldOutline(c.size)) * c.outlineWidth;
    double checkPainted = 0, outlinePainted = 0;
    for (Argb pixel : p.pixels) {
      checkPainted += coverage(pixel, CHECK, FILL);
      if (looksLike(pixel, OUTLINE, 100)) outlinePainted += 1;
    }
    EXPECT_GT(checkPainted / checkArea, 0.8) << c.size;
    EXPECT_LT(checkPainted / checkArea, 1.45) << c.size;
    EXPECT_GT(outlinePainted / outlineArea, 0.75) << c.size;
    EXPECT_LT(outlinePainted / outlineArea, 1.45) << c.size;
  }
}

TEST_F(AppIcon, ShieldTopAndBottomAt32) {
  const Picture& p = *big_;
  EXPECT_TRUE(looksLike(nearest(p, 16.0, 2.56), OUTLINE));
  EXPECT_TRUE(looksLike(nearest(p, 16.0, 29.76), OUTLINE));
  EXPECT_EQ(p.at(16, 0), 0u);                            // above the top point
  EXPECT_TRUE(looksLike(nearest(p, 16.0, 6.5), FILL));   // inside, below the top
  EXPECT_TRUE(looksLike(nearest(p, 16.0, 26.5), FILL));  // inside, above the bottom
}

TEST_F(AppIcon, EachPaintHasItsColourWhereSolid) {
  const Picture& p = *big_;
  EXPECT_EQ(p.at(10, 10) & 0xFFFFFF, FILL & 0xFFFFFF);
  EXPECT_EQ(p.at(6, 12) & 0xFFFFFF, OUTLINE & 0xFFFFFF);  // the left edge, x = 5.76
  EXPECT_EQ(p.at(18, 16) & 0xFFFFFF, CHECK & 0xFFFFFF);   // the long stroke's middle
  for (Argb pixel : {p.at(10, 10), p.at(6, 12), p.at(18, 16)}) {
    const Argb alpha = pixel >> 24;
    EXPECT_TRUE(alpha == 0 || alpha == 0xFF) << std::hex << pixel;
  }
}

// Outside the shield's box, widened by half the outline and a pixel and a half for the joins,
// nothing is painted at all.
TEST_F(AppIcon, PixelsAwayFromTheDrawingStayZero) {
  for (const Picture* p : {small_, big_}) {
    const double s = p->size;
    const double margin = std::max(0.085 * s, 2.0) / 2 + 1.5;
    int checked = 0;
    for (int y = 0; y < p->size; ++y) {
      for (int x = 0; x < p->size; ++x) {
        const bool outside = x < 0.18 * s - margin || x > 0.82 * s + margin ||
                             y < 0.08 * s - margin || y > 0.93 * s + margin;
        if (!outside) continue;
        ++checked;
        EXPECT_EQ(p->at(x, y), 0u) << p->size << " px at " << x << "," << y;
      }
    }
    EXPECT_GE(checked, p->size);
  }
}

// On white and on black: the corners keep the background, the inside is the same opaque shield
// on both, and the edges are blends that differ with the background (alpha, not a mask).
TEST(AppIconOnScreen, TransparentAroundAnOpaqueAntiAliasedShield) {
  for (int size : {16, 32}) {
    const Picture white = drawOnto(size, 0xFFFFFF), black = drawOnto(size, 0x000000);
    saveArtefact(white, 12, "-on-white");
    saveArtefact(black, 12, "-on-black");
    const int last = size - 1;
    for (auto [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}}) {
      EXPECT_EQ(white.at(x, y), 0xFFFFFFu) << size << " px corner " << x << "," << y;
      EXPECT_EQ(black.at(x, y), 0x000000u) << size << " px corner " << x << "," << y;
    }
    const double middle = size * 0.5;
    EXPECT_EQ(white.at(size / 2, size / 2), black.at(size / 2, size / 2)) << size;
    EXPECT_TRUE(looksLike(nearest(white, middle, size * 0.3), FILL)) << size;
    EXPECT_TRUE(looksLike(nearest(black, middle, size * 0.3), FILL)) << size;
    EXPECT_TRUE(looksLike(nearest(black, middle, size * 0.08), OUTLINE)) << size;
    int blended = 0;
    for (std::size_t i = 0; i < white.pixels.size(); ++i) {
      const Argb w = white.pixels[i], b = black.pixels[i];
      if (w != b && w != 0xFFFFFF && b != 0) ++blended;
    }
    EXPECT_GE(blended, size) << size << " px: too few partly covered edge pixels";
    // The icon holds straight colour: over black a partly covered pixel is colour times alpha,
    // not darker (which is what premultiplying twice gives).
    const Picture icon = draw(size);
    for (std::size_t i = 0; i < icon.pixels.size(); ++i) {
      const Argb alpha = icon.pixels[i] >> 24;
      if (alpha == 0 || alpha == 0xFF) continue;
      for (int shift : {0, 8, 16}) {
        const int expected = static_cast<int>(((icon.pixels[i] >> shift) & 0xFF) * alpha / 255);
        EXPECT_NEAR(static_cast<int>((black.pixels[i] >> shift) & 0xFF), expected, 3)
            << size << " px, pixel " << i;
      }
    }
  }
}

}  // namespace
