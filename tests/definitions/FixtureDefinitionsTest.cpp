// The definitions of the server-made fixtures: every table's .frm against the column facts the
// server recorded, and every view and trigger file against the statements the server showed,
// then loaded into a live server.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "decoding/Text.h"
#include "definitions/ColumnTypeText.h"
#include "definitions/TableReader.h"
#include "definitions/TriggerDefinition.h"
#include "definitions/ViewDefinition.h"
#include "support/Fixtures.h"
#include "support/LiveServer.h"

namespace wexholt {
namespace {

using testing::ExpectedTsv;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A statement file of the expected folder without its closing line (";" or ";;").
std::string WithoutTerminatorLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ';')) text.pop_back();
  return text;
}

// "CREATE DEFINER=`u`@`h` TRIGGER ..." -> "CREATE TRIGGER ...".
std::string WithoutDefiner(const std::string& statement) {
  const std::string prefix = "CREATE DEFINER=";
  if (statement.compare(0, prefix.size(), prefix) != 0) return statement;
  size_t p = prefix.size();
  for (int part = 0; part < 2; ++part) {
    if (p < statement.size() && statement[p] == '`') {
      p = statement.find('`', p + 1);
      p = p == std::string::npos ? statement.size() : p + 1;
    }
    if (part == 0 && p < statement.size() && statement[p] == '@') ++p;
  }
  while (p < statement.size() && statement[p] == ' ') ++p;
  return "CREATE " + statement.substr(p);
}

// The text with every "-- " comment removed up to its line end.
std::string WithoutLineComments(const std::string& text) {
  std::string out;
  std::istringstream in(text);
  std::string line;
  bool first = true;
  while (std::getline(in, line)) {
    const size_t dash = line.find("-- ");
    if (dash != std::string::npos) line.erase(dash);
    if (!first) out += '\n';
    out += line;
    first = false;
  }
  return out;
}

// The statements of an expected trigger file: the blocks between "DELIMITER ;;" and "DELIMITER ;",
// each ended by a line ";;".
std::vector<std::string> ExpectedTriggerStatements(const std::string& path) {
  std::vector<std::string> statements;
  std::istringstream in(ReadText(path));
  std::string line, current;
  while (std::getline(in, line)) {
    if (line == "DELIMITER ;;" || line == "DELIMITER ;") continue;
    if (line == ";;") {
      statements.push_back(current);
      current.clear();
      continue;
    }
    if (!current.empty()) current += '\n';
    current += line;
  }
  return statements;
}

