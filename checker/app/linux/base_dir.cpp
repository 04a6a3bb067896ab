// Where the page is: the program's folder or one of the two above it, else the installed data
// folder. Uses GLib's file tests and /proc/self/exe.
#include "base_dir.h"

#include <glib.h>

namespace {

std::string parentOf(const std::string& dir) {
  gchar* parent = g_path_get_dirname(dir.c_str());
  std::string result(parent);
  g_free(parent);
  return result;
}

}  // namespace

std::string programDirectory() {
  gchar* exe = g_file_read_link("/proc/self/exe", nullptr);
  if (exe == nullptr) exe = g_get_current_dir();  // no /proc: the best guess left
  std::string dir = parentOf(exe);
  g_free(exe);
  return dir;
}

std::string installedDataDirectory() {
  return VELMORA_DATA_DIR;
}

bool hasWebPage(const std::string& dir) {
  return g_file_test((dir + "/web/index.html").c_str(), G_FILE_TEST_EXISTS);
}

std::string findAppBaseDir(const std::string& programDir, const std::string& dataDir) {
  if (hasWebPage(programDir)) return programDir;
  const std::string parent = parentOf(programDir);
  if (hasWebPage(parent)) return parent;
  const std::string grandparent = parentOf(parent);
  if (hasWebPage(grandparent) || !hasWebPage(dataDir)) return grandparent;
  return dataDir;
}
