// dump and restore: the save run from the command line.
//
//   wexholt dump DATADIR --out FOLDER [DB | DB.TABLE]...
//   wexholt restore DATADIR --server HOST [--port N] --user U [--password-file F] [--replace]
//                   [DB | DB.TABLE]...
//
// DATADIR is a data directory (one folder per database, ibdata1 beside them) or a single database
// folder. Without names every table of every database is saved, except the server's own system
// databases (mysql, performance_schema, sys), which a target server has already; name them to save
// them. The run's lines go to standard output, usage errors and the progress bar (when standard
// error is a terminal) to standard error. Exit status: 0 when every table was saved, 1 when a path,
// database or table is missing or a table failed, 2 on a usage error. Ctrl+C stops the run between
// batches.
#include "cli/SaveCommands.h"

#include "definitions/DefinitionKind.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>
#include <unistd.h>

#include "decoding/Text.h"
#include "definitions/Collations.h"
#include "save/SaveRun.h"

namespace wexholt {
namespace {

namespace fs = std::filesystem;

std::atomic<bool> gStop{false};
void OnInterrupt(int) { gStop = true; }

const char* const kSystemDatabases[] = {"mysql", "performance_schema", "sys"};

int Usage(const char* command, const std::string& problem) {
  std::fprintf(stderr, "wexholt %s: %s\n", command, problem.c_str());
  if (std::string(command) == "dump") {
    std::fprintf(stderr, "usage: wexholt dump DATADIR --out FOLDER [DB | DB.TABLE]...\n");
  } else {
    std::fprintf(stderr,
                 "usage: wexholt restore DATADIR --server HOST [--port N] --user U [--password-file F] "
                 "[--replace] [DB | DB.TABLE]...\n");
  }
  return 2;
}

bool IsDirectory(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

bool HasFrmFiles(const std::string& folder) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (ToLowerAscii(it->path().extension().string()) == ".frm") return true;
  }
  return false;
}

// Table definitions (not views) of a database folder, sorted.
std::vector<std::string> TablesOf(const std::string& folder) {
  std::vector<std::string> tables;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (ToLowerAscii(it->path().extension().string()) != ".frm") continue;
    if (DefinitionKindOf(it->path().string()) != DefinitionKind::kTable) continue;
    tables.push_back(it->path().stem().string());
  }
  std::sort(tables.begin(), tables.end());
  return tables;
}

std::vector<std::string> DatabasesOf(const std::string& dataPath) {
  std::vector<std::string> databases;
  std::error_code ec;
  for (fs::directory_iterator it(dataPath, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code e2;
    if (it->is_directory(e2)) databases.push_back(it->path().filename().string());
  }
  std::sort(databases.begin(), databases.end());
  return databases;
}

struct ParsedArgs {
  std::string dataDir;
  std::string out, server, port = "3306", user, passwordFile;
  bool replace = false;
  bool haveUser = false;
  std::vector<std::string> names;
};

// Parses the words; returns 0 or the usage exit code (message printed).
int Parse(const char* command, const std::vector<std::string>& args, bool restore, ParsedArgs& parsed) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) -> bool {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    if (a == "--out" && !restore) {
      if (!value(parsed.out)) return Usage(command, "--out needs a folder");
    } else if (restore && a == "--server") {
      if (!value(parsed.server)) return Usage(command, "--server needs a host");
    } else if (restore && a == "--port") {
      if (!value(parsed.port)) return Usage(command, "--port needs a number");
      if (parsed.port.empty() || !std::all_of(parsed.port.begin(), parsed.port.end(), ::isdigit) || parsed.port.size() > 5 ||
          std::stoi(parsed.port) < 1 || std::stoi(parsed.port) > 65535)
        return Usage(command, "--port needs a number from 1 to 65535");
    } else if (restore && a == "--user") {
      if (!value(parsed.user)) return Usage(command, "--user needs a name");
      parsed.haveUser = true;
    } else if (restore && a == "--password-file") {
      if (!value(parsed.passwordFile)) return Usage(command, "--password-file needs a file");
    } else if (restore && a == "--replace") {
      parsed.replace = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage(command, "unknown option " + a);
    } else if (parsed.dataDir.empty()) {
      parsed.dataDir = a;
    } else {
      parsed.names.push_back(a);
    }
  }
  if (parsed.dataDir.empty()) return Usage(command, "no data directory given");
  if (!restore && parsed.out.empty()) return Usage(command, "--out FOLDER is required");
  if (restore && parsed.server.empty()) return Usage(command, "--server HOST is required");
  if (restore && !parsed.haveUser) return Usage(command, "--user U is required");
  return 0;
}

