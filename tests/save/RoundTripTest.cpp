// Round trips of the fixture tables: read from the fixture data directory, saved as scripts (loaded
// with the mariadb client) or over ODBC into a fresh server, then read back with the expressions
// the fixture recording used and compared value for value with what the original server returned,
// and CHECKSUM TABLE with the recorded checksum. Once with ibdata1, once from a copy of the data
// directory without it (InnoDB layouts then come from the .frm files alone).
#include <filesystem>
#include <fstream>
#include <iterator>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

#include "definitions/Collations.h"
#include "save/SaveRun.h"
#include "support/Fixtures.h"
#include "support/LiveServer.h"

namespace wexholt {
namespace {

namespace fs = std::filesystem;
using testing::ExpectedTsv;
using testing::FixtureTable;
using testing::LiveServer;

class CollectingProgress : public SaveProgress {
 public:
  void Line(const std::string& text) override { lines.push_back(text); }
  // The lines that say something went wrong (not the per-table progress and success lines).
  std::string Problems() const {
    auto endsWith = [](const std::string& s, const std::string& e) {
      return s.size() >= e.size() && s.compare(s.size() - e.size(), e.size(), e) == 0;
    };
    std::string s;
    for (const auto& l : lines) {
      if (l.rfind("Saving ", 0) == 0 || endsWith(l, " rows saved") || endsWith(l, " row saved") ||
          endsWith(l, ": view saved") || l == "Trigger Created Successfully.")
        continue;
      s += l + "\n";
    }
    return s;
  }
  std::vector<std::string> lines;
};

// The SELECT list the fixture recording used for the table (see tests/data/expected/README).
std::string RecordedExpressions(const FixtureTable& t) {
  ExpectedTsv columns;
  if (!testing::ReadExpectedTsv(testing::ExpectedColumnsPath(t.db, t.table), columns)) return "";
  const int name = columns.Column("COLUMN_NAME"), type = columns.Column("DATA_TYPE"),
            charset = columns.Column("CHARACTER_SET_NAME"), precision = columns.Column("NUMERIC_PRECISION");
  static const std::set<std::string> kHex = {"binary", "varbinary", "tinyblob", "blob", "mediumblob", "longblob",
                                             "geometry", "point", "linestring", "polygon", "multipoint",
                                             "multilinestring", "multipolygon", "geometrycollection"};
  static const std::set<std::string> kWide = {"ucs2", "utf16", "utf16le", "utf32"};
  std::string list;
  for (const auto& row : columns.rows) {
    const std::string c = "`" + row[name] + "`";
    if (!list.empty()) list += ", ";
    if (kHex.count(row[type])) list += "HEX(" + c + ") AS " + c;
    else if (row[type] == "bit") list += "LPAD(BIN(" + c + "), " + row[precision] + ", '0') AS " + c;
    else if (kWide.count(row[charset])) list += "CONVERT(" + c + " USING utf8mb4) AS " + c;
    else list += c;
  }
  return list;
}

std::vector<std::string> FixtureDatabases(const std::vector<FixtureTable>& tables) {
  std::vector<std::string> dbs;
  for (const auto& t : tables)
    if (std::find(dbs.begin(), dbs.end(), t.db) == dbs.end()) dbs.push_back(t.db);
  return dbs;
}

std::vector<TableLocation> Locations(const std::string& dataDir, const std::vector<FixtureTable>& tables) {
  std::vector<TableLocation> out;
  for (const auto& t : tables) out.push_back({dataDir + t.db, t.db, t.table});
  return out;
}

class SaveRoundTrip : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    tables_ = testing::ListFixtureTables();
    // Compressed MyISAM tables give no rows; the run reports them as failed (tested on its own).
    for (auto it = tables_.begin(); it != tables_.end();) {
      if (it->rowFormat == "Compressed") {
        compressed_.push_back(*it);
        it = tables_.erase(it);
      } else {
        ++it;
      }
    }
    if (tables_.empty()) {
      skip_ = "no fixture tables (tests/data/expected/tables.tsv)";
      return;
    }
    server_ = new LiveServer;
    if (!server_->Start()) {
      skip_ = server_->StartError();
      delete server_;
      server_ = nullptr;
      return;
    }
    // The fixture data directory without ibdata1.
    noIbdata_ = server_->Folder() + "no-ibdata/";
    fs::create_directories(noIbdata_);
    for (const auto& db : FixtureDatabases(tables_))
      fs::copy(testing::FixtureDataDir() + db, noIbdata_ + db, fs::copy_options::recursive);
    collations_ = StartupCollations();
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    if (!server_) GTEST_SKIP() << skip_;
    for (const auto& db : FixtureDatabases(tables_)) server_->Exec("DROP DATABASE IF EXISTS `" + db + "`");
  }

  SaveSummary Save(const std::string& dataDir, const SaveOptions& options, CollectingProgress& progress,
                   const std::vector<FixtureTable>& tables) {
    DecoderSettings settings;
    settings.collations = &collations_;
    SaveSummary summary = RunSave(dataDir, Locations(dataDir, tables), options, settings, progress);
    EXPECT_FALSE(settings.SaveMode()) << "the run restores the display mode";
    return summary;
  }

