// Where the setup lies and where the XDG base-directory and user-dirs rules put the user's
// folders. APIs: /proc/self/exe, $XDG_CONFIG_HOME/user-dirs.dirs.
#include <fstream>
#include <sstream>

#include "setup.h"

namespace fs = std::filesystem;

fs::path setupDirectory() {
  return fs::read_symlink("/proc/self/exe").parent_path();
}

namespace {

// XDG variables holding a relative path are to be ignored.
std::optional<fs::path> absoluteFrom(const char* value) {
  if (!value || !*value) return std::nullopt;
  fs::path path(value);
  if (!path.is_absolute()) return std::nullopt;
  return path;
}

// The double-quoted shell word that xdg-user-dirs writes: backslash escapes its next character.
std::optional<std::string> unquote(const std::string& value) {
  if (value.size() < 2 || value.front() != '"') return std::nullopt;
  std::string out;
  for (size_t i = 1; i < value.size(); ++i) {
    char c = value[i];
    if (c == '"')
      return value.find_first_not_of(" \t\r", i + 1) == std::string::npos
                 ? std::optional<std::string>(out)
                 : std::nullopt;
    if (c == '\\') {
      if (++i == value.size()) return std::nullopt;
      c = value[i];
    }
    out += c;
  }
  return std::nullopt;  // no closing quote
}

}  // namespace

std::optional<fs::path> dataFolder(const char* xdgDataHome, const char* home) {
  if (auto data = absoluteFrom(xdgDataHome)) return data;
  if (auto homeFolder = absoluteFrom(home)) return *homeFolder / ".local" / "share";
  return std::nullopt;
}

std::optional<fs::path> desktopFolderFromUserDirs(const std::string& userDirs,
                                                  const fs::path& home) {
  std::optional<fs::path> found;
  std::istringstream lines(userDirs);
  std::string line;
  const std::string key = "XDG_DESKTOP_DIR=";
  while (std::getline(lines, line)) {
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
    auto value = unquote(line.substr(start + key.size()));
    if (!value) continue;
    // Only "$HOME/..." and absolute paths are allowed forms; the last good line wins.
    if (value->rfind("$HOME", 0) == 0 && (value->size() == 5 || (*value)[5] == '/')) {
      found = fs::path(home.native() + value->substr(5));
    } else if (!value->empty() && value->front() == '/') {
      found = fs::path(*value);
    }
  }
  return found;
}

fs::path desktopFolder(const char* xdgConfigHome, const char* home) {
  auto homeFolder = absoluteFrom(home);
  if (!homeFolder) return {};
  fs::path config = absoluteFrom(xdgConfigHome).value_or(*homeFolder / ".config");

  std::optional<fs::path> desktop;
  std::ifstream file(config / "user-dirs.dirs");
  if (file) {
    std::ostringstream text;
    text << file.rdbuf();
    desktop = desktopFolderFromUserDirs(text.str(), *homeFolder);
  }
  fs::path folder = desktop.value_or(*homeFolder / "Desktop");

  std::error_code error;
  if (fs::equivalent(folder, *homeFolder, error) || !fs::is_directory(folder, error)) return {};
  return folder;
}
