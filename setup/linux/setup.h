// The pieces of velmora-setup for Linux that main puts together.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The folder that holds the running setup program.
std::filesystem::path setupDirectory();

// The XDG data home: $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share.
// Nothing when neither can be had. Takes the two variables' values (null when unset).
std::optional<std::filesystem::path> dataFolder(const char* xdgDataHome, const char* home);

// The desktop folder as user-dirs.dirs names it ("$HOME/..." or an absolute path), or nothing
// when the text does not set XDG_DESKTOP_DIR to a usable value.
std::optional<std::filesystem::path> desktopFolderFromUserDirs(const std::string& userDirs,
                                                               const std::filesystem::path& home);

// The user's desktop folder, or an empty path when there is none to put a launcher on: the
// folder must exist, and a desktop set to the home folder itself means "no desktop".
std::filesystem::path desktopFolder(const char* xdgConfigHome, const char* home);

// The text of a freedesktop desktop entry that starts `target` in `workingDirectory`.
std::string desktopEntryText(const std::filesystem::path& target,
                             const std::filesystem::path& workingDirectory);

// Writes the desktop entry to `shortcut`, marked executable. Returns whether it was saved; a
// folder that cannot be created raises std::filesystem::filesystem_error.
bool createShortcut(const std::filesystem::path& shortcut, const std::filesystem::path& target,
                    const std::filesystem::path& workingDirectory);

// Starts `program` in `folder` in a session of its own, not waited for; failures are ignored.
void startDetached(const std::filesystem::path& program, const std::filesystem::path& folder);

enum class MessageKind { error, information };

// A GTK message box when there is a display, otherwise the text on standard error.
void showMessage(bool haveDisplay, const std::string& text, MessageKind kind);
