// The setup's only way of talking to the user: a GTK message box, or standard error when there
// is no display to show one on. APIs: GtkMessageDialog.
#include <gtk/gtk.h>

#include <iostream>

#include "setup.h"

void showMessage(bool haveDisplay, const std::string& text, MessageKind kind) {
  if (!haveDisplay) {
    std::cerr << text << '\n';
    return;
  }
  GtkWidget* dialog = gtk_message_dialog_new(
      nullptr, GTK_DIALOG_MODAL, kind == MessageKind::error ? GTK_MESSAGE_ERROR : GTK_MESSAGE_INFO,
      GTK_BUTTONS_OK, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), "Velmora Checker Setup");
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  // Let the box disappear from the screen before the process ends.
  while (gtk_events_pending()) gtk_main_iteration();
}