// The tables to save, or false (message printed) when a path or a name is missing.
bool ResolveTables(const char* command, const ParsedArgs& parsed, std::string& dataPath,
                   std::vector<TableLocation>& tables) {
  std::string dir = WithTrailingSeparator(parsed.dataDir);
  if (!IsDirectory(dir)) {
    std::fprintf(stderr, "wexholt %s: %s is not a folder\n", command, parsed.dataDir.c_str());
    return false;
  }
  // A single database folder: its parent is the data directory.
  std::vector<std::string> databases;
  if (HasFrmFiles(dir) && !fs::exists(JoinPath(dir, "ibdata1"))) {
    std::string trimmed = dir.substr(0, dir.size() - 1);
    const size_t slash = trimmed.rfind('/');
    dataPath = slash == std::string::npos ? std::string("./") : trimmed.substr(0, slash + 1);
    databases.push_back(LastPathComponent(trimmed));
  } else {
    dataPath = dir;
    databases = DatabasesOf(dir);
  }
  auto add = [&](const std::string& db, const std::string& table) {
    TableLocation t;
    t.databaseFolder = CollapseDoubleSeparators(dataPath + db);
    t.databaseName = db;
    t.tableName = table;
    tables.push_back(t);
  };
  if (parsed.names.empty()) {
    for (const std::string& db : databases) {
      if (databases.size() > 1 &&
          std::find(std::begin(kSystemDatabases), std::end(kSystemDatabases), db) != std::end(kSystemDatabases))
        continue;
      for (const std::string& table : TablesOf(dataPath + db)) add(db, table);
    }
    return true;
  }
  bool ok = true;
  for (const std::string& name : parsed.names) {
    std::string db = name, table;
    // A database name may itself hold dots; the longest existing folder name wins.
    size_t dot = std::string::npos;
    if (std::find(databases.begin(), databases.end(), name) == databases.end()) {
      dot = name.find('.');
      while (dot != std::string::npos && std::find(databases.begin(), databases.end(), name.substr(0, dot)) == databases.end())
        dot = name.find('.', dot + 1);
      if (dot == std::string::npos) {
        std::fprintf(stderr, "wexholt %s: no database %s in %s\n", command, name.c_str(), dataPath.c_str());
        ok = false;
        continue;
      }
      db = name.substr(0, dot);
      table = name.substr(dot + 1);
    }
    const std::vector<std::string> existing = TablesOf(dataPath + db);
    if (table.empty()) {
      for (const std::string& t : existing) add(db, t);
    } else if (std::find(existing.begin(), existing.end(), table) != existing.end()) {
      add(db, table);
    } else {
      std::fprintf(stderr, "wexholt %s: no table %s in database %s\n", command, table.c_str(), db.c_str());
      ok = false;
    }
  }
  return ok;
}

// Lines on standard output; a progress bar on standard error when it is a terminal.
class ConsoleProgress : public SaveProgress {
 public:
  ConsoleProgress() : bar_(isatty(STDERR_FILENO) == 1) {}
  ~ConsoleProgress() override { ClearBar(); }

  void Line(const std::string& text) override {
    ClearBar();
    std::fprintf(stdout, "%s\n", text.c_str());
    std::fflush(stdout);
    DrawBar();
  }
  void TableProgress(const std::string& table, uint64_t rowsSaved) override {
    table_ = table;
    rows_ = rowsSaved;
    DrawBar();
  }
  void Progress(int percent) override {
    percent_ = std::clamp(percent, 0, 100);
    DrawBar();
  }
  bool StopRequested() override { return gStop.load(); }
  // On standard error, where the command's other warnings go.
  void DamagedPagesSkipped(const std::string& text) override {
    ClearBar();
    std::fprintf(stderr, "wexholt: %s\n", text.c_str());
    std::fflush(stderr);
    DrawBar();
  }

