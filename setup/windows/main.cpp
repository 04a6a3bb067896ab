// velmora-setup for Windows: copies the checker and its page from beside the setup into Local
// AppData, makes the Start-menu and desktop shortcuts, starts the installed checker and says how
// it went in a message box and the exit code. It opens no window of its own.
// APIs: CoInitializeEx/CoUninitialize, SHGetFolderPathW, ShellExecuteW, MessageBoxW; folders,
// existence tests through std::filesystem, copies through CopyFileW.
#include "setup.h"

namespace fs = std::filesystem;

namespace {

const wchar_t* const CAPTION = L"Velmora Checker Setup";
const wchar_t* const INCOMPLETE_TEXT =
    L"Setup files are incomplete. Please download the setup again.";
const wchar_t* const NO_APPDATA_TEXT = L"Could not locate Local AppData.";
const wchar_t* const FAILED_TEXT =
    L"Installation failed. Please close the app if it is running and try again.";
const wchar_t* const SUCCESS_TEXT = L"Velmora Checker has been installed successfully.";

enum ExitCode { EXIT_INSTALLED = 0, EXIT_FAILED = 1, EXIT_INCOMPLETE = 2, EXIT_NO_APPDATA = 3 };

struct Outcome {
  const wchar_t* text;
  UINT icon;
  int code;
};

// Replaces `to` with a copy of `from`. CopyFileW, not std::filesystem::copy_file: the latter
// takes two files on one drive for the same file (no inode numbers there) and refuses to copy.
// CopyFileW carries the attributes and streams of the source: a read-only installed copy would
// refuse the next update, and a downloaded package's "from the internet" mark would make every
// start of the installed checker ask first. Both are cleared on the installed copy.
void copyOver(const fs::path& from, const fs::path& to) {
  SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_NORMAL);  // fails harmlessly when it is new
  if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
    const std::error_code error(static_cast<int>(GetLastError()), std::system_category());
    throw fs::filesystem_error("cannot copy", from, to, error);
  }
  const DWORD attributes = GetFileAttributesW(to.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetFileAttributesW(to.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
  DeleteFileW((to.wstring() + L":Zone.Identifier").c_str());  // absent on most copies
}

// The whole installation but its closing message: files, folders, shortcuts. Anything it throws
// is the caller's to catch.
Outcome install(HMODULE module) {
  const fs::path setupFolder = setupDirectory(module);
  const fs::path sourceProgram = setupFolder / L"velmora-checker.exe";
  const fs::path sourcePage = setupFolder / L"index.html";

  // Only "not found" counts as missing; any other failure of the test throws.
  if (!fs::exists(sourceProgram)) return {INCOMPLETE_TEXT, MB_ICONERROR, EXIT_INCOMPLETE};
  if (!fs::exists(sourcePage)) return {INCOMPLETE_TEXT, MB_ICONERROR, EXIT_INCOMPLETE};

  wchar_t localAppData[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                              localAppData))) {
    return {NO_APPDATA_TEXT, MB_ICONERROR, EXIT_NO_APPDATA};
  }

  const fs::path installFolder = fs::path(localAppData) / L"Velmora Checker";
  const fs::path webFolder = installFolder / L"web";
  const fs::path installedProgram = installFolder / L"VelmoraChecker.exe";
  const fs::path installedPage = webFolder / L"index.html";

  fs::create_directories(webFolder);
  // The program goes first: when it is running and locked, the page is left as it was.
  copyOver(sourceProgram, installedProgram);
  copyOver(sourcePage, installedPage);

  // A missing known folder or a shortcut that cannot be saved is skipped without a word.
  const fs::path programs = knownFolderPath(FOLDERID_Programs);
  if (!programs.empty()) {
    createShortcut(programs / L"Velmora Checker" / L"Velmora Checker.lnk", installedProgram,
                   installFolder);
  }
  const fs::path desktop = knownFolderPath(FOLDERID_Desktop);
  if (!desktop.empty()) {
    createShortcut(desktop / L"Velmora Checker.lnk", installedProgram, installFolder);
  }

  // The setup neither waits for the checker nor cares whether it started.
  ShellExecuteW(nullptr, L"open", installedProgram.c_str(), nullptr, installFolder.c_str(),
                SW_SHOWNORMAL);
  return {SUCCESS_TEXT, MB_ICONINFORMATION, EXIT_INSTALLED};
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // S_FALSE (already initialised) also needs its CoUninitialize; a failure does not stop the run.
  const bool comReady = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));

  Outcome outcome{FAILED_TEXT, MB_ICONERROR, EXIT_FAILED};
  try {
    outcome = install(instance);
  } catch (...) {
    // Nothing is rolled back: what was created or copied before the error stays.
    outcome = {FAILED_TEXT, MB_ICONERROR, EXIT_FAILED};
  }
  MessageBoxW(nullptr, outcome.text, CAPTION, MB_OK | outcome.icon);

  if (comReady) CoUninitialize();
  return outcome.code;
}
