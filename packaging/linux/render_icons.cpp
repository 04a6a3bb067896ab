// Build-time tool: writes the drawn shield as the hicolor theme's PNG icons,
//   render_icons OUTDIR NAME  ->  OUTDIR/<size>x<size>/apps/NAME.png for 16 to 256 pixels,
// with the same drawing the checker's window uses, so the menu and the window show one icon.
#include <cairo.h>
#include <glib.h>

#include <cstdio>
#include <string>

#include "app_icon.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: render_icons OUTDIR NAME\n");
    return 2;
  }
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string px = std::to_string(size);
    const std::string dir = std::string(argv[1]) + "/" + px + "x" + px + "/apps";
    const std::string file = dir + "/" + argv[2] + ".png";
    if (g_mkdir_with_parents(dir.c_str(), 0755) != 0) {
      std::fprintf(stderr, "render_icons: cannot make %s\n", dir.c_str());
      return 1;
    }
    cairo_surface_t* surface = drawAppIcon(size);
    const cairo_status_t status = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS
                                      ? cairo_surface_write_to_png(surface, file.c_str())
                                      : cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
      std::fprintf(stderr, "render_icons: %s: %s\n", file.c_str(), cairo_status_to_string(status));
      return 1;
    }
  }
  return 0;
}
