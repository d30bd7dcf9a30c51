// The save run. Tables are taken database by database in the order first named; each one is read
// page by page with the decoders in save mode (binary and spatial values in full, external InnoDB
// values inline), turned into CREATE TABLE and multi-row INSERT statements, and written either into
// the script file <folder><db>.sql or over an ODBC connection. After the tables of a database come
// its views (only when every table of the database is saved, since a view needs the tables it
// reads) and the triggers of the saved tables (after the rows, so that loading fires none of them).
//
// The decoders write TIMESTAMP values in the machine's local time; the run sets the process time
// zone to UTC while it reads, and every session it writes for uses time zone +00:00, so that a
// TIMESTAMP keeps its instant.
#include "save/SaveRun.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <system_error>

#include "decoding/DataFile.h"
#include "decoding/Text.h"
#include "definitions/DefinitionKind.h"
#include "definitions/ParameterFile.h"
#include "definitions/TableReader.h"
#include "definitions/TriggerDefinition.h"
#include "definitions/ViewDefinition.h"
#include "save/CreateTable.h"
#include "save/OdbcConnection.h"
#include "save/SqlScript.h"
#include "workflow/TablePages.h"

namespace wexholt {
namespace {

namespace fs = std::filesystem;

constexpr int kServerErrorTableExists = 1050;
// The connection is gone: nothing more can be written over it.
constexpr int kClientServerGone = 2006;
constexpr int kClientServerLost = 2013;
bool ConnectionLost(int32_t native) { return native == kClientServerGone || native == kClientServerLost; }
constexpr size_t kValueProblemLines = 10;  // per table; the rest are counted

// ---- names and files ----

// A database or table name from its file name: the server writes characters outside [0-9A-Za-z_]
// as '@' + four hexadecimal digits of the code point.
std::string NameFromFileName(const std::string& fileName) {
  std::string out;
  for (size_t i = 0; i < fileName.size(); ++i) {
    if (fileName[i] == '@' && i + 4 < fileName.size()) {
      uint32_t code = 0;
      bool hex = true;
      for (size_t k = 1; hex && k <= 4; ++k) {
        const char c = fileName[i + k];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) hex = false;
        code = code * 16 + static_cast<uint32_t>(digit < 0 ? 0 : digit);
      }
      if (hex) {
        AppendUtf8(out, code);
        i += 4;
        continue;
      }
    }
    out += fileName[i];
  }
  return out;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

// The database's default character set and collation from its db.opt ("default-character-set=",
// "default-collation=" lines), as the clause of CREATE DATABASE; empty when there is no such file.
std::string DatabaseOptions(const std::string& folder) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeDataFile(JoinPath(folder, "db.opt"), bytes)) return "";
  std::string text(bytes.begin(), bytes.end()), charset, collation;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto value = [&](const char* key) -> std::optional<std::string> {
      const std::string k = key;
      if (line.compare(0, k.size(), k) == 0) return line.substr(k.size());
      return std::nullopt;
    };
    if (auto v = value("default-character-set=")) charset = *v;
    if (auto v = value("default-collation=")) collation = *v;
    start = end + 1;
  }
  auto plain = [](const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
  };
  std::string clause;
  if (plain(charset)) clause += " DEFAULT CHARACTER SET " + charset;
  if (plain(collation)) clause += " COLLATE " + collation;
  return clause;
}

struct FolderObjects {
  std::vector<std::string> tables;  // file names without .frm
  std::vector<std::string> views;   // paths of view .frm files
};

// The .frm files of a database folder: tables (binary definitions) and views (text files that
// begin "TYPE=VIEW"), sorted by name.
FolderObjects ListFolder(const std::string& folder) {
  FolderObjects objects;
  std::error_code ec;
  std::vector<fs::path> paths;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (ToLowerAscii(it->path().extension().string()) == ".frm") paths.push_back(it->path());
  }
  std::sort(paths.begin(), paths.end());
  for (const fs::path& path : paths) {
    switch (DefinitionKindOf(path.string())) {
      case DefinitionKind::kView: objects.views.push_back(path.string()); break;
      // Anything else that can be read is taken as a table, so that the run reports what it finds.
      case DefinitionKind::kTable:
      case DefinitionKind::kOther: objects.tables.push_back(path.stem().string()); break;
      case DefinitionKind::kUnreadable: break;
    }
  }
  return objects;
}

