// wexholt: the command-line face of the recovery workflow.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/CliSession.h"
#include "cli/SaveCommands.h"

namespace {

constexpr const char* kUsage =
    "Usage: wexholt COMMAND ARGS...\n"
    "Reads MySQL/MariaDB data files (.frm, MyISAM, InnoDB) without a server.\n"
    "\n"
    "Commands:\n"
    "  scan DATADIR                  the database tree: databases, tables with their engine,\n"
    "                                views and trigger files (each table also has a Keys item)\n"
    "  schema DATADIR DB.TABLE       the column list as TSV: Column Name, Data Type, size,\n"
    "                                Allow Nulls, Key Name\n"
    "  view DATADIR DB.VIEW          the CREATE VIEW statement of a view\n"
    "  trigger DATADIR DB.TABLE      the CREATE TRIGGER statements of a table's trigger file\n"
    "  rows DATADIR DB.TABLE [--page N | --all] [--format tsv|csv|json] [--out FILE]\n"
    "                                the table's rows, 1000 to a page (default: page 1)\n"
    "                                tsv: a heading line, then a line per row; \\ TAB LF CR in a\n"
    "                                     cell are written \\\\ \\t \\n \\r\n"
    "                                csv: comma-separated, CR LF line ends, a cell with a comma,\n"
    "                                     quote or line break in double quotes; UTF-16LE with\n"
    "                                     --out, UTF-8 on stdout\n"
    "                                json: one JSON array of strings per row (NULL as null)\n"
    "  dump ...                      save tables as SQL scripts (wexholt dump --help)\n"
    "  restore ...                   save tables into a running server (wexholt restore --help)\n"
    "\n"
    "DATADIR is a data directory (one folder per database) or one database folder.\n"
    "Data goes to stdout, messages to stderr. Exit status: 0 success, 1 a path, database or\n"
    "table missing or unreadable, 2 usage error.\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fputs(kUsage, stderr);
    return wexholt::kExitUsage;
  }
  const std::string command = args.front();
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (command == "scan") return wexholt::RunScanCommand(rest);
  if (command == "schema") return wexholt::RunSchemaCommand(rest);
  if (command == "view") return wexholt::RunViewCommand(rest);
  if (command == "trigger") return wexholt::RunTriggerCommand(rest);
  if (command == "rows") return wexholt::RunRowsCommand(rest);
  if (command == "dump") return wexholt::RunDumpCommand(rest);
  if (command == "restore") return wexholt::RunRestoreCommand(rest);
  std::fprintf(stderr, "wexholt: unknown command: %s\n\n%s", command.c_str(), kUsage);
  return wexholt::kExitUsage;
}
