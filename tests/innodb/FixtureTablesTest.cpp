// Every InnoDB table of the fixture data directory, read page by page as Next Records does, with
// ibdata1's dictionary and again from the .frm and .ibd alone, compared cell by cell with what the
// server returned for the same table.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "decoding/FieldText.h"
#include "decoding/Text.h"
#include "definitions/Collations.h"
#include "definitions/TableReader.h"
#include "support/Fixtures.h"

namespace wexholt {
namespace {

using testing::ExpectedTsv;
using testing::FixtureTable;

enum class Mode { kBrowse, kInlineSave, kFolderSave };

bool IsBinaryColumn(const ColumnDef& c) {
  if (c.typeCode == TypeCode::kGeometry) return true;
  bool stringType = c.typeCode == TypeCode::kVarchar || c.typeCode == TypeCode::kVarString ||
                    c.typeCode == TypeCode::kString ||
                    (c.typeCode >= TypeCode::kTinyBlob && c.typeCode <= TypeCode::kBlob);
  return stringType && c.charsetId == kBinaryCollation;
}

bool IsBlobColumn(const ColumnDef& c) {
  return c.typeCode >= TypeCode::kTinyBlob && c.typeCode <= TypeCode::kBlob;
}

std::string Hex(std::string_view bytes) {
  static const char* kDigits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

std::string Unhex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The server's text of a stored value as this program shows it: FLOAT and DOUBLE with "%f",
// binary values as "0x" + hex, stored CHAR padding kept (the server strips it).
bool CellMatches(const ColumnDef& column, const Cell& cell, const std::string& expected, Mode mode,
                 const CollationTable& collations, std::string& why) {
  if (expected == "NULL" && cell.kind == CellKind::kNull) return true;
  std::string got = cell.text;
  if (cell.kind == CellKind::kExternal) {
    std::string content = ReadFile(cell.text);
    if (IsBinaryColumn(column)) return Hex(content) == expected || (why = "file " + cell.text, false);
    if (CharsetOf(collations, column.charsetId) == "latin1") content = Cp1252ToUtf8(content);
    return content == expected || (why = "file " + cell.text, false);
  }
  if (mode == Mode::kBrowse) {
    if (cell.kind == CellKind::kMarker) {
      if (got == kLargeSizeBlobMarker || got == kLargeBlobMarker) return IsBlobColumn(column);
      if (got == kBinaryMarker) return IsBinaryColumn(column) && expected.size() >= 200;
      if (got == kSpatialMarker) return column.typeCode == TypeCode::kGeometry;
    }
  }
  if (column.typeCode == TypeCode::kGeometry) {
    // Save mode: zero bytes written as "\0", the rest as Windows-1252.
    std::string bytes = Unhex(expected), escaped;
    for (char b : bytes) escaped += b == 0 ? std::string("\\0") : Cp1252ToUtf8(std::string(1, b));
    return got == escaped;
  }
  if (IsBinaryColumn(column)) return got == (expected.empty() ? "" : "0x" + expected);
  if (column.typeCode == TypeCode::kFloat || column.typeCode == TypeCode::kDouble) {
    if (got == expected) return true;
    char buffer[512];
    if (mode != Mode::kBrowse) {
      // A save run writes every digit of the stored value; the server shows a FLOAT with six
      // significant digits and a DOUBLE with as many as it needs.
      char ours[512];
      const char* format = column.typeCode == TypeCode::kFloat ? "%.6g" : "%.17g";
      std::snprintf(buffer, sizeof buffer, format, std::strtod(expected.c_str(), nullptr));
      std::snprintf(ours, sizeof ours, format, std::strtod(got.c_str(), nullptr));
      return std::string(ours) == buffer;
    }
    if (column.typeCode == TypeCode::kFloat) {
      // The server shows a FLOAT with six significant digits (123456.789 as 123457).
      char ours[512];
      std::snprintf(buffer, sizeof buffer, "%.6g", std::strtod(expected.c_str(), nullptr));
      std::snprintf(ours, sizeof ours, "%.6g", std::strtod(got.c_str(), nullptr));
      if (got.find('.') == std::string::npos || got.size() - got.find('.') != 7) return false;
      if (std::string(ours) == buffer) return true;
      std::snprintf(buffer, sizeof buffer, "%f", static_cast<double>(std::strtof(expected.c_str(), nullptr)));
      return got == buffer;
    } else
      std::snprintf(buffer, sizeof buffer, "%f", std::strtod(expected.c_str(), nullptr));
    return got == buffer;
  }
  if (column.typeCode == TypeCode::kString) {
    while (!got.empty() && got.back() == ' ') got.pop_back();
  }
  return got == expected;
}

// Reads every row of db.table the way table selection and Next Records do; false when the table
// could not be opened.
bool ReadAllRows(TableReader& reader, const FixtureTable& t, bool withDictionary, RowPage& rows,
                 std::string& why) {
  std::string base = testing::FixtureDataDir() + t.db + "/" + t.table;
  reader.ResetTable();
  reader.ReadTableDefinition(base + ".frm");
  if (reader.tableDef.columns.empty()) return (why = "no columns in " + base + ".frm", false);
  if (!reader.OpenIbd(base + ".ibd")) return (why = "cannot open " + base + ".ibd", false);
  uint64_t root = 3;
  if (withDictionary) {
    uint64_t id = reader.FindTableId(t.db + "\\" + t.table);
    if (id == 0) return (why = "table not in the dictionary", false);
    reader.LoadLayoutFromDictionary(id);
    root = reader.FindClusteredIndexRoot(id);
  } else {
    reader.LoadLayoutFromDefinition();
  }
  uint64_t leaf = reader.DescendToLeaf(Tablespace::kIbd, root);
  if (leaf == 0) return (why = "no leaf page", false);
  reader.resumePositions.push_back({leaf, 0});
  reader.readingIbd = true;
  reader.ReadLeafRows(Tablespace::kIbd, leaf, 0);
  for (size_t pages = 0; pages < 100000; ++pages) {
    rows.insert(rows.end(), reader.rowPage.begin(), reader.rowPage.end());
    if (!reader.pageFull) break;
    ResumePosition next = reader.resumePositions.back();
    reader.rowPage.clear();
    reader.resumeFromPosition = true;
    reader.ReadLeafRows(Tablespace::kIbd, next.page, next.offset);
  }
  reader.readingIbd = false;
  return true;
}

class FixtureTables : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
    tables_ = testing::ListFixtureTables("InnoDB");
    if (tables_.empty()) GTEST_SKIP() << "no fixture tables in " << testing::ExpectedDir();
    collations_ = BuiltInCollations();
    settings_.collations = &collations_;
  }

