// Saving into a live server: refused rows, existing tables, replacing, Stop, a refused connection;
// and CREATE TABLE rebuilt from .frm files that the server itself wrote, with every kind of column
// default, against the server's own SHOW CREATE TABLE.
#include <filesystem>
#include <gtest/gtest.h>

#include "definitions/Collations.h"
#include "definitions/TableReader.h"
#include "save/CreateTable.h"
#include "save/SaveRun.h"
#include "support/Fixtures.h"
#include "support/LiveServer.h"

namespace wexholt {
namespace {

namespace fs = std::filesystem;
using testing::LiveServer;

class Lines : public SaveProgress {
 public:
  void Line(const std::string& text) override { lines.push_back(text); }
  bool StopRequested() override { return stopAfterFirstBatch; }
  bool Has(const std::string& part) const {
    for (const auto& l : lines)
      if (l.find(part) != std::string::npos) return true;
    return false;
  }
  std::string All() const {
    std::string s;
    for (const auto& l : lines) s += l + "\n";
    return s;
  }
  std::vector<std::string> lines;
  bool stopAfterFirstBatch = false;
};

class ServerSave : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new LiveServer;
    if (!server_->Start()) {
      skip_ = server_->StartError();
      delete server_;
      server_ = nullptr;
      return;
    }
    collations_ = StartupCollations();
    // A table whose .frm has a UNIQUE key over rows that repeat it: the .frm of `uniq` with the
    // data files of `dup_rows`, which have the same columns and no key.
    testing::ClientResult made = server_->Exec(
        "CREATE DATABASE src; USE src;"
        "CREATE TABLE dup_rows (id INT NOT NULL, v VARCHAR(10)) ENGINE=MyISAM;"
        "CREATE TABLE uniq (id INT NOT NULL, v VARCHAR(10), UNIQUE KEY id (id)) ENGINE=MyISAM;"
        "INSERT INTO dup_rows VALUES (1,'a'),(2,'b'),(2,'c'),(3,'d'),(3,'e'),(4,'f');"
        "FLUSH TABLES;"
        // The same for InnoDB (the key nullable, so that neither table clusters on it), with the
        // pages flushed into the .ibd for the copy.
        "CREATE TABLE dup_rows_i (id INT NULL, v VARCHAR(10)) ENGINE=InnoDB;"
        "CREATE TABLE uniq_i (id INT NULL, v VARCHAR(10), UNIQUE KEY id (id)) ENGINE=InnoDB;"
        "INSERT INTO dup_rows_i SELECT * FROM dup_rows;");
    if (!made.Ok()) {
      skip_ = made.error;
      return;
    }
    dataDir_ = server_->Folder() + "copy/";
    fs::create_directories(dataDir_ + "dups");
    const std::string src = server_->DataDir() + "src/";
    fs::copy_file(src + "uniq.frm", dataDir_ + "dups/t.frm");
    fs::copy_file(src + "dup_rows.MYD", dataDir_ + "dups/t.MYD");
    fs::copy_file(src + "dup_rows.MYI", dataDir_ + "dups/t.MYI");
    fs::copy_file(src + "uniq_i.frm", dataDir_ + "dups/ti.frm");
    // FLUSH ... FOR EXPORT holds the table still with every page written until UNLOCK TABLES, in
    // one session: copy the .ibd from inside it.
    const std::string copy = "\\! cp '" + src + "dup_rows_i.ibd' '" + dataDir_ + "dups/ti.ibd'\n";
    made = server_->Exec("USE src; FLUSH TABLES dup_rows_i FOR EXPORT;\n" + copy + "UNLOCK TABLES;");
    if (!made.Ok() || !fs::exists(dataDir_ + "dups/ti.ibd")) skip_ = "the InnoDB copy failed: " + made.error;
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    if (!server_ || dataDir_.empty()) GTEST_SKIP() << skip_;
  }

  SaveSummary Restore(bool replace, Lines& lines, const std::string& password = "", const std::string& table = "t") {
    SaveOptions options;
    options.toServer = true;
    options.server = "127.0.0.1";
    options.port = std::to_string(server_->Port());
    options.user = "root";
    options.password = password;
    options.replaceExisting = replace;
    DecoderSettings settings;
    settings.collations = &collations_;
    return RunSave(dataDir_, {{dataDir_ + "dups", "dups", table}}, options, settings, lines);
  }

