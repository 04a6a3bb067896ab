// Shell links for the Start menu and the desktop.
// APIs: CoCreateInstance(CLSID_ShellLink), IShellLinkW, IPersistFile.
#include <objidl.h>

#include "setup.h"

bool createShortcut(const std::filesystem::path& shortcut, const std::filesystem::path& target,
                    const std::filesystem::path& workingDirectory) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))) ||
      !link) {
    return false;
  }
  link->SetPath(target.c_str());
  link->SetWorkingDirectory(workingDirectory.c_str());
  link->SetDescription(L"Velmora Checker");

  IPersistFile* file = nullptr;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) || !file) {
    link->Release();
    return false;
  }

  // The Start-menu shortcut lives in a folder of its own that may not exist yet. A folder that
  // cannot be made is an installation failure, but the link objects are let go first.
  std::error_code error;
  std::filesystem::create_directories(shortcut.parent_path(), error);
  if (error) {
    file->Release();
    link->Release();
    throw std::filesystem::filesystem_error("cannot create the shortcut folder",
                                            shortcut.parent_path(), error);
  }

  HRESULT saved = file->Save(shortcut.c_str(), TRUE);
  file->Release();
  link->Release();
  return SUCCEEDED(saved);
}
