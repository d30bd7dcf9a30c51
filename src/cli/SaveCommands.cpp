#include "cli/SaveCommands.h"

#include <cstdio>

namespace wexholt {

int RunDumpCommand(const std::vector<std::string>&) {
  std::fprintf(stderr, "wexholt: dump is not available in this build\n");
  return 2;
}

int RunRestoreCommand(const std::vector<std::string>&) {
  std::fprintf(stderr, "wexholt: restore is not available in this build\n");
  return 2;
}

}  // namespace wexholt
