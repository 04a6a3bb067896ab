// The launchers the Linux setup writes: read back by GLib, as a desktop does, and checked by
// desktop-file-validate, for install paths with the characters that need escaping.
#include <gio/gdesktopappinfo.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "setup.h"

namespace fs = std::filesystem;

namespace {

struct TempFolder {
  fs::path path;
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "velmora-entry-test.XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~TempFolder() { fs::remove_all(path); }
};

std::string readText(const fs::path& file) {
  std::ifstream in(file);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(DesktopEntry, OddInstallPathsSurviveTheRoundTrip) {
  struct Case {
    const char* folder;
    bool launchable;  // GLib looks for "%%" literally before it expands it, so cannot start it
  };
  const Case cases[] = {
      {"/home/ann/.local/share/velmora-checker", true},
      {"/home/ann smith/.local/share/velmora-checker", true},
      {"/home/a\"quote/x", true},
      {"/home/dollar$HOME/x", true},
      {"/home/back\\slash/x", true},
      {"/home/tick`date`/x", true},
      {"/home/semi;colon & amp/x", true},
      {"/home/caf\xc3\xa9/x", true},
      {"/home/percent%f/x", false},
  };
  for (const auto& c : cases) {
    TempFolder temp;
    // The program notes how it was started, as the real checker would be, by a desktop.
    const fs::path folder = temp.path.string() + c.folder;
    const fs::path program = folder / "velmora-checker";
    const fs::path launched = temp.path / "launched";
    fs::create_directories(folder);
    std::ofstream(program) << "#!/bin/sh\nprintf '%s|%s' \"$0\" \"$(pwd)\" > '" << launched.string()
                           << "'\n";
    fs::permissions(program, fs::perms::owner_all);
    const fs::path entry = temp.path / "velmora-checker.desktop";
    ASSERT_TRUE(createShortcut(entry, program, folder)) << c.folder;

    const std::string command = "desktop-file-validate '" + entry.string() + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << c.folder << "\n" << readText(entry);
    if (!c.launchable) continue;

    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(entry.c_str());
    ASSERT_NE(info, nullptr) << c.folder << "\n" << readText(entry);
    EXPECT_STREQ(g_app_info_get_name(G_APP_INFO(info)), "Velmora Checker");
    EXPECT_STREQ(g_app_info_get_description(G_APP_INFO(info)), "Velmora Checker");
    GError* error = nullptr;
    EXPECT_TRUE(g_app_info_launch(G_APP_INFO(info), nullptr, nullptr, &error)) << c.folder;
    if (error) g_error_free(error);
    g_object_unref(info);

    for (int tries = 0; tries < 100 && readText(launched).empty(); ++tries) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(readText(launched), program.string() + "|" + folder.string()) << c.folder;
  }
}

TEST(DesktopEntry, LauncherIsExecutableAndItsFolderIsMade) {
  TempFolder temp;
  const fs::path entry = temp.path / "a" / "b" / "velmora-checker.desktop";
  ASSERT_TRUE(createShortcut(entry, "/opt/v/velmora-checker", "/opt/v"));
  struct stat info {};
  ASSERT_EQ(stat(entry.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0755u);

  // Saving again replaces the entry rather than adding to it.
  ASSERT_TRUE(createShortcut(entry, "/opt/w/velmora-checker", "/opt/w"));
  EXPECT_EQ(readText(entry), desktopEntryText("/opt/w/velmora-checker", "/opt/w"));
}

TEST(DesktopEntry, FolderThatCannotBeMadeIsAnError) {
  TempFolder temp;
  std::ofstream(temp.path / "taken") << "a file where the folder should be";
  EXPECT_THROW(
      createShortcut(temp.path / "taken" / "velmora-checker.desktop", "/opt/v/x", "/opt/v"),
      fs::filesystem_error);
}
