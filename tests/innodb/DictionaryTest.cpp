// The system tablespace dictionary: REDUNDANT records of SYS_TABLES, SYS_COLUMNS and SYS_INDEXES
// in hand-built pages, and the SYS_COLUMNS post-processing.
#include <gtest/gtest.h>

#include "definitions/TableReader.h"
#include "innodb/PageBuilder.h"

namespace wexholt {
namespace {

using namespace testing;

TEST(Dictionary, ColumnCollationDefaultsAndCharacterWidths) {
  CollationTable collations;
  collations[8] = {1, 1, "latin1", "latin1_swedish_ci"};
  collations[33] = {1, 3, "utf8mb3", "utf8mb3_general_ci"};
  collations[63] = {1, 1, "binary", "binary"};
  collations[300] = {1, 4, "utf8mb4", "a collation numbered above 255"};
  struct Case {
    const char* name;
    uint32_t mainType, preciseType;
    uint32_t wantPrecise, wantMin, wantMax, wantLengths;
  };
  std::vector<Case> cases{
      {"VARCHAR without collation gets latin1", 1, 15, 15 + (8u << 16), 1, 1, 6},
      {"binary BLOB gets binary", 5, 1024 | 252, (1024 | 252) + (63u << 16), 1, 1, 6},
      {"FIXBINARY gets binary", 3, 246, 246 + (63u << 16), 1, 1, 6},
      {"integer keeps its type, no widths", 6, 1283, 1283, 0, 0, 0},
      {"collation 33", 12, (33u << 16) | 15, (33u << 16) | 15, 1, 3, 16},
      {"collation above 255", 13, (300u << 16) | 254, (300u << 16) | 254, 1, 4, 21},
      {"unknown collation", 12, (99u << 16) | 15, (99u << 16) | 15, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SysColumnsRow row;
    row.mainType = c.mainType;
    row.preciseType = c.preciseType;
    ApplySysColumnDefaults(row, &collations);
    EXPECT_EQ(row.preciseType, c.wantPrecise);
    EXPECT_EQ(row.mbMinLen, c.wantMin);
    EXPECT_EQ(row.mbMaxLen, c.wantMax);
    EXPECT_EQ(row.charLengths, c.wantLengths);
  }
}

std::vector<Bytes> TableRecord(const std::string& name, uint64_t id) {
  return {Text(name), Be(0, 6), Be(0, 7), Be(id, 8), Be(0x80000002, 4), Be(33, 4), Be(0, 8), Be(0, 4), {}, Be(id, 4)};
}
std::vector<Bytes> ColumnRecord(uint64_t table, uint32_t pos, const std::string& name, uint32_t mtype, uint32_t prtype, uint32_t len) {
  return {Be(table, 8), Be(pos, 4), Be(0, 6), Be(0, 7), Text(name), Be(mtype, 4), Be(prtype, 4), Be(len, 4), Be(0, 4)};
}
std::vector<Bytes> IndexRecord(uint64_t table, uint64_t id, const std::string& name, uint32_t type, uint32_t root) {
  return {Be(table, 8), Be(id, 8), Be(0, 6), Be(0, 7), Text(name), Be(1, 4), Be(type, 4), Be(5, 4), Be(root, 4), Be(50, 4)};
}

TEST(Dictionary, ReadsTheThreeTablesThroughADescentAndAlongTheLeafChain) {
  // SYS_TABLES: root 8 at level 1 pointing at leaf 12, which continues on leaf 13.
  RedundantPage tablesRoot(8, kNullPage, 1);
  tablesRoot.Add({Text("a/x"), Be(12, 4)});
  RedundantPage tablesLeaf(12, 13);
  tablesLeaf.Add(TableRecord("shop/customers", 20));
  tablesLeaf.Add(TableRecord("shop/orders", 17), /*deleted=*/true);  // the table's dropped predecessor
  tablesLeaf.Add(TableRecord("shop/orders", 21));
  RedundantPage tablesLeaf2(13);
  tablesLeaf2.Add(TableRecord("shop/zebra", 22));
  // SYS_COLUMNS: root 10 is itself the leaf.
  RedundantPage columns(10);
  columns.Add(ColumnRecord(21, 0, "id", 6, 1283, 4));
  columns.Add(ColumnRecord(21, 1, "note", 1, 15, 30));
  // SYS_INDEXES: root 11.
  RedundantPage indexes(11);
  indexes.Add(IndexRecord(20, 40, "PRIMARY", 3, 3));
  indexes.Add(IndexRecord(21, 41, "PRIMARY", 3, 4));
  TablespaceFile file({{8, tablesRoot.Finish()}, {10, columns.Finish()}, {11, indexes.Finish()},
                       {12, tablesLeaf.Finish()}, {13, tablesLeaf2.Finish()}}, 14);

  CollationTable collations;
  collations[8] = {1, 1, "latin1", "latin1_swedish_ci"};
  DecoderSettings settings;
  settings.collations = &collations;
  TableReader reader(&settings);
  ASSERT_TRUE(reader.LoadSystemTablespace(file.Path()));
  ASSERT_EQ(reader.sysTables.size(), 3u);
  EXPECT_EQ(reader.sysTables[0].fullName, "shop/customers");
  EXPECT_EQ(reader.sysTables[2].fullName, "shop/zebra");
  EXPECT_EQ(reader.sysTables[1].columnCount, 2u);  // bit 31 (the COMPACT flag) cleared
  EXPECT_EQ(reader.sysTables[1].spaceId, 21u);
  EXPECT_EQ(reader.FindTableId("shop\\orders"), 21u);
  ASSERT_EQ(reader.sysColumns.size(), 2u);
  EXPECT_EQ(reader.sysColumns[1].columnName, "note");
  EXPECT_EQ(reader.sysColumns[1].preciseType, 15u + (8u << 16));
  EXPECT_EQ(reader.sysColumns[1].charLengths, 6u);
  EXPECT_EQ(reader.sysColumns[1].maxLength, 30u);
  ASSERT_EQ(reader.sysIndexes.size(), 2u);
  EXPECT_EQ(reader.FindClusteredIndexRoot(21), 4u);

  // A second load replaces the lists.
  RedundantPage onlyTables(8);
  onlyTables.Add(TableRecord("other/t", 5));
  Bytes notIndex(kPageSize, 0);
  TablespaceFile second({{8, onlyTables.Finish()}, {10, notIndex}, {11, notIndex}}, 12);
  ASSERT_TRUE(reader.LoadSystemTablespace(second.Path()));
  ASSERT_EQ(reader.sysTables.size(), 1u);
  EXPECT_EQ(reader.sysTables[0].fullName, "other/t");
  EXPECT_TRUE(reader.sysColumns.empty());
  EXPECT_TRUE(reader.sysIndexes.empty());
  EXPECT_FALSE(reader.LoadSystemTablespace(second.Path() + ".missing"));
}

TEST(Dictionary, DamagedDictionaryPagesStayBounded) {
  // A node pointer whose child field is not 4 bytes, a root pointing at itself, a leaf chain that
  // loops, and a record chain that loops inside a page.
  RedundantPage badPointer(8, kNullPage, 1);
  badPointer.Add({Text("a/x"), Be(12, 2)});
  RedundantPage selfRoot(10, kNullPage, 1);
  selfRoot.Add({Be(1, 8), Be(10, 4)});
  RedundantPage loopingLeaf(11, 11);
  loopingLeaf.Add(IndexRecord(1, 2, "PRIMARY", 3, 3));
  Bytes& leafImage = loopingLeaf.Finish();
  // Point the record's next field back at itself.
  size_t first = (leafImage[99] << 8) | leafImage[100];
  PutBe(leafImage, first - 2, first, 2);
  TablespaceFile file({{8, badPointer.Finish()}, {10, selfRoot.Finish()}, {11, leafImage}}, 12);
  DecoderSettings settings;
  TableReader reader(&settings);
  ASSERT_TRUE(reader.LoadSystemTablespace(file.Path()));
  EXPECT_TRUE(reader.sysTables.empty());
  EXPECT_TRUE(reader.sysColumns.empty());
  EXPECT_LE(reader.sysIndexes.size(), 3u);  // bounded by the page's heap record count
  EXPECT_GE(reader.sysIndexes.size(), 1u);
}

}  // namespace
}  // namespace wexholt
