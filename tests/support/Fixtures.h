// Fixtures: where the server-made test data lives and how to read what the server recorded.
//
// tests/fixtures/make-fixtures.sh builds the data with a real MariaDB server:
//   tests/data/fixture-datadir/      ibdata1 and one folder per fixture database
//   tests/data/expected/             what the server reported (see tests/data/expected/README)
//   examples/sample-datadir/         the sample database `shop`, its facts in examples/sample-expected/
//
// Expected files are `mariadb --batch` output: lines of tab-separated cells, a heading line first,
// with the batch escapes \0 \\ \t \n in the cells (and NULL for a NULL value).
#pragma once

#include <string>
#include <vector>

namespace wexholt::testing {

// Folders, each ending with '/'.
std::string FixtureDataDir();      // tests/data/fixture-datadir/
std::string ExpectedDir();         // tests/data/expected/
std::string SampleDataDir();       // examples/sample-datadir/
std::string SampleExpectedDir();   // examples/sample-expected/

// Splits one batch line on tabs and undoes the escapes \0 \\ \t \n (and \r, \Z as the client
// writes them) in every cell.
std::vector<std::string> SplitBatchLine(const std::string& line);

// One expected TSV file: the heading cells and the rows of cells.
struct ExpectedTsv {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
  // Index of a heading, -1 when absent.
  int Column(const std::string& name) const;
};

// Reads an expected TSV file; false when it cannot be read.
bool ReadExpectedTsv(const std::string& path, ExpectedTsv& out);

// One table of the fixtures, as tables.tsv lists it.
struct FixtureTable {
  std::string db;
  std::string table;
  std::string engine;     // "InnoDB", "MyISAM"
  std::string rowFormat;  // the server's ROW_FORMAT ("Fixed", "Dynamic", "Compressed", ...)
  long long rows = 0;     // SELECT COUNT(*) at fixture time
};

// Tables listed in expectedDir + "tables.tsv" (empty when the file is missing); engine "" = all.
std::vector<FixtureTable> ListFixtureTables(const std::string& engine = "",
                                            const std::string& expectedDir = ExpectedDir());

// Paths of the recorded facts of one table.
std::string ExpectedRowsPath(const std::string& db, const std::string& table,
                             const std::string& expectedDir = ExpectedDir());
std::string ExpectedColumnsPath(const std::string& db, const std::string& table,
                                const std::string& expectedDir = ExpectedDir());
std::string ExpectedCreatePath(const std::string& db, const std::string& table,
                               const std::string& expectedDir = ExpectedDir());

// CHECKSUM TABLE results from checksums.tsv: "db.table" -> checksum text ("" when unknown).
std::string ExpectedChecksum(const std::string& db, const std::string& table,
                             const std::string& expectedDir = ExpectedDir());

}  // namespace wexholt::testing