 private:
  void DrawBar() {
    if (!bar_) return;
    constexpr int kWidth = 30;
    const int filled = percent_ * kWidth / 100;
    std::string text = "\r[" + std::string(static_cast<size_t>(filled), '#') + std::string(static_cast<size_t>(kWidth - filled), ' ') +
                       "] " + std::to_string(percent_) + "%";
    if (!table_.empty()) text += " " + table_ + ": " + std::to_string(rows_) + " rows";
    if (text.size() > 100) text.resize(100);
    std::fprintf(stderr, "%s\033[K", text.c_str());
    std::fflush(stderr);
    drawn_ = true;
  }
  void ClearBar() {
    if (!bar_ || !drawn_) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    drawn_ = false;
  }

  bool bar_;
  bool drawn_ = false;
  int percent_ = 0;
  std::string table_;
  uint64_t rows_ = 0;
};

int RunSaveCommand(const char* command, const std::vector<std::string>& args, bool restore) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    if (restore) {
      std::printf("usage: wexholt restore DATADIR --server HOST [--port N] --user U [--password-file F] [--replace] [DB | DB.TABLE]...\n"
                  "Saves the tables (all when none is named) into a running server over ODBC. An existing table\n"
                  "is left alone unless --replace is given (it is then dropped and created again).\n");
    } else {
      std::printf("usage: wexholt dump DATADIR --out FOLDER [DB | DB.TABLE]...\n"
                  "Writes one SQL script FOLDER/<db>.sql per database (all tables when none is named) that\n"
                  "`mariadb < <db>.sql` loads into a server.\n");
    }
    return 0;
  }
  ParsedArgs parsed;
  if (int usage = Parse(command, args, restore, parsed)) return usage;

  SaveOptions options;
  options.toServer = restore;
  if (restore) {
    options.server = parsed.server;
    options.port = parsed.port;
    options.user = parsed.user;
    options.replaceExisting = parsed.replace;
    if (!parsed.passwordFile.empty()) {
      std::ifstream in(parsed.passwordFile, std::ios::binary);
      if (!in) {
        std::fprintf(stderr, "wexholt %s: the password file %s cannot be read\n", command, parsed.passwordFile.c_str());
        return 1;
      }
      std::getline(in, options.password);
      if (!options.password.empty() && options.password.back() == '\r') options.password.pop_back();
    }
  } else {
    options.folder = WithTrailingSeparator(parsed.out);
  }

  std::string dataPath;
  std::vector<TableLocation> tables;
  if (!ResolveTables(command, parsed, dataPath, tables)) return 1;
  if (tables.empty()) {
    std::fprintf(stderr, "wexholt %s: no tables to save in %s\n", command, parsed.dataDir.c_str());
    return 1;
  }

  CollationTable collations = StartupCollations();
  DecoderSettings settings;
  settings.collations = &collations;
  ConsoleProgress progress;
  gStop = false;
  auto previous = std::signal(SIGINT, OnInterrupt);
  SaveSummary summary = RunSave(dataPath, tables, options, settings, progress);
  std::signal(SIGINT, previous);
  progress.Line(std::to_string(summary.tablesSaved) + " of " + std::to_string(tables.size()) + " tables saved, " +
                std::to_string(summary.rowsSaved) + " rows" + (summary.stopped ? " (stopped)" : ""));
  return summary.tablesFailed == 0 && !summary.stopped && summary.tablesSaved == static_cast<int>(tables.size()) ? 0 : 1;
}

}  // namespace

int RunDumpCommand(const std::vector<std::string>& args) { return RunSaveCommand("dump", args, false); }

int RunRestoreCommand(const std::vector<std::string>& args) { return RunSaveCommand("restore", args, true); }

}  // namespace wexholt
