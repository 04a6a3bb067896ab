#pragma once
#include <gtk/gtk.h>

#include <memory>
#include <string>

// Finds the page, prepares build/webview-user-data, and fills the window with a web view of the
// page wired to the bridge. A missing page is reported in a dialog; the window then stays empty.
void startWebView(GtkWindow* window);

// Hands a worker's reply to the GTK main loop; the text is delivered there, or dropped when the
// page is gone. Called from worker threads.
bool postReplyToPage(std::unique_ptr<std::string>& reply);