  SaveSummary DumpAndLoad(const std::string& dataDir, CollectingProgress& progress) {
    SaveOptions options;
    options.folder = server_->Folder() + "scripts-" + std::to_string(++runs_) + "/";
    SaveSummary summary = Save(dataDir, options, progress, tables_);
    // --comments: the client keeps the comments inside trigger bodies.
    for (const auto& db : FixtureDatabases(tables_)) {
      testing::ClientResult loaded = testing::RunProgram(
          {"mariadb", "--no-defaults", "--socket=" + server_->Socket(), "-uroot", "--comments"}, options.folder + db + ".sql");
      EXPECT_TRUE(loaded.Ok()) << db << ".sql: " << loaded.error;
    }
    return summary;
  }

  SaveOptions ServerOptions() {
    SaveOptions options;
    options.toServer = true;
    options.server = "127.0.0.1";
    options.port = std::to_string(server_->Port());
    options.user = "root";
    return options;
  }

  // Every fixture table in the server against the recorded rows and checksums; one failure per
  // table naming the first cells that differ. One client run reads every table: each SELECT is
  // preceded by a marker row, since the client prints nothing at all for an empty result.
  void ExpectTablesAsRecorded(const std::vector<FixtureTable>& tables) {
    const std::string kMarkerHeading = "wexholt_section_marker";
    auto marker = [](size_t i) { return "--wexholt-section-" + std::to_string(i) + "--"; };
    std::string sql, checksumList;
    for (size_t i = 0; i < tables.size(); ++i) {
      const FixtureTable& t = tables[i];
      sql += "SELECT '" + marker(i) + "' AS " + kMarkerHeading + ";\n";
      sql += "SELECT " + RecordedExpressions(t) + " FROM `" + t.db + "`.`" + t.table + "`;\n";
      checksumList += std::string(checksumList.empty() ? "" : ", ") + "`" + t.db + "`.`" + t.table + "`";
    }
    sql += "SELECT '" + marker(tables.size()) + "' AS " + kMarkerHeading + ";\nCHECKSUM TABLE " + checksumList + ";\n";
    testing::ClientResult result = server_->Exec(sql);
    ASSERT_TRUE(result.Ok()) << result.error;

    std::vector<std::vector<std::string>> sections(tables.size() + 1);
    std::istringstream in(result.output);
    std::string line;
    size_t current = sections.size();
    while (std::getline(in, line)) {
      if (line == kMarkerHeading) continue;
      if (line.rfind("--wexholt-section-", 0) == 0) {
        current = std::stoul(line.substr(18));
        continue;
      }
      if (current < sections.size()) sections[current].push_back(line);
    }
    std::map<std::string, std::string> checksums;
    for (size_t i = 1; i < sections.back().size(); ++i) {
      std::vector<std::string> cells = testing::SplitBatchLine(sections.back()[i]);
      if (cells.size() == 2) checksums[cells[0]] = cells[1];
    }

    for (size_t i = 0; i < tables.size(); ++i) {
      const FixtureTable& t = tables[i];
      SCOPED_TRACE(t.db + "." + t.table);
      ExpectedTsv expected;
      ASSERT_TRUE(testing::ReadExpectedTsv(testing::ExpectedRowsPath(t.db, t.table), expected));
      std::vector<std::string> lines = sections[i];
      if (!lines.empty()) lines.erase(lines.begin());  // the heading
      std::ostringstream diff;
      int differences = 0;
      if (lines.size() != expected.rows.size()) {
        diff << lines.size() << " rows instead of " << expected.rows.size() << "\n";
        ++differences;
      }
      for (size_t r = 0; r < lines.size() && r < expected.rows.size(); ++r) {
        std::vector<std::string> got = testing::SplitBatchLine(lines[r]);
        for (size_t c = 0; c < expected.rows[r].size(); ++c) {
          const std::string have = c < got.size() ? got[c] : "<missing>";
          if (have != expected.rows[r][c] && ++differences <= 5)
            diff << "row " << r + 1 << " " << expected.header[c] << ": " << have.substr(0, 80) << " instead of "
                 << expected.rows[r][c].substr(0, 80) << "\n";
        }
      }
      EXPECT_EQ(differences, 0) << diff.str();
      EXPECT_EQ(checksums[t.db + "." + t.table], testing::ExpectedChecksum(t.db, t.table));
    }
  }

