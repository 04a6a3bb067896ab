#pragma once
#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <glib.h>

// The shield icon drawn at `size` pixels on a transparent ARGB surface (caller destroys it).
cairo_surface_t* drawAppIcon(int size);

// The icon at 16, 32, 48, 64, 128 and 256 pixels, for gtk_window_set_icon_list; free the list
// with g_list_free_full(list, g_object_unref).
GList* createAppIcons();
