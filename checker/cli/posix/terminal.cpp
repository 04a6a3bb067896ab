// Terminal detection on POSIX: isatty, and the NO_COLOR and TERM conventions.
#include "cli/terminal.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

bool isColourTerminal(int stream) {
  if (isatty(stream) == 0) return false;
  const char* noColour = std::getenv("NO_COLOR");
  if (noColour != nullptr && noColour[0] != '\0') return false;
  const char* term = std::getenv("TERM");
  return term == nullptr || std::strcmp(term, "dumb") != 0;
}
