// The shield icon, drawn at run time: a dark shield with a light-blue outline and a green check
// mark on a transparent background. Uses cairo image surfaces and gdk-pixbuf.
#include "app_icon.h"

#include <gdk/gdk.h>

#include <algorithm>

namespace {

void setColour(cairo_t* cr, unsigned rgb) {
  cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                       (rgb & 0xFF) / 255.0);
}

}  // namespace

cairo_surface_t* drawAppIcon(int size) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(surface);  // a new image surface starts fully transparent
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);

  // Coordinates are factors of the size, taken in single precision like every other drawing
  // of this icon, so all sizes and platforms agree to the pixel.
  const float s = static_cast<float>(size);
  auto at = [s](float factor) { return static_cast<double>(factor * s); };

  cairo_move_to(cr, at(0.50f), at(0.08f));
  cairo_line_to(cr, at(0.82f), at(0.21f));
  cairo_line_to(cr, at(0.82f), at(0.47f));
  cairo_curve_to(cr, at(0.82f), at(0.72f), at(0.64f), at(0.86f), at(0.50f), at(0.93f));
  cairo_curve_to(cr, at(0.36f), at(0.86f), at(0.18f), at(0.72f), at(0.18f), at(0.47f));
  cairo_line_to(cr, at(0.18f), at(0.21f));
  cairo_close_path(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  setColour(cr, 0x0F172A);
  cairo_fill_preserve(cr);
  setColour(cr, 0x38BDF8);
  cairo_set_line_width(cr, std::max(at(0.085f), 2.0));
  cairo_stroke(cr);

  setColour(cr, 0x22C55E);
  cairo_set_line_width(cr, std::max(at(0.11f), 2.0));
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, at(0.34f), at(0.52f));
  cairo_line_to(cr, at(0.46f), at(0.64f));
  cairo_stroke(cr);
  cairo_move_to(cr, at(0.46f), at(0.64f));
  cairo_line_to(cr, at(0.68f), at(0.36f));
  cairo_stroke(cr);

  cairo_destroy(cr);
  cairo_surface_flush(surface);
  return surface;
}

GList* createAppIcons() {
  GList* icons = nullptr;
  for (int size : {16, 32, 48, 64, 128, 256}) {
    cairo_surface_t* surface = drawAppIcon(size);
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
      GdkPixbuf* pixbuf = gdk_pixbuf_get_from_surface(surface, 0, 0, size, size);
      if (pixbuf != nullptr) icons = g_list_append(icons, pixbuf);
    }
    cairo_surface_destroy(surface);
  }
  return icons;
}
