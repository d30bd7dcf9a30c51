// Tables altered in place (instant ADD, DROP and reordering of columns), tables in the COMPACT and
// REDUNDANT row formats and a table kept in the system tablespace, made by a throwaway server,
// read from its files after a clean shutdown and compared with what the server returned.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "decoding/DataFile.h"
#include "definitions/Collations.h"
#include "definitions/TableReader.h"
#include "support/Fixtures.h"
#include "support/LiveServer.h"

namespace wexholt {
namespace {

const char* kTables[] = {"drop_mid", "drop_many_pages", "drop_no_key", "add_many_pages", "reorder", "in_ibdata1",
                         "redundant_rows", "compact_rows", "with_virtual"};

const char* kSql = R"sql(
CREATE DATABASE inst;
USE inst;
CREATE TABLE drop_mid (id INT PRIMARY KEY, a VARCHAR(10), b INT NOT NULL, c CHAR(3), d VARCHAR(300)) ENGINE=InnoDB;
INSERT INTO drop_mid VALUES (1,'a1',10,'c1','d1'),(2,'a2',20,'c2',NULL);
ALTER TABLE drop_mid DROP COLUMN b, ALGORITHM=INSTANT;
INSERT INTO drop_mid VALUES (3,'a3','c3',REPEAT('d',300));
ALTER TABLE drop_mid ADD COLUMN e INT DEFAULT 5 FIRST, ALGORITHM=INSTANT;
INSERT INTO drop_mid VALUES (77,4,'a4','c4','d4');
ALTER TABLE drop_mid DROP COLUMN a, ALGORITHM=INSTANT;
INSERT INTO drop_mid VALUES (88,5,'c5','d5');
UPDATE drop_mid SET d = 'changed' WHERE id = 1;

CREATE TABLE drop_many_pages (id INT PRIMARY KEY, a VARCHAR(10), b VARCHAR(10), pad VARCHAR(200)) ENGINE=InnoDB;
INSERT INTO drop_many_pages SELECT seq, CONCAT('a',seq), CONCAT('b',seq), REPEAT('p',150 + seq % 50) FROM seq_1_to_3000;
ALTER TABLE drop_many_pages DROP COLUMN a, ALGORITHM=INSTANT;
ALTER TABLE drop_many_pages ADD COLUMN z INT DEFAULT 9 AFTER id, ALGORITHM=INSTANT;
INSERT INTO drop_many_pages (id, z, b, pad) VALUES (5000, 1, 'bb', 'pp');

CREATE TABLE drop_no_key (a INT, b TINYINT NOT NULL, c VARCHAR(20)) ENGINE=InnoDB;
INSERT INTO drop_no_key VALUES (1, 1, 'one'), (2, 2, 'two');
ALTER TABLE drop_no_key DROP COLUMN b, ALGORITHM=INSTANT;
INSERT INTO drop_no_key VALUES (3, 'three');

CREATE TABLE add_many_pages (id INT PRIMARY KEY, pad VARCHAR(200)) ENGINE=InnoDB;
INSERT INTO add_many_pages SELECT seq, REPEAT('q', 100 + seq % 90) FROM seq_1_to_3000;
ALTER TABLE add_many_pages ADD COLUMN n INT NOT NULL DEFAULT 7, ADD COLUMN t TEXT NULL, ALGORITHM=INSTANT;
INSERT INTO add_many_pages VALUES (4000, 'x', 8, 'tee');

CREATE TABLE reorder (id INT PRIMARY KEY, a INT, b VARCHAR(5)) ENGINE=InnoDB;
INSERT INTO reorder VALUES (1, 10, 'x'), (2, 20, NULL);
ALTER TABLE reorder MODIFY b VARCHAR(5) AFTER id, ALGORITHM=INSTANT;
INSERT INTO reorder VALUES (3, 'y', 30);

SET GLOBAL innodb_file_per_table = 0;
CREATE TABLE in_ibdata1 (id INT PRIMARY KEY, t TEXT, v VARCHAR(10)) ENGINE=InnoDB;
INSERT INTO in_ibdata1 SELECT seq, REPEAT(CHAR(64 + seq % 26), 9000 + seq), CONCAT('v', seq) FROM seq_1_to_1500;
SET GLOBAL innodb_file_per_table = 1;

CREATE TABLE redundant_rows (k VARCHAR(40) NOT NULL PRIMARY KEY, n INT NULL, c CHAR(5) CHARACTER SET utf8mb4,
  t TEXT, b BIGINT UNSIGNED NOT NULL) ENGINE=InnoDB ROW_FORMAT=REDUNDANT;
INSERT INTO redundant_rows SELECT CONCAT('key-', LPAD(seq, 5, '0'), REPEAT('k', seq % 20)), IF(seq % 3 = 0, NULL, CAST(seq AS SIGNED) - 1500),
  IF(seq % 4 = 0, NULL, 'hé'), IF(seq % 500 = 0, REPEAT('T', 12000), CONCAT('t', seq)), seq * 1000003 FROM seq_1_to_3000;
ALTER TABLE redundant_rows ADD COLUMN z INT DEFAULT 3, ALGORITHM=INSTANT;
INSERT INTO redundant_rows VALUES ('key-zzz', 1, 'c', 'late', 1, 4);
DELETE FROM redundant_rows WHERE k LIKE 'key-001%';

CREATE TABLE compact_rows (id INT PRIMARY KEY, t TEXT, v VARCHAR(10)) ENGINE=InnoDB ROW_FORMAT=COMPACT;
INSERT INTO compact_rows SELECT seq, IF(seq % 7 = 0, REPEAT('c', 10000 + seq), 'small'), IF(seq % 2, NULL, 'v')
  FROM seq_1_to_200;

CREATE TABLE with_virtual (id INT PRIMARY KEY, a INT, v INT AS (a * 2) VIRTUAL, s INT AS (a + 1) STORED,
  b VARCHAR(5), INDEX (v)) ENGINE=InnoDB;
INSERT INTO with_virtual (id, a, b) VALUES (1, 10, 'x'), (2, NULL, 'y'), (3, 30, NULL);
)sql";

bool ReadTable(TableReader& reader, const std::string& dataDir, const std::string& table, bool withDictionary,
               RowPage& rows) {
  std::string base = dataDir + "inst/" + table;
  reader.ResetTable();
  reader.ReadTableDefinition(base + ".frm");
  if (reader.tableDef.columns.empty()) return false;
  bool ibd = reader.OpenIbd(base + ".ibd");
  if (!ibd && !withDictionary) return false;
  Tablespace ts = ibd ? Tablespace::kIbd : Tablespace::kSystem;
  uint64_t root = 3;
  if (withDictionary) {
    uint64_t id = reader.FindTableId("inst\\" + table);
    if (id == 0) return false;
    reader.LoadLayoutFromDictionary(id);
    root = reader.FindClusteredIndexRoot(id);
  } else {
    reader.LoadLayoutFromDefinition();
  }
  uint64_t leaf = reader.DescendToLeaf(ts, root);
  if (leaf == 0) return false;
  reader.readingIbd = ibd;
  reader.ReadLeafRows(ts, leaf, 0);
  while (true) {
    rows.insert(rows.end(), reader.rowPage.begin(), reader.rowPage.end());
    if (!reader.pageFull) break;
    ResumePosition next = reader.resumePositions.back();
    reader.rowPage.clear();
    reader.resumeFromPosition = true;
    reader.ReadLeafRows(ts, next.page, next.offset);
  }
  reader.readingIbd = false;
  return true;
}

TEST(ServerMadeTables, RowsAsTheServer) {
  testing::LiveServer server;
  if (!server.Start()) GTEST_SKIP() << server.StartError();
  testing::ClientResult made = server.Exec(kSql);
  ASSERT_TRUE(made.Ok()) << made.error;
  std::map<std::string, std::vector<std::vector<std::string>>> expected;
  for (const char* table : kTables) {
    for (const std::string& line : server.Query(std::string("SELECT * FROM inst.") + table)) {
      expected[table].push_back(testing::SplitBatchLine(line));
    }
  }
  server.Exec("SET GLOBAL innodb_fast_shutdown = 0; SHUTDOWN;");
  std::string dataDir = server.Folder() + "data/";
  bool stopped = false;
  for (int i = 0; i < 600 && !stopped; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    DataFile probe;
    stopped = !std::filesystem::exists(server.Folder() + "mysqld.pid") && probe.Open(dataDir + "ibdata1");
  }
  ASSERT_TRUE(stopped) << "the server did not shut down";

  CollationTable collations = BuiltInCollations();
  DecoderSettings settings;
  settings.collations = &collations;
  settings.saveToServer = true;  // off-page values in full
  settings.inlineExternalValues = true;
  for (bool withDictionary : {true, false}) {
    TableReader reader(&settings);
    if (withDictionary) {
      ASSERT_TRUE(reader.LoadSystemTablespace(dataDir + "ibdata1"));
    }
    for (const char* table : kTables) {
      if (!withDictionary && std::string(table) == "in_ibdata1") continue;  // no .ibd of its own
      SCOPED_TRACE(std::string(table) + (withDictionary ? " with ibdata1" : " without ibdata1"));
      RowPage rows;
      ASSERT_TRUE(ReadTable(reader, dataDir, table, withDictionary, rows));
      const auto& want = expected[table];
      ASSERT_EQ(rows.size(), want.size());
      size_t differences = 0;
      for (size_t r = 0; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].size(), want[r].size());
        for (size_t c = 0; c < rows[r].size(); ++c) {
          const ColumnDef& column = reader.tableDef.columns[c];
          if (!column.generationExpression.empty() && !column.generatedStored) {
            EXPECT_EQ(rows[r][c].text, "") << "a VIRTUAL column has no stored value";
            continue;
          }
          std::string got = rows[r][c].text;
          if (reader.tableDef.columns[c].typeCode == TypeCode::kString) {
            while (!got.empty() && got.back() == ' ') got.pop_back();
          }
          if (got != want[r][c] && ++differences <= 10) {
            ADD_FAILURE() << "row " << r << " column " << reader.tableDef.columns[c].name << ": got [" << got
                          << "] expected [" << want[r][c] << "]";
          }
        }
      }
      EXPECT_EQ(reader.damagedPagesSkipped, 0u);
    }
  }
}

}  // namespace
}  // namespace wexholt
