// Every MyISAM table of the fixture data directory, read page by page from its files, against the
// rows the server returned for it when the fixtures were made.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include "decoding/FieldText.h"
#include "definitions/Collations.h"
#include "definitions/TableReader.h"
#include "support/Fixtures.h"

namespace wexholt {
namespace {

using testing::ExpectedTsv;

bool IsBinaryType(const std::string& t) {
  return t == "binary" || t == "varbinary" || t == "tinyblob" || t == "blob" || t == "mediumblob" ||
         t == "longblob";
}
bool IsSpatialType(const std::string& t) {
  return t == "geometry" || t == "point" || t == "linestring" || t == "polygon" || t == "multipoint" ||
         t == "multilinestring" || t == "multipolygon" || t == "geometrycollection";
}
bool IsTextBlobType(const std::string& t) {
  return t == "tinytext" || t == "text" || t == "mediumtext" || t == "longtext";
}

std::string Printf(const char* format, double value) {
  char buf[512];
  std::snprintf(buf, sizeof buf, format, value);
  return buf;
}

// Why the cell differs from the server's value, or "" when it matches under the display rules.
std::string Difference(const std::string& type, const std::string& expected, const Cell& got) {
  if (got.kind == CellKind::kNull) return expected == "NULL" ? "" : "NULL shown";
  if (expected == "NULL") return "NULL expected";
  const std::string& g = got.text;
  if (IsSpatialType(type)) return g == kSpatialMarker ? "" : "spatial marker expected";
  if (IsBinaryType(type)) {
    const size_t bytes = expected.size() / 2;
    if (got.kind == CellKind::kMarker) {
      if (g == kBinaryMarker && bytes >= 100) return "";
      if (g == kLargeBlobMarker && bytes >= 1000) return "";
      return "marker for a short value";
    }
    if (expected.empty()) return g.empty() ? "" : "value for an empty one";
    return g == "0x" + expected && got.kind == CellKind::kBinary ? "" : "hex differs";
  }
  if (IsTextBlobType(type) && got.kind == CellKind::kMarker)
    return g == kLargeBlobMarker && expected.size() >= 1000 ? "" : "marker for a short text";
  if (type == "float") {
    // The server writes a FLOAT with 6 significant digits; the cell has the stored value in full.
    if (g == Printf("%f", static_cast<double>(std::strtof(expected.c_str(), nullptr)))) return "";
    const double server = std::strtod(expected.c_str(), nullptr), shown = std::strtod(g.c_str(), nullptr);
    const double scale = server < 0 ? -server : server;
    return (shown - server <= scale * 5e-6 && server - shown <= scale * 5e-6) ? "" : "float";
  }
  if (type == "double") return g == Printf("%f", std::strtod(expected.c_str(), nullptr)) ? "" : "double";
  if (type == "char") {
    std::string trimmed = g;
    while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
    return trimmed == expected ? "" : "char differs";
  }
  return g == expected ? "" : "differs";
}

class MyisamFixtureRows : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
  }
};

