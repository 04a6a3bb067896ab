#pragma once
// The user's own files for velmora-scan, one platform file each (posix/, windows/).
#include <memory>
#include <string>

// Where the keys file lives; empty when the platform names no such folder.
std::string userConfigFolder();
// Where the shared pace of the services is kept; empty when there is none.
std::string userStateFolder();

struct PrivateFile {
  bool exists = false;
  std::string text;
  std::string error;  // exists but not read: unreadable, or others may read it
};

// Reads a file that must be the user's alone.
PrivateFile readPrivateFile(const std::string& path);

// An exclusive lock on the file at path (made if missing), held until the last copy is gone;
// nothing, with error set, when it cannot be had. Waits while another process holds it.
std::shared_ptr<void> lockFile(const std::string& path, std::string& error);
