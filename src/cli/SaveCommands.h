// The CLI's save commands: `dump` (scripts into a folder) and `restore` (into a live server).
#pragma once

#include <string>
#include <vector>

namespace wexholt {

// args: the words after the command name. Return the process exit code.
int RunDumpCommand(const std::vector<std::string>& args);
int RunRestoreCommand(const std::vector<std::string>& args);

}  // namespace wexholt
