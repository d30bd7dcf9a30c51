#include "support/Fixtures.h"

#include <fstream>

namespace wexholt::testing {

std::string FixtureDataDir() { return std::string(WEXHOLT_TEST_DATA) + "/fixture-datadir/"; }
std::string ExpectedDir() { return std::string(WEXHOLT_TEST_DATA) + "/expected/"; }
std::string SampleDataDir() { return std::string(WEXHOLT_SAMPLE_DATA) + "/"; }
std::string SampleExpectedDir() { return std::string(WEXHOLT_SOURCE_DIR) + "/examples/sample-expected/"; }

std::vector<std::string> SplitBatchLine(const std::string& line) {
  std::vector<std::string> cells(1);
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '\t') {
      cells.emplace_back();
    } else if (c == '\\' && i + 1 < line.size()) {
      char e = line[++i];
      switch (e) {
        case '0': cells.back() += '\0'; break;
        case 't': cells.back() += '\t'; break;
        case 'n': cells.back() += '\n'; break;
        case 'r': cells.back() += '\r'; break;
        case 'Z': cells.back() += '\x1a'; break;
        case 'b': cells.back() += '\b'; break;
        default: cells.back() += e; break;  // "\\" and anything else: the character itself
      }
    } else {
      cells.back() += c;
    }
  }
  return cells;
}

int ExpectedTsv::Column(const std::string& name) const {
  for (size_t i = 0; i < header.size(); ++i)
    if (header[i] == name) return static_cast<int>(i);
  return -1;
}

bool ReadExpectedTsv(const std::string& path, ExpectedTsv& out) {
  out = ExpectedTsv{};
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  bool first = true;
  while (std::getline(in, line)) {
    if (first) {
      out.header = SplitBatchLine(line);
      first = false;
    } else {
      out.rows.push_back(SplitBatchLine(line));
    }
  }
  return !first;
}

std::vector<FixtureTable> ListFixtureTables(const std::string& engine,
                                            const std::string& expectedDir) {
  std::vector<FixtureTable> tables;
  ExpectedTsv list;
  if (!ReadExpectedTsv(expectedDir + "tables.tsv", list)) return tables;
  int db = list.Column("db"), table = list.Column("table"), eng = list.Column("engine"),
      format = list.Column("row_format"), rows = list.Column("rows");
  for (const auto& row : list.rows) {
    auto cell = [&row](int i) { return i >= 0 && i < static_cast<int>(row.size()) ? row[i] : ""; };
    FixtureTable t{cell(db), cell(table), cell(eng), cell(format), 0};
    try {
      t.rows = std::stoll(cell(rows));
    } catch (...) {
      t.rows = 0;
    }
    if (engine.empty() || t.engine == engine) tables.push_back(t);
  }
  return tables;
}

std::string ExpectedRowsPath(const std::string& db, const std::string& table,
                             const std::string& expectedDir) {
  return expectedDir + db + "." + table + ".rows.tsv";
}

std::string ExpectedColumnsPath(const std::string& db, const std::string& table,
                                const std::string& expectedDir) {
  return expectedDir + db + "." + table + ".columns.tsv";
}

std::string ExpectedCreatePath(const std::string& db, const std::string& table,
                               const std::string& expectedDir) {
  return expectedDir + db + "." + table + ".create.sql";
}

std::string ExpectedChecksum(const std::string& db, const std::string& table,
                             const std::string& expectedDir) {
  ExpectedTsv sums;
  if (!ReadExpectedTsv(expectedDir + "checksums.tsv", sums)) return "";
  int d = sums.Column("db"), t = sums.Column("table"), c = sums.Column("checksum");
  if (d < 0 || t < 0 || c < 0) return "";
  for (const auto& row : sums.rows)
    if (static_cast<int>(row.size()) > c && row[d] == db && row[t] == table) return row[c];
  return "";
}

}  // namespace wexholt::testing
