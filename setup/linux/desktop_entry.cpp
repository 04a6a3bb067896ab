// Freedesktop desktop entries: the launcher in the applications menu and on the desktop.
#include <fstream>

#include "setup.h"

namespace fs = std::filesystem;

namespace {

// The "string" value escapes of the Desktop Entry format.
std::string escapeValue(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Exec takes a command line of its own: the program is always quoted, with the characters that
// stay special inside quotes escaped, and "%" doubled so it is not read as a field code.
std::string execArgument(const std::string& program) {
  std::string quoted = "\"";
  for (char c : program) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string desktopEntryText(const fs::path& target, const fs::path& workingDirectory) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Version=1.4\n"
         "Name=Velmora Checker\n"
         "Comment=Velmora Checker\n"
         "Exec=" +
         escapeValue(execArgument(target.string())) +
         "\n"
         "Path=" +
         escapeValue(workingDirectory.string()) +
         "\n"
         "Terminal=false\n"
         "Categories=Network;\n";
}

bool createShortcut(const fs::path& shortcut, const fs::path& target,
                    const fs::path& workingDirectory) {
  fs::create_directories(shortcut.parent_path());

  {
    std::ofstream file(shortcut, std::ios::binary | std::ios::trunc);
    file << desktopEntryText(target, workingDirectory);
    file.close();
    if (!file) return false;
  }
  // File managers start a launcher on the desktop only when it is executable.
  std::error_code error;
  fs::permissions(shortcut,
                  fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                      fs::perms::others_read | fs::perms::others_exec,
                  error);
  return !error;
}
