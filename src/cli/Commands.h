// The reading commands of the CLI. args: the words after the command name; each returns the
// process exit code (0 success, 1 a path, database or table missing or unreadable, 2 usage).
#pragma once

#include <string>
#include <vector>

namespace wexholt {

int RunScanCommand(const std::vector<std::string>& args);
int RunSchemaCommand(const std::vector<std::string>& args);
int RunViewCommand(const std::vector<std::string>& args);
int RunTriggerCommand(const std::vector<std::string>& args);
int RunRowsCommand(const std::vector<std::string>& args);

}  // namespace wexholt