  // SHOW CREATE TABLE / VIEW / TRIGGER of the loaded databases against the recorded statements.
  // Trigger definers are compared without their DEFINER clause: the save creates triggers as the
  // connecting user.
  void ExpectDefinitionsAsRecorded() {
    auto recorded = [](const std::string& path) {
      std::ifstream in(path, std::ios::binary);
      std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      return text;
    };
    auto cell = [&](const std::string& sql, size_t column) {
      std::vector<std::string> lines = server_->Query(sql);
      if (lines.size() != 1) return std::string("<no answer to ") + sql + ">";
      std::vector<std::string> cells = testing::SplitBatchLine(lines[0]);
      return column < cells.size() ? cells[column] : std::string("<short answer>");
    };
    for (const auto& t : tables_) {
      std::string expected = recorded(testing::ExpectedCreatePath(t.db, t.table));
      if (expected.size() >= 3 && expected.compare(expected.size() - 3, 3, "\n;\n") == 0) expected.resize(expected.size() - 3);
      EXPECT_EQ(cell("SHOW CREATE TABLE `" + t.db + "`.`" + t.table + "`", 1), expected) << t.db << "." << t.table;
    }
    for (const auto& entry : fs::directory_iterator(testing::ExpectedDir() + "views")) {
      const std::string name = entry.path().stem().string();  // db.view
      const size_t dot = name.find('.');
      std::string expected = recorded(entry.path().string());
      if (expected.size() >= 3) expected.resize(expected.size() - 3);
      EXPECT_EQ(cell("SHOW CREATE VIEW `" + name.substr(0, dot) + "`.`" + name.substr(dot + 1) + "`", 1), expected) << name;
    }
    auto withoutDefiner = [](std::string statement) {
      const size_t at = statement.find("DEFINER=");
      if (at != std::string::npos) {
        const size_t end = statement.find(' ', statement.find('@', at));
        statement.erase(at, end - at + 1);
      }
      return statement;
    };
    for (const auto& entry : fs::directory_iterator(testing::ExpectedDir() + "triggers")) {
      const std::string name = entry.path().stem().string();  // db.table
      const std::string db = name.substr(0, name.find('.')), table = name.substr(name.find('.') + 1);
      // The recorded file: DELIMITER ;; then statements each followed by a line ";;".
      std::string text = recorded(entry.path().string());
      std::vector<std::string> expected;
      size_t start = text.find('\n') + 1;
      for (size_t end; (end = text.find("\n;;\n", start)) != std::string::npos; start = end + 4)
        expected.push_back(withoutDefiner(text.substr(start, end - start)));
      std::vector<std::string> names = server_->Query(
          "SELECT TRIGGER_NAME FROM information_schema.TRIGGERS WHERE TRIGGER_SCHEMA = '" + db +
          "' AND EVENT_OBJECT_TABLE = '" + table + "' ORDER BY ACTION_ORDER");
      std::vector<std::string> got;
      for (const std::string& trigger : names)
        got.push_back(withoutDefiner(cell("SHOW CREATE TRIGGER `" + db + "`.`" + trigger + "`", 2)));
      EXPECT_EQ(got, expected) << name;
    }
  }

  static std::vector<FixtureTable> tables_;
  static std::vector<FixtureTable> compressed_;
  static LiveServer* server_;
  static std::string skip_, noIbdata_;
  static CollationTable collations_;
  static int runs_;
};
std::vector<FixtureTable> SaveRoundTrip::tables_;
std::vector<FixtureTable> SaveRoundTrip::compressed_;
LiveServer* SaveRoundTrip::server_ = nullptr;
std::string SaveRoundTrip::skip_, SaveRoundTrip::noIbdata_;
CollationTable SaveRoundTrip::collations_;
int SaveRoundTrip::runs_ = 0;

TEST_F(SaveRoundTrip, ScriptsWithIbdataLoadValueForValue) {
  CollectingProgress progress;
  SaveSummary summary = DumpAndLoad(testing::FixtureDataDir(), progress);
  EXPECT_EQ(summary.tablesFailed, 0) << progress.Problems();
  EXPECT_EQ(summary.tablesSaved, static_cast<int>(tables_.size())) << progress.Problems();
  ExpectTablesAsRecorded(tables_);
  ExpectDefinitionsAsRecorded();
}

TEST_F(SaveRoundTrip, ScriptsWithoutIbdataLoadValueForValue) {
  CollectingProgress progress;
  SaveSummary summary = DumpAndLoad(noIbdata_, progress);
  EXPECT_EQ(summary.tablesFailed, 0) << progress.Problems();
  ExpectTablesAsRecorded(tables_);
}

TEST_F(SaveRoundTrip, RestoreOverOdbcValueForValue) {
  CollectingProgress progress;
  SaveSummary summary = Save(testing::FixtureDataDir(), ServerOptions(), progress, tables_);
  EXPECT_EQ(summary.tablesFailed, 0) << progress.Problems();
  EXPECT_EQ(summary.tablesSaved, static_cast<int>(tables_.size())) << progress.Problems();
  ExpectTablesAsRecorded(tables_);
}

TEST_F(SaveRoundTrip, CompressedTableIsReportedAsNotSaved) {
  if (compressed_.empty()) GTEST_SKIP() << "no compressed fixture table";
  CollectingProgress progress;
  SaveOptions options;
  options.folder = server_->Folder() + "scripts-compressed/";
  SaveSummary summary = Save(testing::FixtureDataDir(), options, progress, compressed_);
  EXPECT_EQ(summary.tablesFailed, static_cast<int>(compressed_.size())) << progress.Problems();
  EXPECT_EQ(summary.tablesSaved, 0);
}

}  // namespace
}  // namespace wexholt
