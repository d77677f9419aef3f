// Switches the real library's debug logging many times, as many runs of the tool would:
//   switch_loop COUNT LOG   on to LOG on even turns, off on odd ones
// The exit status is the number of switches that failed (at most 255).
#include <cstdio>
#include <cstdlib>

#include "tool/fax_library.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: switch_loop COUNT LOG\n");
    return 255;
  }
  const long count = std::strtol(argv[1], nullptr, 10);
  int failures = 0;
  for (long turn = 0; turn < count; ++turn) {
    const FaxAppHandle app = FaxRegisterApp(0, 0);
    const bool on = turn % 2 == 0;
    if (app == 0 || !FaxEnableDebug(app, on ? 1 : 0, on ? argv[2] : nullptr) ||
        !FaxUnregisterApp(app)) {
      std::perror("switch_loop");
      ++failures;
    }
  }
  return failures > 255 ? 255 : failures;
}
