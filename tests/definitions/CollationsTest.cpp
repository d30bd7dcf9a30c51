// The collation table: the generated built-in rows and the collation file read over them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "definitions/Collations.h"
#include "support/Fixtures.h"

namespace wexholt {
namespace {

// One record of a collation file: four numbers, then the two texts with their lengths.
std::string Record(int32_t number, int32_t minBytes, int32_t maxBytes, const std::string& charset,
                   const std::string& collation) {
  std::string bytes;
  auto put = [&bytes](uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  put(static_cast<uint32_t>(number));
  put(static_cast<uint32_t>(minBytes));
  put(static_cast<uint32_t>(maxBytes));
  put(static_cast<uint32_t>(charset.size()));
  bytes += charset;
  put(static_cast<uint32_t>(collation.size()));
  bytes += collation;
  return bytes;
}

class CollationFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/wexholt-collations-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = std::string(pattern) + "/";
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string Write(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_ + name, std::ios::binary) << bytes;
    return folder_ + name;
  }
  std::string folder_;
};

TEST(BuiltInCollations, KnownEntries) {
  struct Case {
    int32_t number, minBytes, maxBytes;
    const char* charset;
    const char* collation;
  };
  const Case cases[] = {
      {8, 1, 1, "latin1", "latin1_swedish_ci"},    {33, 1, 3, "utf8mb3", "utf8mb3_general_ci"},
      {45, 1, 4, "utf8mb4", "utf8mb4_general_ci"}, {46, 1, 4, "utf8mb4", "utf8mb4_bin"},
      {63, 1, 1, "binary", "binary"},              {35, 2, 2, "ucs2", "ucs2_general_ci"},
      {54, 2, 4, "utf16", "utf16_general_ci"},     {56, 2, 4, "utf16le", "utf16le_general_ci"},
      {60, 4, 4, "utf32", "utf32_general_ci"},     {28, 1, 2, "gbk", "gbk_chinese_ci"},
      {224, 1, 4, "utf8mb4", "utf8mb4_unicode_ci"}, {248, 1, 4, "gb18030", "gb18030_chinese_ci"},
  };
  const CollationTable& table = BuiltInCollations();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    auto it = table.find(c.number);
    ASSERT_NE(it, table.end());
    EXPECT_EQ(it->second.minBytes, c.minBytes);
    EXPECT_EQ(it->second.maxBytes, c.maxBytes);
    EXPECT_EQ(it->second.charsetName, c.charset);
    EXPECT_EQ(it->second.collationName, c.collation);
  }
  EXPECT_EQ(CharsetOf(table, 46), "utf8mb4");
  EXPECT_EQ(CharsetOf(table, 0), "");
  EXPECT_EQ(CharsetOf(table, 99999), "");
}

// The generated rows are sorted without repeats (a repeat would hide one row) and sane.
TEST(BuiltInCollations, GeneratedRowsAreOrderedAndSane) {
  ASSERT_GT(kBuiltInCollationCount, 200u);
  for (size_t i = 0; i < kBuiltInCollationCount; ++i) {
    const BuiltInCollation& row = kBuiltInCollationRows[i];
    SCOPED_TRACE(row.number);
    if (i > 0) {
      EXPECT_LT(kBuiltInCollationRows[i - 1].number, row.number);
    }
    EXPECT_GE(row.minBytes, 1);
    EXPECT_LE(row.minBytes, row.maxBytes);
    EXPECT_LE(row.maxBytes, 4);
    EXPECT_NE(std::string(row.collationName).find(row.charsetName), std::string::npos);
  }
  EXPECT_EQ(BuiltInCollations().size(), kBuiltInCollationCount);
}

// Every collation that the fixture server used for a column is in the built-in table.
TEST(BuiltInCollations, CoverEveryFixtureColumnCollation) {
  std::set<std::string> names;
  for (const auto& entry : BuiltInCollations()) names.insert(entry.second.collationName);
  auto tables = testing::ListFixtureTables();
  if (tables.empty()) GTEST_SKIP() << "no fixture tables recorded";
  size_t seen = 0;
  for (const auto& t : tables) {
    testing::ExpectedTsv columns;
    ASSERT_TRUE(testing::ReadExpectedTsv(testing::ExpectedColumnsPath(t.db, t.table), columns));
    int at = columns.Column("COLLATION_NAME");
    ASSERT_GE(at, 0);
    for (const auto& row : columns.rows) {
      if (row[at] == "NULL") continue;
      ++seen;
      EXPECT_EQ(names.count(row[at]), 1u) << t.db << "." << t.table << ": " << row[at];
    }
  }
  EXPECT_GT(seen, 0u);
}

TEST_F(CollationFile, LaterRecordWinsAndTextsAreWindows1252) {
  std::string path = Write("c", Record(33, 1, 3, "utf8", "first") +
                                    Record(7, 1, 1, "caf\xE9", "\x80uro") +
                                    Record(33, 2, 5, "utf8x", "second"));
  CollationTable table = BuiltInCollations();
  ASSERT_TRUE(LoadCollationFile(path, table));
  EXPECT_EQ(table[33].minBytes, 2);
  EXPECT_EQ(table[33].maxBytes, 5);
  EXPECT_EQ(table[33].charsetName, "utf8x");
  EXPECT_EQ(table[33].collationName, "second");
  EXPECT_EQ(table[7].charsetName, "caf\xC3\xA9");
  EXPECT_EQ(table[7].collationName, "\xE2\x82\xACuro");
  // Entries the file does not name stay as they were.
  EXPECT_EQ(table[8].collationName, "latin1_swedish_ci");
}

TEST_F(CollationFile, RecordCutOffByTheEndIsDropped) {
  std::string whole = Record(500, 1, 1, "a", "b");
  std::string cut = Record(501, 1, 2, "charset", "collation");
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"inside the second text", whole + cut.substr(0, cut.size() - 1)},
      {"inside the first text", whole + cut.substr(0, 20)},
      {"inside the numbers", whole + cut.substr(0, 6)},
      {"first length past the end", whole + Record(501, 1, 1, "", "").substr(0, 12) + "\xFF\xFF\xFF\x7F" + "xx"},
      {"second length past the end", whole + Record(501, 1, 1, "ab", "").substr(0, 18) + "\xFF\xFF\xFF\xFF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CollationTable table;
    ASSERT_TRUE(LoadCollationFile(Write("c", c.bytes), table));
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[500].collationName, "b");
  }
}

TEST_F(CollationFile, MissingFileLeavesTableUnchanged) {
  CollationTable table = BuiltInCollations();
  EXPECT_FALSE(LoadCollationFile(folder_ + "collation (2)", table));
  EXPECT_EQ(table, BuiltInCollations());
  CollationTable empty;
  EXPECT_TRUE(LoadCollationFile(Write("empty", ""), empty));
  EXPECT_TRUE(empty.empty());
}

TEST_F(CollationFile, StartupReadsTheFileOfTheCurrentDirectory) {
  Write("collation (2)", Record(33, 1, 3, "utf8", "utf8_from_file"));
  std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder_);
  CollationTable table = StartupCollations();
  std::filesystem::current_path(before);
  EXPECT_EQ(table[33].collationName, "utf8_from_file");
  EXPECT_EQ(table.size(), BuiltInCollations().size());

  // Without the file the start-up table is the built-in one.
  std::filesystem::remove(folder_ + "collation (2)");
  std::filesystem::current_path(folder_);
  CollationTable plain = StartupCollations();
  std::filesystem::current_path(before);
  EXPECT_EQ(plain, BuiltInCollations());
}

}  // namespace
}  // namespace wexholt
