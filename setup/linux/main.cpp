// velmora-setup for Linux: copies the checker and its page from beside the setup into the XDG
// data home, puts launchers in the applications menu and on the desktop, starts the installed
// checker and says how it went in a message box (standard error without a display) and the exit
// code. APIs: gtk_init_check; folders, existence tests and copies through std::filesystem.
#include <gtk/gtk.h>

#include <cstdlib>

#include "setup.h"

namespace fs = std::filesystem;

namespace {

const char* const INCOMPLETE_TEXT = "Setup files are incomplete. Please download the setup again.";
const char* const NO_DATA_FOLDER_TEXT = "Could not locate Local AppData.";
const char* const FAILED_TEXT =
    "Installation failed. Please close the app if it is running and try again.";
const char* const SUCCESS_TEXT = "Velmora Checker has been installed successfully.";

enum ExitCode { EXIT_INSTALLED = 0, EXIT_FAILED = 1, EXIT_INCOMPLETE = 2, EXIT_NO_DATA_FOLDER = 3 };

struct Outcome {
  const char* text;
  MessageKind kind;
  int code;
};

// Every step but the closing message; anything they throw is the caller's to catch.
Outcome install() {
  const fs::path setupFolder = setupDirectory();
  const fs::path sourceProgram = setupFolder / "velmora-checker";
  const fs::path sourcePage = setupFolder / "index.html";

  // Only "not found" counts as missing; any other failure of the test throws.
  if (!fs::exists(sourceProgram)) return {INCOMPLETE_TEXT, MessageKind::error, EXIT_INCOMPLETE};
  if (!fs::exists(sourcePage)) return {INCOMPLETE_TEXT, MessageKind::error, EXIT_INCOMPLETE};

  const auto data = dataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  if (!data) return {NO_DATA_FOLDER_TEXT, MessageKind::error, EXIT_NO_DATA_FOLDER};

  const fs::path installFolder = *data / "velmora-checker";
  const fs::path webFolder = installFolder / "web";
  const fs::path installedProgram = installFolder / "velmora-checker";
  const fs::path installedPage = webFolder / "index.html";

  fs::create_directories(webFolder);
  // The program goes first: when it is running its file is busy, and the page is left as it was.
  fs::copy_file(sourceProgram, installedProgram, fs::copy_options::overwrite_existing);
  // A download may have lost the execute bits; the installed program must keep them.
  fs::permissions(installedProgram, fs::perms::owner_all | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
  fs::copy_file(sourcePage, installedPage, fs::copy_options::overwrite_existing);

  // A launcher that cannot be saved, or a desktop that does not exist, is skipped without a word.
  createShortcut(*data / "applications" / "velmora-checker.desktop", installedProgram,
                 installFolder);
  const fs::path desktop = desktopFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  if (!desktop.empty()) {
    createShortcut(desktop / "velmora-checker.desktop", installedProgram, installFolder);
  }

  startDetached(installedProgram, installFolder);
  return {SUCCESS_TEXT, MessageKind::information, EXIT_INSTALLED};
}

}  // namespace

int main() {
  // Without a display the run goes on; the texts then go to standard error.
  const bool haveDisplay = gtk_init_check(nullptr, nullptr);

  Outcome outcome{FAILED_TEXT, MessageKind::error, EXIT_FAILED};
  try {
    outcome = install();
  } catch (...) {
    // Nothing is rolled back: what was created or copied before the error stays.
    outcome = {FAILED_TEXT, MessageKind::error, EXIT_FAILED};
  }
  showMessage(haveDisplay, outcome.text, outcome.kind);
  return outcome.code;
}