TEST_F(MyisamFixtureRows, EveryCellIsTheServersValue) {
  const auto tables = testing::ListFixtureTables("MyISAM");
  ASSERT_FALSE(tables.empty()) << "no fixture tables listed";
  size_t differences = 0, cellsCompared = 0;
  std::ostringstream report;
  for (const auto& t : tables) {
    SCOPED_TRACE(t.db + "." + t.table);
    ExpectedTsv rows, columns;
    ASSERT_TRUE(testing::ReadExpectedTsv(testing::ExpectedRowsPath(t.db, t.table), rows));
    ASSERT_TRUE(testing::ReadExpectedTsv(testing::ExpectedColumnsPath(t.db, t.table), columns));
    const int typeColumn = columns.Column("DATA_TYPE");
    ASSERT_GE(typeColumn, 0);

    DecoderSettings settings;
    settings.collations = &BuiltInCollations();
    TableReader reader(&settings);
    const std::string base = testing::FixtureDataDir() + t.db + "/" + t.table;
    reader.ReadTableDefinition(base + ".frm");
    ASSERT_EQ(reader.tableDef.columns.size(), columns.rows.size());
    ASSERT_TRUE(reader.ReadMyisamHeader(base + ".MYI"));
    ASSERT_TRUE(reader.OpenMyisamData(base + ".MYD"));

    // Page after page, as Next does.
    std::vector<Row> all;
    reader.resumePositions.push_back({0, 0});
    reader.ReadMyisamPage(0);
    for (int pages = 0; pages < 100; ++pages) {
      for (auto& r : reader.rowPage) all.push_back(std::move(r));
      reader.rowPage.clear();
      if (!reader.pageFull) break;
      EXPECT_EQ(all.size() % kRowsPerPage, 0u);
      reader.ReadMyisamPage(reader.resumePositions.back().offset);
    }

    if (t.rowFormat == "Compressed") {
      EXPECT_TRUE(all.empty()) << "compressed tables give no rows";
      continue;
    }
    EXPECT_EQ(all.size(), rows.rows.size());
    for (size_t r = 0; r < all.size() && r < rows.rows.size(); ++r) {
      for (size_t c = 0; c < columns.rows.size() && c < all[r].size(); ++c) {
        const std::string& type = columns.rows[c][static_cast<size_t>(typeColumn)];
        const std::string why = Difference(type, rows.rows[r][c], all[r][c]);
        ++cellsCompared;
        if (why.empty()) continue;
        if (++differences <= 60)
          report << t.db << "." << t.table << " row " << r + 1 << " " << rows.header[c] << " (" << type
                 << "): " << why << ": expected [" << rows.rows[r][c].substr(0, 80) << "] got ["
                 << all[r][c].text.substr(0, 80) << "]\n";
      }
    }
  }
  EXPECT_EQ(differences, 0u) << report.str();
  EXPECT_GT(cellsCompared, 10000u);
}

// Fixture data files with bytes overwritten here and there: every read ends, within bounds, with
// at most the rows that are there.
TEST_F(MyisamFixtureRows, DamagedDataFilesAreReadToAnEnd) {
  const auto tables = testing::ListFixtureTables("MyISAM");
  uint32_t seed = 12345;
  auto random = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  for (const auto& t : tables) {
    if (t.rowFormat == "Compressed") continue;
    SCOPED_TRACE(t.db + "." + t.table);
    const std::string base = testing::FixtureDataDir() + t.db + "/" + t.table;
    std::vector<uint8_t> original;
    ASSERT_TRUE(ReadWholeDataFile(base + ".MYD", original));
    if (original.empty()) continue;
    for (int variant = 0; variant < 20; ++variant) {
      std::vector<uint8_t> damaged = original;
      for (int k = 0; k < 8; ++k) damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
      const std::string path = ::testing::TempDir() + "wexholt-damaged.MYD";
      {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(damaged.data(), 1, damaged.size(), f);
        std::fclose(f);
      }
      DecoderSettings settings;
      settings.collations = &BuiltInCollations();
      TableReader reader(&settings);
      reader.ReadTableDefinition(base + ".frm");
      reader.ReadMyisamHeader(base + ".MYI");
      ASSERT_TRUE(reader.OpenMyisamData(path));
      size_t rows = 0;
      reader.ReadMyisamPage(0);
      for (int pages = 0; pages < 1000 && reader.pageFull; ++pages) {
        rows += reader.rowPage.size();
        reader.rowPage.clear();
        reader.ReadMyisamPage(reader.resumePositions.back().offset);
      }
      rows += reader.rowPage.size();
      EXPECT_FALSE(reader.pageFull);
      EXPECT_LE(rows, damaged.size());
    }
  }
}

}  // namespace
}  // namespace wexholt