  // Reads every table and counts the cells that differ from the server's.
  void CompareAll(bool withDictionary, Mode mode) {
    TableReader reader(&settings_);
    if (withDictionary) {
      ASSERT_TRUE(reader.LoadSystemTablespace(testing::FixtureDataDir() + "ibdata1"));
    }
    size_t differences = 0, cells = 0;
    for (const FixtureTable& t : tables_) {
      SCOPED_TRACE(t.db + "." + t.table);
      ExpectedTsv expected;
      ASSERT_TRUE(testing::ReadExpectedTsv(testing::ExpectedRowsPath(t.db, t.table), expected));
      RowPage rows;
      std::string why;
      bool read = ReadAllRows(reader, t, withDictionary, rows, why);
      EXPECT_TRUE(read) << why;
      if (!read) continue;
      EXPECT_EQ(rows.size(), expected.rows.size());
      const auto& columns = reader.tableDef.columns;
      for (size_t r = 0; r < rows.size() && r < expected.rows.size(); ++r) {
        for (size_t c = 0; c < columns.size(); ++c) {
          ++cells;
          const std::string& want = c < expected.rows[r].size() ? expected.rows[r][c] : "";
          const Cell& got = rows[r][c];
          std::string why;
          if (!CellMatches(columns[c], got, want, mode, collations_, why)) {
            if (++differences <= 40)
              ADD_FAILURE() << "row " << r << " column " << columns[c].name << ": got [" << got.text.substr(0, 200)
                            << "] expected [" << want.substr(0, 200) << "] " << why;
          }
        }
      }
      EXPECT_EQ(reader.damagedPagesSkipped, 0u);
    }
    EXPECT_EQ(differences, 0u) << "of " << cells << " cells";
  }

  std::vector<FixtureTable> tables_;
  CollationTable collations_;
  DecoderSettings settings_;
};

TEST_F(FixtureTables, WithDictionaryEveryCellAsTheServer) { CompareAll(true, Mode::kBrowse); }

TEST_F(FixtureTables, WithoutDictionaryEveryCellAsTheServer) { CompareAll(false, Mode::kBrowse); }

TEST_F(FixtureTables, SaveModeInlinesFullValues) {
  settings_.saveToServer = true;
  settings_.inlineExternalValues = true;
  CompareAll(true, Mode::kInlineSave);
  CompareAll(false, Mode::kInlineSave);
}

TEST_F(FixtureTables, SaveModeCopiesExternalValuesIntoBlobdataFiles) {
  std::string folder = (std::filesystem::temp_directory_path() / ("inno-save-" + std::to_string(getpid()))).string() + "/";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);  // blobdata/ itself is created by the reader
  settings_.saveToFolder = true;
  settings_.saveFolder = folder;
  settings_.blobFileCounter = 0;
  CompareAll(false, Mode::kFolderSave);
  EXPECT_TRUE(std::filesystem::is_directory(folder + "blobdata"));
  EXPECT_GT(settings_.blobFileCounter, 0u) << "the fixtures hold values stored off-page";
  EXPECT_TRUE(std::filesystem::exists(folder + "blobdata/0"));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace wexholt