  static LiveServer* server_;
  static std::string skip_, dataDir_;
  static CollationTable collations_;
};
LiveServer* ServerSave::server_ = nullptr;
std::string ServerSave::skip_, ServerSave::dataDir_;
CollationTable ServerSave::collations_;

TEST_F(ServerSave, RefusedRowsAreReportedWithTheServerMessageAndTheRestSaved) {
  Lines lines;
  SaveSummary summary = Restore(false, lines);
  EXPECT_EQ(summary.rowsSaved, 4u) << lines.All();
  EXPECT_EQ(summary.tablesFailed, 1) << lines.All();
  EXPECT_TRUE(lines.Has("dups.t: row 3 refused by the server: ")) << lines.All();
  EXPECT_TRUE(lines.Has("Duplicate entry '2'")) << lines.All();
  EXPECT_TRUE(lines.Has("dups.t: row 5 refused by the server: ")) << lines.All();
  EXPECT_TRUE(lines.Has("dups.t: 4 rows saved, 2 refused by the server")) << lines.All();
  EXPECT_EQ(server_->Query("SELECT id, v FROM dups.t ORDER BY id"),
            (std::vector<std::string>{"1\ta", "2\tb", "3\td", "4\tf"}));

  // Saved again: the table is there, and it is left as it is.
  server_->Exec("INSERT INTO dups.t VALUES (99, 'mine')");
  Lines again;
  summary = Restore(false, again);
  EXPECT_EQ(summary.tablesFailed, 1);
  EXPECT_EQ(summary.rowsSaved, 0u);
  EXPECT_TRUE(again.Has("dups.t: the table exists in the server and was not touched")) << again.All();
  EXPECT_EQ(server_->Query("SELECT COUNT(*) FROM dups.t"), std::vector<std::string>{"5"});

  // With replace it is dropped and made again from the data files.
  Lines replaced;
  summary = Restore(true, replaced);
  EXPECT_EQ(summary.rowsSaved, 4u) << replaced.All();
  EXPECT_EQ(server_->Query("SELECT COUNT(*) FROM dups.t WHERE id = 99"), std::vector<std::string>{"0"});
  EXPECT_EQ(server_->Query("SELECT COUNT(*) FROM dups.t"), std::vector<std::string>{"4"});
}

// InnoDB rolls the refused statement back whole: every row of it is sent again on its own.
TEST_F(ServerSave, RefusedRowsOfATransactionalTableAreFoundOneByOne) {
  Lines lines;
  SaveSummary summary = Restore(false, lines, "", "ti");
  EXPECT_EQ(summary.rowsSaved, 4u) << lines.All();
  EXPECT_TRUE(lines.Has("dups.ti: row 3 refused by the server: ")) << lines.All();
  EXPECT_TRUE(lines.Has("dups.ti: row 5 refused by the server: ")) << lines.All();
  EXPECT_TRUE(lines.Has("dups.ti: 4 rows saved, 2 refused by the server")) << lines.All();
  EXPECT_EQ(server_->Query("SELECT id, v FROM dups.ti ORDER BY id"),
            (std::vector<std::string>{"1\ta", "2\tb", "3\td", "4\tf"}));
}

TEST_F(ServerSave, RefusedConnectionFailsEveryTable) {
  Lines lines;
  SaveSummary summary = Restore(false, lines, "wrong password");
  EXPECT_EQ(summary.tablesSaved, 0);
  EXPECT_EQ(summary.tablesFailed, 1);
  EXPECT_TRUE(lines.Has("The connection to the server failed: ")) << lines.All();
  EXPECT_TRUE(lines.Has("Access denied")) << lines.All();
  EXPECT_TRUE(lines.Has("dups.t: not saved, no connection")) << lines.All();
}

TEST_F(ServerSave, StopEndsTheRunAfterTheBatchInHand) {
  const std::string dataDir = testing::FixtureDataDir();
  if (!fs::exists(dataDir + "paging/myi_2500.frm")) GTEST_SKIP() << "no fixture table paging.myi_2500";
  SaveOptions options;
  options.folder = server_->Folder() + "stopped/";
  DecoderSettings settings;
  settings.collations = &collations_;
  Lines lines;
  lines.stopAfterFirstBatch = true;
  SaveSummary summary = RunSave(dataDir, {{dataDir + "paging", "paging", "myi_2500"}, {dataDir + "paging", "paging", "myi_3"}},
                                options, settings, lines);
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(summary.rowsSaved, 1000u);
  EXPECT_TRUE(lines.Has("paging.myi_2500: 1000 rows saved (stopped)")) << lines.All();
  EXPECT_FALSE(lines.Has("paging.myi_3")) << lines.All();
  // What was written loads: the table with the rows of the first batch.
  ASSERT_TRUE(server_->ExecFile(options.folder + "paging.sql").Ok());
  EXPECT_EQ(server_->Query("SELECT COUNT(*) FROM paging.myi_2500"), std::vector<std::string>{"1000"});
}

