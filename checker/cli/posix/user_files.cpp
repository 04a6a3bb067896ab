// The XDG base folders, open/fstat for the keys file's mode, flock for the pace file's lock.
#include "cli/user_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// $VARIABLE if it holds an absolute path (as the XDG rules say), else $HOME/fallback.
std::string xdgFolder(const char* variable, const char* fallback) {
  const char* set = std::getenv(variable);
  if (set != nullptr && set[0] == '/') return std::string(set) + "/velmora";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') return "";
  return std::string(home) + "/" + fallback + "/velmora";
}

std::string octal(mode_t mode) {
  std::string text;
  for (int shift = 6; shift >= 0; shift -= 3)
    text += static_cast<char>('0' + ((mode >> shift) & 7));
  return text;
}

}  // namespace

std::string userConfigFolder() {
  return xdgFolder("XDG_CONFIG_HOME", ".config");
}

std::string userStateFolder() {
  return xdgFolder("XDG_STATE_HOME", ".local/state");
}

PrivateFile readPrivateFile(const std::string& path) {
  PrivateFile file;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) file.error = "cannot open '" + path + "': " + std::strerror(errno);
    file.exists = errno != ENOENT;
    return file;
  }
  file.exists = true;
  struct stat st {};
  // The mode of the file opened, not of whatever the name points to a moment later.
  if (fstat(fd, &st) != 0) {
    file.error = "cannot read '" + path + "': " + std::strerror(errno);
  } else if ((st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
    file.error = "'" + path + "' is open to other users (mode " + octal(st.st_mode & 0777) +
                 "); it holds keys, so it must be yours alone: chmod 600 '" + path + "'";
  } else {
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
      file.text.append(buffer, static_cast<std::size_t>(got));
    if (got < 0) file.error = "cannot read '" + path + "': " + std::strerror(errno);
  }
  close(fd);
  return file;
}

std::shared_ptr<void> lockFile(const std::string& path, std::string& error) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    error = "cannot open '" + path + "': " + std::strerror(errno);
    return nullptr;
  }
  int done = 0;
  while ((done = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
  }
  if (done != 0) {
    error = "cannot lock '" + path + "': " + std::strerror(errno);
    close(fd);
    return nullptr;
  }
  // Closing the descriptor lets the lock go.
  return std::shared_ptr<void>(new int(fd), [](void* held) {
    close(*static_cast<int*>(held));
    delete static_cast<int*>(held);
  });
}
