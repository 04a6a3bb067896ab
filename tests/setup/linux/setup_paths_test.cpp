// Where the Linux setup installs: the XDG data home and the desktop folder of user-dirs.dirs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "setup.h"

namespace fs = std::filesystem;

TEST(SetupPaths, DataFolderFollowsTheXdgRules) {
  struct Case {
    const char* xdgDataHome;
    const char* home;
    std::optional<fs::path> expected;
  };
  const Case cases[] = {
      {"/data/home", "/home/ann", fs::path("/data/home")},
      {nullptr, "/home/ann", fs::path("/home/ann/.local/share")},
      {"", "/home/ann", fs::path("/home/ann/.local/share")},
      // A relative XDG value is to be ignored, not resolved against the current folder.
      {"relative/data", "/home/ann", fs::path("/home/ann/.local/share")},
      {nullptr, nullptr, std::nullopt},
      {nullptr, "", std::nullopt},
      {nullptr, "not/absolute", std::nullopt},
      {"/data/home", nullptr, fs::path("/data/home")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(dataFolder(c.xdgDataHome, c.home), c.expected)
        << (c.xdgDataHome ? c.xdgDataHome : "(unset)") << " / " << (c.home ? c.home : "(unset)");
  }
}

TEST(SetupPaths, DesktopFolderFromUserDirsText) {
  struct Case {
    std::string text;
    std::optional<fs::path> expected;
  };
  const Case cases[] = {
      {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", fs::path("/home/ann/Desktop")},
      {"# comment\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n",
       fs::path("/home/ann/Schreibtisch")},
      {"XDG_DESKTOP_DIR=\"/srv/desk\"\n", fs::path("/srv/desk")},
      {"  XDG_DESKTOP_DIR=\"$HOME/Work Desk\"  \n", fs::path("/home/ann/Work Desk")},
      {"XDG_DESKTOP_DIR=\"$HOME/a \\\"quoted\\\" \\$desk\"\n",
       fs::path("/home/ann/a \"quoted\" $desk")},
      {"XDG_DESKTOP_DIR=\"$HOME\"\n", fs::path("/home/ann")},
      // Forms the format does not allow are passed over.
      {"XDG_DESKTOP_DIR=\"Desktop\"\n", std::nullopt},
      {"XDG_DESKTOP_DIR=$HOME/Desktop\n", std::nullopt},
      {"XDG_DESKTOP_DIR=\"$HOME/Desktop\n", std::nullopt},
      {"XDG_DESKTOP_DIR=\"$HOMEWORK/Desktop\"\n", std::nullopt},
      {"#XDG_DESKTOP_DIR=\"/srv/desk\"\n", std::nullopt},
      {"XDG_DESKTOP_DIR_OLD=\"/srv/desk\"\n", std::nullopt},
      {"", std::nullopt},
      // The last usable line wins, as when the file is sourced by a shell.
      {"XDG_DESKTOP_DIR=\"/first\"\nXDG_DESKTOP_DIR=\"/second\"\n", fs::path("/second")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(desktopFolderFromUserDirs(c.text, "/home/ann"), c.expected) << c.text;
  }
}

namespace {

// A throw-away home folder, removed at the end of the test.
struct TempHome {
  fs::path path;
  TempHome() {
    std::string pattern = (fs::temp_directory_path() / "velmora-setup-test.XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~TempHome() { fs::remove_all(path); }
  void write(const fs::path& relative, const std::string& text) const {
    fs::create_directories((path / relative).parent_path());
    std::ofstream(path / relative) << text;
  }
};

}  // namespace

TEST(SetupPaths, DesktopFolderMustExistAndNotBeHome) {
  struct Case {
    const char* name;
    std::string userDirs;  // empty: no user-dirs.dirs
    const char* makeFolder;
    const char* expected;  // relative to home; null: no desktop
    bool ownConfigHome;
  };
  const Case cases[] = {
      {"default desktop", "", "Desktop", "Desktop", false},
      {"default desktop missing", "", nullptr, nullptr, false},
      {"named desktop", "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n", "Bureau", "Bureau", false},
      {"named desktop missing", "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n", "Desktop", nullptr, false},
      {"desktop switched off", "XDG_DESKTOP_DIR=\"$HOME/\"\n", "Desktop", nullptr, false},
      {"file in XDG_CONFIG_HOME", "XDG_DESKTOP_DIR=\"$HOME/Escritorio\"\n", "Escritorio",
       "Escritorio", true},
  };
  for (const auto& c : cases) {
    TempHome home;
    fs::path config = c.ownConfigHome ? home.path / "conf" : home.path / ".config";
    if (!c.userDirs.empty())
      home.write(config.lexically_relative(home.path) / "user-dirs.dirs", c.userDirs);
    if (c.makeFolder) fs::create_directories(home.path / c.makeFolder);
    const std::string configText = config.string();
    fs::path found =
        desktopFolder(c.ownConfigHome ? configText.c_str() : nullptr, home.path.c_str());
    EXPECT_EQ(found, c.expected ? home.path / c.expected : fs::path()) << c.name;
  }
}
