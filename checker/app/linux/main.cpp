// velmora-checker on Linux: one GTK 3 window whose whole client area is the page. Uses GTK 3
// (window, header bar, CSS for the caption colour) and the GLib main loop.
#include <gtk/gtk.h>

#include <cstdlib>

#include "app_icon.h"
#include "webview_host.h"

namespace {

// The caption colour of the Windows title bar, on our own header bar.
constexpr const char* TITLE_BAR_CSS =
    "headerbar { background: #070C18; border-color: #070C18; box-shadow: none; }"
    "headerbar .title { color: #E2E8F0; }"
    // Without a compositor GTK frames the window with a grey resize border; keep it dark.
    "window.solid-csd { box-shadow: inset 0 0 0 1px #1E293B, inset 0 0 0 4px #070C18; }";

void applyTitleBarStyle() {
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, TITLE_BAR_CSS, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(css);
}

GtkWindow* createMainWindow() {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "Check Your Velmora");
  gtk_window_set_default_size(GTK_WINDOW(window), 1180, 780);

  GtkWidget* titleBar = gtk_header_bar_new();
  gtk_header_bar_set_title(GTK_HEADER_BAR(titleBar), "Check Your Velmora");
  gtk_header_bar_set_show_close_button(GTK_HEADER_BAR(titleBar), TRUE);
  gtk_window_set_titlebar(GTK_WINDOW(window), titleBar);

  GList* icons = createAppIcons();
  gtk_window_set_default_icon_list(icons);  // dialogs carry the shield too
  gtk_window_set_icon_list(GTK_WINDOW(window), icons);
  g_list_free_full(icons, g_object_unref);

  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  return GTK_WINDOW(window);
}

}  // namespace

int main(int argc, char** argv) {
  g_set_prgname("velmora-checker");
  gtk_init(&argc, &argv);
  g_set_application_name("Check Your Velmora");
  g_object_set(gtk_settings_get_default(), "gtk-application-prefer-dark-theme", TRUE, nullptr);
  applyTitleBarStyle();

  GtkWindow* window = createMainWindow();
  gtk_widget_show_all(GTK_WIDGET(window));
  startWebView(window);
  gtk_main();

  // Workers may still be running a scan: leave without running static destructors under them.
  // Their replies are never delivered.
  std::quick_exit(EXIT_SUCCESS);
}