std::vector<std::string> FilesWithSuffix(const std::string& folder, const std::string& suffix) {
  std::vector<std::string> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
      files.push_back(entry.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool IsViewFile(const std::string& path) { return ReadText(path).rfind("TYPE=VIEW", 0) == 0; }

std::string DatabaseOf(const std::string& path) {
  return LastPathComponent(path.substr(0, path.rfind('/')));
}

TEST(FixtureDefinitions, EveryTableMatchesTheServerColumnFacts) {
  const auto tables = testing::ListFixtureTables();
  if (tables.empty()) GTEST_SKIP() << "no fixtures in " << testing::ExpectedDir();
  const CollationTable& collations = BuiltInCollations();
  DecoderSettings settings;
  TableReader reader(&settings);
  size_t columnsCompared = 0;
  std::set<std::string> engines;
  for (const auto& t : tables) {
    const std::string what = t.db + "." + t.table;
    ExpectedTsv expected;
    ASSERT_TRUE(testing::ReadExpectedTsv(testing::ExpectedColumnsPath(t.db, t.table), expected)) << what;
    reader.ResetAll();
    reader.ReadTableDefinition(testing::FixtureDataDir() + t.db + "/" + t.table + ".frm");
    const TableDef& def = reader.tableDef;
    ASSERT_EQ(def.columns.size(), expected.rows.size()) << what;
    EXPECT_EQ(def.engineType, t.engine == "InnoDB" ? kEngineInnodb : kEngineMyisam) << what;
    EXPECT_EQ(def.engineName, t.engine) << what;
    engines.insert(t.engine);

    const int name = expected.Column("COLUMN_NAME"), dataType = expected.Column("DATA_TYPE");
    const int type = expected.Column("COLUMN_TYPE"), nullable = expected.Column("IS_NULLABLE");
    const int key = expected.Column("COLUMN_KEY"), collation = expected.Column("COLLATION_NAME");
    const int scale = expected.Column("NUMERIC_SCALE"), fsp = expected.Column("DATETIME_PRECISION");
    const int precision = expected.Column("NUMERIC_PRECISION");
    const bool hasPrimary = std::any_of(def.indexes.begin(), def.indexes.end(), [](const IndexDef& i) { return i.primary; });
    for (size_t i = 0; i < def.columns.size(); ++i) {
      const ColumnDef& c = def.columns[i];
      const auto& row = expected.rows[i];
      const std::string at = what + "." + row[name];
      EXPECT_EQ(c.name, row[name]) << at;
      EXPECT_EQ(c.nullable, row[nullable] == "YES" ? 1 : 0) << at;
      EXPECT_EQ(ColumnSqlType(c, def, collations), row[type]) << at;
      const std::string typeText = ColumnTypeText(c, def, collations);
      EXPECT_EQ(typeText.rfind(ToUpperAscii(row[dataType]), 0), 0u) << at << ": " << typeText;

      // The server shows PRI for the primary key's columns, and for a unique NOT NULL key standing
      // in for a missing primary key; UNI for the first column of another unique key.
      const std::string& columnKey = row[key];
      if (c.inPrimaryKey) {
        EXPECT_EQ(columnKey, "PRI") << at;
      }
      if (columnKey == "PRI") {
        EXPECT_TRUE(c.inPrimaryKey || (!hasPrimary && c.inUniqueKey)) << at;
      }
      if (columnKey == "UNI") {
        EXPECT_EQ(c.inUniqueKey, 1) << at;
      }
      bool leadsUnique = false;
      for (const IndexDef& index : def.indexes) {
        if (index.unique && !index.primary && !index.parts.empty() && index.parts[0].columnNumber == c.number + 1) {
          leadsUnique = true;
        }
      }
      if (leadsUnique && !c.inPrimaryKey && hasPrimary) {
        EXPECT_EQ(columnKey, "UNI") << at;
      }

      if (row[collation] != "NULL") {
        auto it = collations.find(c.charsetId);
        ASSERT_NE(it, collations.end()) << at << " collation " << c.charsetId;
        EXPECT_EQ(it->second.collationName, row[collation]) << at;
      }
      if ((c.typeCode == TypeCode::kNewDecimal) && row[precision] != "NULL") {
        EXPECT_EQ(std::to_string(c.precision), row[precision]) << at;
        EXPECT_EQ(std::to_string(c.decimals), row[scale]) << at;
      }
      if (row[fsp] != "NULL") {
        EXPECT_EQ(std::to_string(c.fractionDigits), row[fsp]) << at;
      }
      ++columnsCompared;
    }
  }
  EXPECT_GT(columnsCompared, 100u);
  EXPECT_EQ(engines, (std::set<std::string>{"InnoDB", "MyISAM"}));
}

// The parts of every view file rebuild the statement SHOW CREATE VIEW gave.
TEST(FixtureDefinitions, ViewFilesGiveTheServerStatements) {
  const std::string expectedViews = testing::ExpectedDir() + "views/";
  const auto files = FilesWithSuffix(expectedViews, ".sql");
  if (files.empty()) GTEST_SKIP() << "no recorded views";
  for (const std::string& file : files) {
    const std::string base = LastPathComponent(file);
    const std::string db = base.substr(0, base.find('.'));
    const std::string view = base.substr(db.size() + 1, base.size() - db.size() - 5);
    const ViewFile parts = ReadViewFile(testing::FixtureDataDir() + db + "/" + view + ".frm");
    ASSERT_TRUE(parts.readable) << base;
    const std::string rebuilt = "CREATE ALGORITHM=" + ViewAlgorithmName(parts.algorithm) + " DEFINER=`" +
                                parts.definerUser + "`@`" + parts.definerHost + "` SQL SECURITY " +
                                (parts.suid == 0 ? "INVOKER" : "DEFINER") + " VIEW `" + db + "`.`" + parts.name +
                                "` AS " + parts.query;
    EXPECT_EQ(rebuilt, WithoutTerminatorLine(ReadText(file))) << base;
  }
}

// Every trigger file gives the statements SHOW CREATE TRIGGER gave, without their definer.
TEST(FixtureDefinitions, TriggerFilesGiveTheServerStatements) {
  const auto files = FilesWithSuffix(testing::ExpectedDir() + "triggers/", ".sql");
  if (files.empty()) GTEST_SKIP() << "no recorded triggers";
  for (const std::string& file : files) {
    const std::string base = LastPathComponent(file);
    const std::string db = base.substr(0, base.find('.'));
    const std::string table = base.substr(db.size() + 1, base.size() - db.size() - 5);
    std::vector<std::string> expected;
    for (const std::string& s : ExpectedTriggerStatements(file)) expected.push_back(WithoutDefiner(s));
    EXPECT_EQ(TriggerStatements(testing::FixtureDataDir() + db + "/" + table + ".TRG"), expected) << base;
  }
}

// Loads statements until none is left or a round makes no progress (a view may use another view).
std::vector<std::string> LoadInAnyOrder(const testing::LiveServer& server, const std::string& db,
                                        std::vector<std::string> statements) {
  std::vector<std::string> errors;
  while (!statements.empty()) {
    std::vector<std::string> failed;
    errors.clear();
    for (const std::string& s : statements) {
      testing::ClientResult r = server.Exec(s, db);
      if (!r.Ok()) {
        failed.push_back(s);
        errors.push_back(r.error + " in: " + s);
      }
    }
    if (failed.size() == statements.size()) break;
    statements = failed;
  }
  return errors;
}

TEST(FixtureDefinitions, ViewsAndTriggersLoadIntoALiveServer) {
  const auto tables = testing::ListFixtureTables();
  if (tables.empty()) GTEST_SKIP() << "no fixtures";
  std::map<std::string, std::vector<std::string>> views, triggers;
  for (const auto& entry : std::filesystem::directory_iterator(testing::FixtureDataDir())) {
    if (!entry.is_directory()) continue;
    const std::string folder = entry.path().string() + "/";
    for (const std::string& path : FilesWithSuffix(folder, ".frm")) {
      if (IsViewFile(path)) views[DatabaseOf(path)].push_back(path);
    }
    for (const std::string& path : FilesWithSuffix(folder, ".TRG")) triggers[DatabaseOf(path)].push_back(path);
  }
  ASSERT_FALSE(views.empty());
  ASSERT_FALSE(triggers.empty());

  testing::LiveServer server;
  if (!server.Start()) GTEST_SKIP() << server.StartError();
  std::set<std::string> databases;
  for (const auto& [db, _] : views) databases.insert(db);
  for (const auto& [db, _] : triggers) databases.insert(db);
  for (const std::string& db : databases) {
    ASSERT_TRUE(server.Exec("CREATE DATABASE `" + db + "`").Ok());
    std::vector<std::string> creates;
    for (const auto& t : tables) {
      if (t.db == db) creates.push_back(ReadText(testing::ExpectedCreatePath(t.db, t.table)));
    }
    const auto errors = LoadInAnyOrder(server, db, creates);
    ASSERT_TRUE(errors.empty()) << errors.front();
  }

  size_t viewCount = 0, triggerCount = 0;
  for (const auto& [db, paths] : views) {
    std::vector<std::string> statements;
    for (const std::string& path : paths) statements.push_back(ViewDefinitionText(path));
    const auto errors = LoadInAnyOrder(server, db, statements);
    EXPECT_TRUE(errors.empty()) << errors.front();
    for (const std::string& path : paths) {
      const std::string view = ReadViewFile(path).name;
      const auto lines = server.Query("SHOW CREATE VIEW `" + db + "`.`" + view + "`");
      ASSERT_FALSE(lines.empty()) << view;
      const std::string shown = testing::SplitBatchLine(lines[0]).at(1);
      // The display statement has fixed ALGORITHM and SECURITY clauses; what follows VIEW must be
      // the server's own text.
      const std::string expected = WithoutTerminatorLine(ReadText(testing::ExpectedDir() + "views/" + db + "." + view + ".sql"));
      EXPECT_EQ(shown.substr(shown.find(" VIEW ")), expected.substr(expected.find(" VIEW "))) << view;
      ++viewCount;
    }
  }
  for (const auto& [db, paths] : triggers) {
    for (const std::string& path : paths) {
      // The display text, DELIMITER lines included, is what a client runs.
      const std::string text = TriggerDefinitionText(path);
      testing::ClientResult r = server.Exec(text, db);
      EXPECT_TRUE(r.Ok()) << r.error << " in: " << text;
      triggerCount += TriggerStatements(path).size();
      const std::string table = LastPathComponent(path).substr(0, LastPathComponent(path).size() - 4);
      const auto expected = ExpectedTriggerStatements(testing::ExpectedDir() + "triggers/" + db + "." + table + ".sql");
      const auto names = server.Query("SELECT TRIGGER_NAME FROM information_schema.TRIGGERS WHERE TRIGGER_SCHEMA = '" +
                                      db + "' AND EVENT_OBJECT_TABLE = '" + table + "' ORDER BY ACTION_TIMING, EVENT_MANIPULATION, ACTION_ORDER");
      std::vector<std::string> shown;
      for (const std::string& name : names) {
        const auto lines = server.Query("SHOW CREATE TRIGGER `" + db + "`.`" + name + "`");
        ASSERT_FALSE(lines.empty()) << name;
        shown.push_back(WithoutDefiner(testing::SplitBatchLine(lines[0]).at(2)));
      }
      // The mariadb client drops "-- " comments from what it sends; the expected text loses them too.
      std::vector<std::string> want;
      for (const std::string& s : expected) want.push_back(WithoutLineComments(WithoutDefiner(s)));
      std::sort(shown.begin(), shown.end());
      std::sort(want.begin(), want.end());
      EXPECT_EQ(shown, want) << path;
    }
  }
  EXPECT_GT(viewCount, 0u);
  EXPECT_GT(triggerCount, 0u);
}

}  // namespace
}  // namespace wexholt

