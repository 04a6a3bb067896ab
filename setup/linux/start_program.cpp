// Starts the installed checker without waiting for it, the way a launcher would.
// APIs: fork, setsid, chdir, dup2, close_range, execv, waitpid.
#include <errno.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "setup.h"

void startDetached(const std::filesystem::path& program, const std::filesystem::path& folder) {
  // Everything the children need is made before fork: after it only async-signal-safe calls.
  const std::string programText = program.string();
  const std::string folderText = folder.string();
  char* const argv[] = {const_cast<char*>(programText.c_str()), nullptr};

  // Two forks: the middle child ends at once, so the checker belongs to init and the setup never
  // leaves a zombie behind, whenever the checker ends.
  pid_t middle = fork();
  if (middle == 0) {
    setsid();
    if (chdir(folderText.c_str()) != 0) _exit(127);
    // The checker must not hold on to whatever our standard streams are connected to.
    int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
      dup2(devNull, 0);
      dup2(devNull, 1);
      dup2(devNull, 2);
    }
    close_range(3, ~0U, 0);
    if (fork() == 0) {
      execv(argv[0], argv);
      _exit(127);
    }
    _exit(0);
  }
  if (middle > 0) {
    while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
}
