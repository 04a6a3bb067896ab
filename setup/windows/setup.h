// The pieces of velmora-setup for Windows that wWinMain puts together.
#pragma once

// clang-format off
#include <windows.h>  // first: the shell headers rely on it
#include <shellapi.h>
#include <shlobj.h>
// clang-format on

#include <filesystem>
#include <string>
#include <system_error>

// The folder that holds the running setup program.
std::filesystem::path setupDirectory(HMODULE module);

// The path of a known folder, or an empty text when Windows cannot give one.
std::wstring knownFolderPath(REFKNOWNFOLDERID id);

// Saves a shell link at `shortcut` that starts `target` in `workingDirectory`. Returns whether it
// was saved; a shortcut folder that cannot be created raises std::filesystem::filesystem_error.
bool createShortcut(const std::filesystem::path& shortcut, const std::filesystem::path& target,
                    const std::filesystem::path& workingDirectory);