namespace wexholt {
namespace {

// Real definitions cut short at every length and with bytes overwritten: the reader stays inside
// the image (the sanitizer builds check every access) and never yields a column list that
// disagrees with the file's own column count.
TEST(FixtureDefinitions, DamagedDefinitionsAreReadSafely) {
  const std::string path = testing::FixtureDataDir() + "types_myisam/enums_sets.frm";
  std::vector<uint8_t> image;
  if (!ReadWholeDataFile(path, image)) GTEST_SKIP() << "no fixture " << path;
  char tmpl[] = "/tmp/wexholt-damaged-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string damaged = std::string(tmpl) + "/t.frm";
  DecoderSettings settings;
  TableReader reader(&settings);
  reader.ReadTableDefinition(path);
  const size_t columns = reader.tableDef.columns.size();
  ASSERT_GT(columns, 0u);
  auto readImage = [&](const std::vector<uint8_t>& bytes) {
    std::ofstream(damaged, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    reader.ResetAll();
    reader.ReadTableDefinition(damaged);
    return reader.tableDef.columns.size();
  };
  for (size_t length = 0; length < image.size(); length += 11) {
    const size_t got = readImage(std::vector<uint8_t>(image.begin(), image.begin() + static_cast<long>(length)));
    EXPECT_TRUE(got == 0 || got == columns) << "cut at " << length;
  }
  uint32_t seed = 12345;
  for (int round = 0; round < 200; ++round) {
    std::vector<uint8_t> bytes = image;
    for (int k = 0; k < 4; ++k) {
      seed = seed * 1103515245u + 12345u;
      const size_t at = (seed >> 8) % bytes.size();
      seed = seed * 1103515245u + 12345u;
      bytes[at] = static_cast<uint8_t>(seed >> 16);
    }
    readImage(bytes);
  }
  std::filesystem::remove_all(tmpl);
}

}  // namespace
}  // namespace wexholt
