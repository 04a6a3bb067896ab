// The web view host: WebKitGTK 4.1 (WebKitWebView, a user script and a script message handler
// for the page API, WebKitWebsiteDataManager for the data folders), GTK message dialogs, and
// g_idle_add to carry replies from the workers to the main loop.
#include "webview_host.h"

#include <glib/gstdio.h>
#include <webkit2/webkit2.h>

#include <utility>

#include "app/bridge.h"
#include "base_dir.h"
#include "page_api.h"

namespace {

// The page's view; used on the main thread only, and cleared when the window goes away so that
// late replies are dropped.
WebKitWebView* g_webview = nullptr;

const BridgeWork& bridgeWork() {
  static const BridgeWork work = defaultBridgeWork();
  return work;
}

void onScriptMessage(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer) {
  JSCValue* value = webkit_javascript_result_get_js_value(result);
  if (!jsc_value_is_string(value)) return;
  gchar* text = jsc_value_to_string(value);
  std::string message(text);
  g_free(text);
  handleWebMessage(std::move(message), postReplyToPage, bridgeWork());
}

gboolean deliverReply(gpointer data) {
  std::unique_ptr<std::string> reply(static_cast<std::string*>(data));
  if (g_webview == nullptr) return G_SOURCE_REMOVE;
  // Service answers can carry bytes that are not UTF-8; they reach the page as U+FFFD, as a
  // UTF-8 to UTF-16 conversion would make them.
  gchar* text = g_utf8_make_valid(reply->data(), static_cast<gssize>(reply->size()));
  GVariantDict arguments;
  g_variant_dict_init(&arguments, nullptr);
  g_variant_dict_insert(&arguments, "reply", "s", text);
  g_free(text);
  // A reply the page cannot parse is dropped there, like any other undeliverable reply.
  webkit_web_view_call_async_javascript_function(g_webview, PAGE_DELIVER_BODY, -1,
                                                 g_variant_dict_end(&arguments), nullptr, nullptr,
                                                 nullptr, nullptr, nullptr);
  return G_SOURCE_REMOVE;
}

void onWindowDestroyed(GtkWidget*, gpointer) {
  g_webview = nullptr;
}

void showMissingPage(GtkWindow* window, const std::string& pagePath) {
  GtkWidget* dialog =
      gtk_message_dialog_new(window, GTK_DIALOG_DESTROY_WITH_PARENT, GTK_MESSAGE_ERROR,
                             GTK_BUTTONS_OK, "%s", pagePath.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), "Cannot find web/index.html");
  g_signal_connect(dialog, "response", G_CALLBACK(gtk_widget_destroy), nullptr);
  gtk_widget_show(dialog);
}

WebKitWebView* createWebView(const std::string& userDataDir) {
  const std::string cacheDir = userDataDir + "/cache";
  WebKitWebsiteDataManager* data =
      webkit_website_data_manager_new("base-data-directory", userDataDir.c_str(),
                                      "base-cache-directory", cacheDir.c_str(), nullptr);
  WebKitWebContext* context = webkit_web_context_new_with_website_data_manager(data);
  g_object_unref(data);

  WebKitUserContentManager* content = webkit_user_content_manager_new();
  WebKitUserScript* script =
      webkit_user_script_new(PAGE_API_SCRIPT, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                             WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
  webkit_user_content_manager_add_script(content, script);
  webkit_user_script_unref(script);
  // Connected before registering, so no message can slip by.
  const std::string signal = std::string("script-message-received::") + PAGE_MESSAGE_HANDLER;
  g_signal_connect(content, signal.c_str(), G_CALLBACK(onScriptMessage), nullptr);
  webkit_user_content_manager_register_script_message_handler(content, PAGE_MESSAGE_HANDLER);

  GtkWidget* view = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context,
                                            "user-content-manager", content, nullptr));
  g_object_unref(content);
  g_object_unref(context);

  // One static page: GPU compositing buys it nothing, while starting GL costs about a second
  // and 120 MiB in the web process where only software GL exists.
  WebKitSettings* settings = webkit_web_view_get_settings(WEBKIT_WEB_VIEW(view));
  webkit_settings_set_hardware_acceleration_policy(settings,
                                                   WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);

  // The page's own dark background from the first frame on, instead of a white flash.
  GdkRGBA background = {7 / 255.0, 12 / 255.0, 24 / 255.0, 1.0};
  webkit_web_view_set_background_color(WEBKIT_WEB_VIEW(view), &background);
  return WEBKIT_WEB_VIEW(view);
}

}  // namespace

bool postReplyToPage(std::unique_ptr<std::string>& reply) {
  g_idle_add(deliverReply, reply.get());
  reply.release();  // the main loop owns it now
  return true;
}

void startWebView(GtkWindow* window) {
  const std::string base = findAppBaseDir(programDirectory());
  const std::string pagePath = base + "/web/index.html";
  // A build tree or the per-user layout keeps WebKit's data beside the page. The installed
  // package's data folder belongs to the package manager (and is read-only to users): there it
  // goes to the user's cache folder instead.
  const bool installed = base == installedDataDirectory();
  const std::string buildDir =
      installed ? std::string(g_get_user_cache_dir()) + "/velmora-checker" : base + "/build";
  const std::string userDataDir = buildDir + "/webview-user-data";
  // Existing folders are fine; a folder that cannot be made leaves WebKit without storage.
  g_mkdir_with_parents(buildDir.c_str(), 0755);
  g_mkdir(userDataDir.c_str(), 0700);

  if (!g_file_test(pagePath.c_str(), G_FILE_TEST_EXISTS)) {
    showMissingPage(window, pagePath);
    return;
  }

  g_webview = createWebView(userDataDir);
  g_signal_connect(window, "destroy", G_CALLBACK(onWindowDestroyed), nullptr);
  gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(g_webview));
  gtk_widget_show(GTK_WIDGET(g_webview));

  gchar* uri = g_filename_to_uri(pagePath.c_str(), nullptr, nullptr);
  if (uri != nullptr) webkit_web_view_load_uri(g_webview, uri);
  g_free(uri);
}