std::string ViewStatement(const ViewFile& view, bool replace) {
  std::string text = replace ? "CREATE OR REPLACE" : "CREATE";
  text += " ALGORITHM=" + ViewAlgorithmName(view.algorithm);
  text += view.suid == 0 ? " SQL SECURITY INVOKER" : " SQL SECURITY DEFINER";
  text += " VIEW " + QuoteIdentifier(view.name) + " AS " + view.query;
  if (view.checkOption == 1) text += " WITH LOCAL CHECK OPTION";
  else if (view.checkOption == 2) text += " WITH CASCADED CHECK OPTION";
  return text;
}

// Sets the process time zone to UTC for the lifetime of the object.
class UtcTimeZone {
 public:
  UtcTimeZone() {
    const char* tz = std::getenv("TZ");
    if (tz) old_ = tz;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  ~UtcTimeZone() {
    if (old_) setenv("TZ", old_->c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }

 private:
  std::optional<std::string> old_;
};

// ---- destinations ----

// Where the statements of a run go.
class Destination {
 public:
  virtual ~Destination() = default;
  // Prepares database db (folder: its data folder). False and error when nothing can be written.
  virtual bool StartDatabase(const std::string& db, const std::string& folder, std::string& error) = 0;
  virtual void EndDatabase() = 0;
  enum class Created { kYes, kExists, kFailed };
  // oldTemporal: create the table with the server's temporal format of before 5.6.
  virtual Created CreateTable(const std::string& table, const std::string& statement, bool oldTemporal,
                              std::string& error) = 0;
  // Writes the rows of one batch. tuples holds each row as "(...)", statements the INSERTs
  // built from them, counts the rows of each statement. Refused rows are reported through refused
  // (1-based row number in the batch, the server's message). False and error when writing stopped.
  virtual bool WriteRows(const InsertBuilder& builder, const std::vector<std::string>& tuples,
                         const std::vector<std::string>& statements, const std::vector<size_t>& counts,
                         const std::string& table, uint64_t rowsBefore,
                         std::vector<std::pair<uint64_t, std::string>>& refused, std::string& error) = 0;
  // Whether WriteRows needs the tuples of the batch (to retry refused rows one by one).
  virtual bool NeedsTuples() const = 0;
  virtual bool EndTable(std::string& error) = 0;
  // Views: true when created; error otherwise.
  virtual bool CreateView(const std::string& statement, std::string& error) = 0;
  // Triggers: true when created; error otherwise.
  virtual bool CreateTrigger(const std::string& statement, std::string& error) = 0;
  virtual bool ReportsTriggerLines() const = 0;
  // A session statement that only MariaDB servers know (a script writes it as a comment that
  // other servers skip); failures are the caller's to ignore.
  virtual bool SessionStatement(const std::string& statement) = 0;
};

class ScriptDestination : public Destination {
 public:
  ScriptDestination(std::string folder, bool replace) : folder_(std::move(folder)), replace_(replace) {}

  bool StartDatabase(const std::string& db, const std::string& folder, std::string& error) override {
    std::error_code ec;
    fs::create_directories(folder_, ec);
    path_ = JoinPath(folder_, db + ".sql");
    out_.close();
    out_.clear();
    // A database named twice in one run (two separate groups) continues its file.
    const bool seen = std::find(written_.begin(), written_.end(), path_) != written_.end();
    out_.open(path_, std::ios::binary | (seen ? std::ios::app : std::ios::trunc));
    if (!out_) {
      error = "the script file " + path_ + " cannot be created";
      return false;
    }
    if (!seen) written_.push_back(path_);
    out_ << "-- Database " << QuoteIdentifier(db) << " saved by Corvalt Wexholt v22.0 from " << folder << "\n"
         << "-- Load it with: mariadb --comments < " << LastPathComponent(path_) << "\n"
         << "-- (without --comments the client drops the comments inside trigger bodies)\n";
    for (const std::string& s : SessionSettings()) out_ << s << ";\n";
    out_ << "CREATE DATABASE IF NOT EXISTS " << QuoteIdentifier(db) << DatabaseOptions(folder) << ";\n";
    out_ << "USE " << QuoteIdentifier(db) << ";\n";
    return Good(error);
  }
  void EndDatabase() override { out_.close(); }

  Created CreateTable(const std::string& table, const std::string& statement, bool oldTemporal,
                      std::string& error) override {
    out_ << "\n-- Table " << QuoteIdentifier(table) << "\n";
    if (replace_) out_ << "DROP TABLE IF EXISTS " << QuoteIdentifier(table) << ";\n";
    // Only MariaDB knows the variable: the statements are comments to other servers.
    if (oldTemporal) {
      out_ << "-- The temporal columns keep their storage format of before 5.6.\n";
      for (const std::string& s : OldTemporalFormatBefore()) out_ << "/*M!100100 " << s << " */;\n";
    }
    out_ << statement << ";\n";
    if (oldTemporal) {
      for (const std::string& s : OldTemporalFormatAfter()) out_ << "/*M!100100 " << s << " */;\n";
    }
    return Good(error) ? Created::kYes : Created::kFailed;
  }

  bool WriteRows(const InsertBuilder&, const std::vector<std::string>&, const std::vector<std::string>& statements,
                 const std::vector<size_t>&, const std::string&, uint64_t, std::vector<std::pair<uint64_t, std::string>>&,
                 std::string& error) override {
    for (const std::string& s : statements) out_ << s << ";\n";
    return Good(error);
  }
  bool NeedsTuples() const override { return false; }

  bool EndTable(std::string& error) override {
    out_.flush();
    return Good(error);
  }

  bool CreateView(const std::string& statement, std::string& error) override {
    out_ << statement << ";\n";
    return Good(error);
  }

  bool CreateTrigger(const std::string& statement, std::string& error) override {
    out_ << DelimitedBlock(statement);
    return Good(error);
  }
  bool ReportsTriggerLines() const override { return false; }
  bool SessionStatement(const std::string& statement) override {
    out_ << "/*M!100100 " << statement << " */;\n";
    return static_cast<bool>(out_);
  }

  const std::vector<std::string>& Written() const { return written_; }

 private:
  bool Good(std::string& error) {
    if (out_) return true;
    error = "writing " + path_ + " failed";
    return false;
  }

  std::string folder_;
  bool replace_;
  std::string path_;
  std::ofstream out_;
  std::vector<std::string> written_;
};

class ServerDestination : public Destination {
 public:
  ServerDestination(OdbcConnection& connection, bool replace) : c_(connection), replace_(replace) {}

  bool StartDatabase(const std::string& db, const std::string& folder, std::string& error) override {
    for (const std::string& s : SessionSettings(false)) {
      if (!c_.Execute(s)) return Fail(error);
    }
    if (!c_.Execute("CREATE DATABASE IF NOT EXISTS " + QuoteIdentifier(db) + DatabaseOptions(folder))) return Fail(error);
    if (!c_.Execute("USE " + QuoteIdentifier(db))) return Fail(error);
    return true;
  }
  void EndDatabase() override {}

  Created CreateTable(const std::string& table, const std::string& statement, bool oldTemporal,
                      std::string& error) override {
    if (replace_ && !c_.Execute("DROP TABLE IF EXISTS " + QuoteIdentifier(table))) {
      Fail(error);
      return Created::kFailed;
    }
    // Without the variable (or the right to set it) the table gets the current formats, which
    // hold the same values.
    bool switched = false;
    if (oldTemporal) {
      switched = true;
      for (const std::string& s : OldTemporalFormatBefore()) switched = switched && c_.Execute(s);
    }
    const bool created = c_.Execute(statement);
    const int32_t native = c_.LastNativeError();
    const std::string message = c_.LastError();
    if (switched) {
      for (const std::string& s : OldTemporalFormatAfter()) c_.Execute(s);
    }
    if (created) {
      if (!c_.SetAutoCommit(false)) {
        Fail(error);
        return Created::kFailed;
      }
      return Created::kYes;
    }
    if (native == kServerErrorTableExists) {
      error = "the table exists in the server and was not touched";
      return Created::kExists;
    }
    error = message;
    return Created::kFailed;
  }

  bool NeedsTuples() const override { return true; }
  bool WriteRows(const InsertBuilder& builder, const std::vector<std::string>& tuples,
                 const std::vector<std::string>& statements, const std::vector<size_t>& counts,
                 const std::string& table, uint64_t rowsBefore,
                 std::vector<std::pair<uint64_t, std::string>>& refused, std::string& error) override {
    size_t first = 0;  // first row of the statement in rows
    uint64_t inTable = rowsBefore;
    for (size_t s = 0; s < statements.size(); ++s) {
      const size_t count = counts[s];
      if (c_.Execute(statements[s])) {
        inTable += count;
        first += count;
        continue;
      }
      if (ConnectionLost(c_.LastNativeError())) return Fail(error);
      // The statement was refused. An engine without transactions keeps the rows before the one
      // refused; count them, then send the rest one by one to find every row the server refuses.
      std::vector<std::string> value;
      uint64_t now = inTable;
      if (c_.QueryColumn("SELECT COUNT(*) FROM " + QuoteIdentifier(table), value) && value.size() == 1) {
        now = std::strtoull(value[0].c_str(), nullptr, 10);
      } else if (!c_.IsOpen()) {
        return Fail(error);
      }
      size_t kept = now > inTable ? static_cast<size_t>(now - inTable) : 0;
      if (kept > count) kept = count;
      inTable += kept;
      for (size_t r = first + kept; r < first + count; ++r) {
        if (c_.Execute(builder.SingleRowTuple(tuples[r]))) {
          ++inTable;
        } else if (ConnectionLost(c_.LastNativeError())) {
          return Fail(error);
        } else {
          refused.emplace_back(r + 1, c_.LastError());
        }
      }
      first += count;
    }
    if (!c_.Commit()) return Fail(error);
    return true;
  }

  bool EndTable(std::string& error) override {
    bool ok = c_.Commit();
    ok = c_.SetAutoCommit(true) && ok;
    return ok ? true : Fail(error);
  }

  bool CreateView(const std::string& statement, std::string& error) override {
    return c_.Execute(statement) ? true : Fail(error);
  }

  bool CreateTrigger(const std::string& statement, std::string& error) override {
    return c_.Execute(statement) ? true : Fail(error);
  }
  bool ReportsTriggerLines() const override { return true; }
  bool SessionStatement(const std::string& statement) override { return c_.Execute(statement); }

 private:
  bool Fail(std::string& error) {
    error = c_.LastError();
    return false;
  }
  OdbcConnection& c_;
  bool replace_;
};

// ---- the run ----

struct DatabaseGroup {
  std::string name;    // the database's own name
  std::string folder;  // its data folder
  std::vector<TableLocation> tables;
};

std::vector<DatabaseGroup> GroupByDatabase(const std::vector<TableLocation>& tables) {
  std::vector<DatabaseGroup> groups;
  for (const TableLocation& t : tables) {
    auto it = std::find_if(groups.begin(), groups.end(), [&](const DatabaseGroup& g) { return g.folder == t.databaseFolder; });
    if (it == groups.end()) {
      std::string name = t.databaseName.empty() ? LastPathComponent(t.databaseFolder) : t.databaseName;
      groups.push_back({NameFromFileName(name), t.databaseFolder, {}});
      it = groups.end() - 1;
    }
    if (std::none_of(it->tables.begin(), it->tables.end(), [&](const TableLocation& x) { return x.tableName == t.tableName; }))
      it->tables.push_back(t);
  }
  return groups;
}

class Run {
 public:
  Run(const std::string& dataPath, const SaveOptions& options, DecoderSettings& settings, SaveProgress& progress)
      : dataPath_(dataPath), options_(options), settings_(settings), progress_(progress), reader_(&settings) {}

  SaveSummary Execute(const std::vector<TableLocation>& tables) {
    totalTables_ = tables.size();
    std::unique_ptr<Destination> destination;
    OdbcConnection connection;
    if (options_.toServer) {
      if (!connection.Open(BuildConnectionString(options_.server, options_.port), options_.user, options_.password,
                           kOdbcCharsetAttribute)) {
        progress_.Line("The connection to the server failed: " + connection.LastError());
        summary_.tablesFailed = static_cast<int>(tables.size());
        for (const TableLocation& t : tables)
          progress_.Line(NameFromFileName(t.databaseName) + "." + NameFromFileName(t.tableName) + ": not saved, no connection");
        return summary_;
      }
      destination = std::make_unique<ServerDestination>(connection, options_.replaceExisting);
    } else {
      destination = std::make_unique<ScriptDestination>(WithTrailingSeparator(options_.folder), options_.replaceExisting);
    }

    const std::string ibdata = JoinPath(WithTrailingSeparator(dataPath_), "ibdata1");
    if (FileExists(ibdata)) reader_.LoadSystemTablespace(ibdata);

    for (const DatabaseGroup& group : GroupByDatabase(tables)) {
      if (summary_.stopped) break;
      SaveDatabase(group, *destination);
    }
    if (summary_.stopped) progress_.Line("The save was stopped.");
    progress_.Progress(100);
    return summary_;
  }

 private:
  void SaveDatabase(const DatabaseGroup& group, Destination& destination) {
    std::string error;
    if (!destination.StartDatabase(group.name, group.folder, error)) {
      for (const TableLocation& t : group.tables) {
        progress_.Line(group.name + "." + NameFromFileName(t.tableName) + ": " + error);
        ++summary_.tablesFailed;
        ++tablesDone_;
      }
      return;
    }
    std::vector<std::string> saved;  // file names of the tables created
    for (const TableLocation& t : group.tables) {
      if (summary_.stopped) break;
      if (SaveTable(group, t, destination)) saved.push_back(t.tableName);
      ++tablesDone_;
    }
    if (!summary_.stopped) {
      SaveViews(group, destination);
      SaveTriggers(group, saved, destination);
    }
    destination.EndDatabase();
  }

  // Reads one table and writes it; true when the table was created (its rows may have had refusals).
  bool SaveTable(const DatabaseGroup& group, const TableLocation& location, Destination& destination) {
    const std::string table = NameFromFileName(location.tableName);
    const std::string label = group.name + "." + table;
    auto fail = [&](const std::string& why) {
      progress_.Line(label + ": " + why);
      ++summary_.tablesFailed;
      return false;
    };
    progress_.Line("Saving " + label);
    LoadTableFirstPage(reader_, group.folder, location.tableName);
    const TableDef& def = reader_.tableDef;
    if (def.columns.empty()) return fail("the table definition cannot be read");
    const std::string base = JoinPath(group.folder, location.tableName);
    if (def.engineType == kEngineMyisam) {
      if (!FileExists(ExistingDataFilePath(base, "MYD"))) return fail("the data file (.MYD) cannot be found");
    } else if (def.engineType == kEngineInnodb) {
      if (!reader_.ibdFile.IsOpen() &&
          !(reader_.SystemTablespaceOpen() && reader_.FindTableId(LastPathComponent(group.folder) + "/" + location.tableName) != 0)) {
        return fail(reader_.SystemTablespaceOpen() ? "the tablespace (.ibd) cannot be found"
                                                   : "the tablespace (.ibd) cannot be found and ibdata1 is not loaded");
      }
      // No leaf page was reached from the root (an empty or damaged .ibd, a root not in the
      // tablespace): the rows are not there to save, which is not a table of 0 rows.
      if (reader_.resumePositions.empty()) return fail("the clustered index of the table cannot be read");
    } else {
      const std::string engine = EngineNameOf(def);
      return fail("the rows of " + (engine.empty() ? std::string("this engine") : engine) + " tables cannot be read");
    }

    std::string error;
    const std::string create = CreateTableStatement(def, table, settings_);
    switch (destination.CreateTable(table, create, NeedsOldTemporalFormat(def), error)) {
      case Destination::Created::kYes: break;
      case Destination::Created::kExists: return fail(error);
      case Destination::Created::kFailed: return fail("CREATE TABLE failed: " + error);
    }

    InsertBuilder builder(def, table);
    uint64_t rowNumber = 0, rowsSaved = 0, refusedRows = 0, valueProblems = 0;
    const uint64_t expected = def.engineType == kEngineMyisam ? reader_.baseInfo.records : 0;
    bool writeFailed = false;
    bool walkedToEnd = false;
    const bool keepTuples = destination.NeedsTuples();
    std::vector<std::string> tuples;
    std::vector<std::pair<uint64_t, std::string>> refused;
    std::string tuple, problem;
    for (;;) {
      tuples.clear();
      const size_t batchRows = reader_.rowPage.size();
      for (const Row& row : reader_.rowPage) {
        ++rowNumber;
        tuple.assign(1, '(');
        bool first = true;
        for (size_t c = 0; c < def.columns.size(); ++c) {
          if (!builder.ColumnKept(c)) continue;
          if (!first) tuple += ',';
          first = false;
          if (c >= row.size()) {
            tuple += "DEFAULT";
            continue;
          }
          problem.clear();
          if (!AppendValueLiteral(def.columns[c], row[c], tuple, problem)) {
            if (++valueProblems <= kValueProblemLines)
              progress_.Line(label + ": row " + std::to_string(rowNumber) + ", column " + QuoteIdentifier(def.columns[c].name) +
                             ": " + problem + "; the column default was saved instead");
          }
        }
        tuple += ')';
        builder.AddTuple(tuple);
        if (keepTuples) tuples.push_back(tuple);
      }
      builder.Flush();
      std::vector<std::string> statements = builder.TakeFinished();
      std::vector<size_t> counts = builder.TakeFinishedRowCounts();
      refused.clear();
      if (!statements.empty() &&
          !destination.WriteRows(builder, tuples, statements, counts, table, rowsSaved, refused, error)) {
        writeFailed = true;
        break;
      }
      const uint64_t batchFirst = rowNumber - batchRows;
      for (const auto& [index, message] : refused)
        progress_.Line(label + ": row " + std::to_string(batchFirst + index) + " refused by the server: " + message);
      refusedRows += refused.size();
      rowsSaved += batchRows - refused.size();
      progress_.TableProgress(label, rowsSaved);
      ReportPercent(expected, rowNumber);
      if (progress_.StopRequested()) {
        summary_.stopped = true;
        break;
      }
      if (!LoadFollowingPage(reader_)) {
        walkedToEnd = true;
        break;
      }
    }
    if (walkedToEnd) {
      const std::string damage = DamagedPagesLine(reader_, group.name, table);
      if (!damage.empty()) progress_.DamagedPagesSkipped(damage);
    }
    std::string endError;
    const bool ended = destination.EndTable(endError);
    summary_.rowsSaved += rowsSaved;
    // The .MYI header counts the table's rows: fewer rows read than that is a loss to report.
    const bool rowsMissing = !summary_.stopped && !writeFailed && expected > rowNumber;

    std::string line = label + ": " + std::to_string(rowsSaved) + (rowsSaved == 1 ? " row saved" : " rows saved");
    if (refusedRows) line += ", " + std::to_string(refusedRows) + " refused by the server";
    if (valueProblems) line += ", " + std::to_string(valueProblems) + " values not readable in full";
    if (rowsMissing) line += "; the index file counts " + std::to_string(expected) + " rows, only " + std::to_string(rowNumber) + " could be read";
    if (writeFailed) line += "; writing stopped: " + error;
    else if (!ended) line += "; " + endError;
    if (summary_.stopped) line += " (stopped)";
    progress_.Line(line);
    if (writeFailed || !ended || refusedRows || valueProblems || rowsMissing) ++summary_.tablesFailed;
    else ++summary_.tablesSaved;
    return true;
  }

  void ReportPercent(uint64_t expected, uint64_t read) {
    if (totalTables_ == 0) return;
    double within = expected > 0 ? std::min(1.0, static_cast<double>(read) / static_cast<double>(expected)) : 0.0;
    progress_.Progress(static_cast<int>((static_cast<double>(tablesDone_) + within) * 100.0 / static_cast<double>(totalTables_)));
  }

  void SaveViews(const DatabaseGroup& group, Destination& destination) {
    const FolderObjects objects = ListFolder(group.folder);
    if (objects.views.empty()) return;
    for (const std::string& table : objects.tables) {
      if (std::none_of(group.tables.begin(), group.tables.end(), [&](const TableLocation& t) { return t.tableName == table; })) {
        progress_.Line(group.name + ": views not saved, since not every table of the database is saved");
        return;
      }
    }
    std::vector<std::string> names, statements;
    for (const std::string& path : objects.views) {
      ViewFile view = ReadViewFile(path);
      if (!view.readable || view.query.empty()) {
        progress_.Line(group.name + ": the view file " + path + " cannot be read");
        continue;
      }
      view.name = NameFromFileName(view.name);
      names.push_back(view.name);
      statements.push_back(ViewStatement(view, options_.replaceExisting));
    }
    OrderViewsByDependency(names, statements);
    for (size_t i = 0; i < statements.size(); ++i) {
      std::string error;
      if (destination.CreateView(statements[i], error)) progress_.Line(group.name + "." + names[i] + ": view saved");
      else progress_.Line(group.name + "." + names[i] + ": view not saved: " + error);
    }
  }

  void SaveTriggers(const DatabaseGroup& group, const std::vector<std::string>& tables, Destination& destination) {
    for (const std::string& table : tables) {
      const std::string path = ExistingDataFilePath(JoinPath(group.folder, table), "TRG");
      if (!FileExists(path)) continue;
      const std::vector<std::string> statements = TriggerStatements(path);
      // Each trigger runs with the SQL mode it was created with (sql_modes: one number per
      // trigger, in the order of the statements).
      std::vector<std::string> modes;
      if (auto lines = ReadParameterFileLines(path)) {
        if (auto value = ParameterValue(*lines, "sql_modes")) {
          std::string number;
          for (char c : *value + " ") {
            if (c >= '0' && c <= '9') number += c;
            else if (!number.empty()) modes.push_back(number), number.clear();
          }
        }
      }
      if (modes.size() != statements.size()) modes.clear();
      for (size_t i = 0; i < statements.size(); ++i) {
        const std::string& statement = statements[i];
        if (!modes.empty()) destination.SessionStatement("SET sql_mode = " + modes[i]);
        std::string error;
        const bool ok = destination.CreateTrigger(statement, error);
        if (destination.ReportsTriggerLines()) {
          progress_.Line(ok ? "Trigger Created Successfully." : "Error executing Trigger.");
          if (!ok) progress_.Line(group.name + "." + NameFromFileName(table) + ": " + error);
        } else if (!ok) {
          progress_.Line(group.name + "." + NameFromFileName(table) + ": trigger not saved: " + error);
        }
      }
      if (!modes.empty()) destination.SessionStatement(kSessionSqlMode);
    }
  }

  std::string dataPath_;
  const SaveOptions& options_;
  DecoderSettings& settings_;
  SaveProgress& progress_;
  TableReader reader_;
  SaveSummary summary_;
  size_t totalTables_ = 0;
  size_t tablesDone_ = 0;
};

}  // namespace

SaveSummary RunSave(const std::string& dataPath, const std::vector<TableLocation>& tables,
                    const SaveOptions& options, DecoderSettings& settings, SaveProgress& progress) {
  // The save-mode flags for the run, restored afterwards.
  const DecoderSettings saved = settings;
  settings.saveToFolder = !options.toServer;
  settings.saveToServer = options.toServer;
  settings.inlineExternalValues = true;
  settings.saveFolder.clear();
  SaveSummary summary;
  {
    UtcTimeZone utc;
    Run run(dataPath, options, settings, progress);
    summary = run.Execute(tables);
  }
  settings.saveToFolder = saved.saveToFolder;
  settings.saveToServer = saved.saveToServer;
  settings.inlineExternalValues = saved.inlineExternalValues;
  settings.saveFolder = saved.saveFolder;
  return summary;
}

}  // namespace wexholt