// Column defaults of every kind, generated columns, index prefixes, checks and comments, in both
// engines: the statement rebuilt from the .frm makes a table the server describes exactly as the
// original.
TEST_F(ServerSave, CreateTableFromTheFrmIsTheTableTheServerDescribes) {
  const std::string columns =
      "id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,"
      " ti TINYINT NOT NULL DEFAULT -5, tu TINYINT UNSIGNED DEFAULT 250, si SMALLINT DEFAULT -300,"
      " mi MEDIUMINT DEFAULT -70000, bi BIGINT DEFAULT -9000000000,"
      " bu BIGINT UNSIGNED DEFAULT 18446744073709551615, zf INT(5) ZEROFILL DEFAULT 42,"
      " f FLOAT DEFAULT 1.5, d DOUBLE DEFAULT -2.25, dc DECIMAL(8,3) DEFAULT -12.345,"
      " b3 BIT(3) DEFAULT b'101', b12 BIT(12) NOT NULL DEFAULT b'100000000001',"
      " e ENUM('x','y','it''s') DEFAULT 'it''s', s SET('a','b','c') DEFAULT 'a,c', y YEAR DEFAULT 2024,"
      " dt DATE DEFAULT '2020-02-29', tm TIME(2) DEFAULT '-12:34:56.78',"
      " dtm DATETIME(3) DEFAULT '2001-02-03 04:05:06.789',"
      " ts TIMESTAMP(6) NOT NULL DEFAULT CURRENT_TIMESTAMP(6) ON UPDATE CURRENT_TIMESTAMP(6),"
      " ts2 TIMESTAMP NULL DEFAULT '2010-10-10 10:10:10',"
      " ts3 TIMESTAMP NOT NULL DEFAULT '2011-11-11 11:11:11' ON UPDATE CURRENT_TIMESTAMP,"
      " dtx DATETIME DEFAULT CURRENT_TIMESTAMP,"
      " c CHAR(5) DEFAULT 'ab', c2 CHAR(4) CHARACTER SET latin1 DEFAULT '\xC3\xA9',"
      " v VARCHAR(300) DEFAULT 'it''s \\\\ \"q\"', vb VARBINARY(4) DEFAULT 0x00FF, bn BINARY(3) DEFAULT 'a',"
      " tx TEXT DEFAULT 'text default', ex INT DEFAULT (1+2), u VARCHAR(36) DEFAULT uuid(),"
      " nn INT NOT NULL COMMENT 'no default', gen INT AS (ti * 2) VIRTUAL, gs INT AS (ti + 1) STORED,"
      " KEY kv (v(20), c), UNIQUE KEY uc (c2), CHECK (ti < 100)";
  testing::ClientResult made = server_->Exec(
      "CREATE DATABASE defs; USE defs;"
      "CREATE TABLE d_myisam (" + columns + ", FULLTEXT KEY ft (tx)) ENGINE=MyISAM COMMENT='tbl ''comment''';"
      "CREATE TABLE d_innodb (" + columns + ") ENGINE=InnoDB ROW_FORMAT=COMPACT;"
      "CREATE DATABASE rebuilt;");
  ASSERT_TRUE(made.Ok()) << made.error;
  DecoderSettings settings;
  settings.collations = &collations_;
  for (const std::string table : {"d_myisam", "d_innodb"}) {
    TableReader reader(&settings);
    reader.ReadTableDefinition(server_->DataDir() + "defs/" + table + ".frm");
    ASSERT_FALSE(reader.tableDef.columns.empty()) << table;
    const std::string statement = CreateTableStatement(reader.tableDef, table, settings);
    testing::ClientResult created = server_->Exec(statement, "rebuilt");
    ASSERT_TRUE(created.Ok()) << created.error << "\n" << statement;
    EXPECT_EQ(server_->Query("SHOW CREATE TABLE rebuilt." + table), server_->Query("SHOW CREATE TABLE defs." + table))
        << statement;
  }
}

}  // namespace
}  // namespace wexholt
