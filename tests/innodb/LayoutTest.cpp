// The stored column order and the storage attributes of each column, from the .frm alone and from
// the dictionary.
#include <gtest/gtest.h>

#include "definitions/Collations.h"
#include "definitions/TableReader.h"

namespace wexholt {
namespace {

ColumnDef Col(const std::string& name, int type = TypeCode::kLong, int length = 11, bool nullable = false, int charset = 8) {
  ColumnDef c;
  c.name = name;
  c.typeCode = type;
  c.length = length;
  c.nullable = nullable ? 1 : 0;
  c.charsetId = charset;
  return c;
}

IndexDef Key(const std::string& name, std::vector<std::pair<int, int>> parts, bool unique = true) {
  IndexDef index;
  index.name = name;
  index.primary = name == "PRIMARY";
  index.unique = unique;
  for (auto [column, length] : parts) {
    IndexPart p;
    p.columnNumber = column;
    p.length = length;
    index.parts.push_back(p);
  }
  return index;
}

std::string Order(const TableReader& reader) {
  std::string out;
  for (const InnoColumn& e : reader.innoLayout) out += (out.empty() ? "" : " ") + e.column.name;
  return out;
}

TEST(InnoLayout, StoredOrderFollowsTheClusteredKey) {
  struct Case {
    const char* name;
    std::vector<ColumnDef> columns;
    std::vector<IndexDef> indexes;
    const char* order;
  };
  std::vector<ColumnDef> abc{Col("a"), Col("b"), Col("c")};
  std::vector<ColumnDef> nullableA{Col("a", TypeCode::kLong, 11, true), Col("b"), Col("c")};
  std::vector<ColumnDef> prefixed{Col("a"), Col("b", TypeCode::kVarchar, 40), Col("c")};
  std::vector<Case> cases{
      {"primary key (b)", abc, {Key("PRIMARY", {{2, 4}})}, "b DB_TRX_ID DB_ROLL_PTR a c"},
      {"primary key (c, a) in key order", abc, {Key("PRIMARY", {{3, 4}, {1, 4}})}, "c a DB_TRX_ID DB_ROLL_PTR b"},
      {"unique key on c only", abc, {Key("c", {{3, 4}})}, "c DB_TRX_ID DB_ROLL_PTR a b"},
      {"first unique key without nullable columns", nullableA, {Key("a", {{1, 4}}), Key("c", {{3, 4}})},
       "c DB_TRX_ID DB_ROLL_PTR a b"},
      {"only a unique key on a nullable column", nullableA, {Key("a", {{1, 4}})},
       "DB_ROW_ID DB_TRX_ID DB_ROLL_PTR a b c"},
      {"a non-unique key is not clustered", abc, {Key("k", {{2, 4}}, false)}, "DB_ROW_ID DB_TRX_ID DB_ROLL_PTR a b c"},
      {"no keys", abc, {}, "DB_ROW_ID DB_TRX_ID DB_ROLL_PTR a b c"},
      {"prefix key part stores the prefix and the whole column", prefixed, {Key("PRIMARY", {{2, 5}})},
       "b DB_TRX_ID DB_ROLL_PTR a b c"},
      {"no columns", {}, {}, "DB_ROW_ID DB_TRX_ID DB_ROLL_PTR"},
  };
  DecoderSettings settings;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TableReader reader(&settings);
    for (size_t i = 0; i < c.columns.size(); ++i) {
      reader.tableDef.columns.push_back(c.columns[i]);
      reader.tableDef.columns.back().number = static_cast<int32_t>(i);
    }
    reader.tableDef.indexes = c.indexes;
    reader.LoadLayoutFromDefinition();
    EXPECT_EQ(Order(reader), c.order);
  }
}

TEST(InnoLayout, StorageOfEachColumnTypeFromTheDefinition) {
  struct Case {
    const char* name;
    ColumnDef column;
    int mainType;
    int fixedSize;
    int preciseBits;  // of NOT NULL, UNSIGNED
  };
  auto with = [](ColumnDef c, auto change) {
    change(c);
    return c;
  };
  ColumnDef enum3 = with(Col("e", TypeCode::kEnum, 1), [](ColumnDef& c) { c.enumMembers = {"a", "b", "c"}; });
  ColumnDef enum300 = with(Col("e", TypeCode::kEnum, 2), [](ColumnDef& c) { c.enumMembers.resize(300); });
  ColumnDef set20 = with(Col("s", TypeCode::kSet, 3), [](ColumnDef& c) { c.enumMembers.resize(20); });
  ColumnDef set40 = with(Col("s", TypeCode::kSet, 8), [](ColumnDef& c) { c.enumMembers.resize(40); });
  auto temporal = [&](int type, int fsp) {
    return with(Col("t", type, 26), [fsp](ColumnDef& c) { c.fractionDigits = fsp; });
  };
  ColumnDef decimal = with(Col("d", TypeCode::kNewDecimal, 12), [](ColumnDef& c) {
    c.precision = 10;
    c.decimals = 2;
  });
  ColumnDef unsignedInt = with(Col("u"), [](ColumnDef& c) { c.isUnsigned = 1; });
  std::vector<Case> cases{
      {"INT", Col("i"), InnoMainType::kInt, 4, kPreciseNotNull},
      {"INT UNSIGNED", unsignedInt, InnoMainType::kInt, 4, kPreciseNotNull | kPreciseUnsigned},
      {"nullable TINYINT", Col("t", TypeCode::kTiny, 4, true), InnoMainType::kInt, 1, 0},
      {"MEDIUMINT", Col("m", TypeCode::kInt24, 9), InnoMainType::kInt, 3, kPreciseNotNull},
      {"BIGINT", Col("b", TypeCode::kLongLong, 20), InnoMainType::kInt, 8, kPreciseNotNull},
      {"FLOAT", Col("f", TypeCode::kFloat, 12), InnoMainType::kFloat, 4, kPreciseNotNull},
      {"DOUBLE", Col("f", TypeCode::kDouble, 22), InnoMainType::kDouble, 8, kPreciseNotNull},
      {"DECIMAL(10,2)", decimal, InnoMainType::kFixBinary, 5, kPreciseNotNull},
      {"DATETIME(0)", temporal(TypeCode::kDateTime2, 0), InnoMainType::kFixBinary, 5, kPreciseNotNull},
      {"DATETIME(3)", temporal(TypeCode::kDateTime2, 3), InnoMainType::kFixBinary, 7, kPreciseNotNull},
      {"TIME(2)", temporal(TypeCode::kTime2, 2), InnoMainType::kFixBinary, 4, kPreciseNotNull},
      {"TIMESTAMP(6)", temporal(TypeCode::kTimestamp2, 6), InnoMainType::kFixBinary, 7, kPreciseNotNull},
      {"old DATETIME", Col("t", TypeCode::kDateTime, 19), InnoMainType::kInt, 8, kPreciseNotNull},
      {"old TIMESTAMP", Col("t", TypeCode::kTimestamp, 19), InnoMainType::kInt, 4, kPreciseNotNull | kPreciseUnsigned},
      {"old TIME", Col("t", TypeCode::kTime, 10), InnoMainType::kInt, 3, kPreciseNotNull},
      {"DATE", Col("d", TypeCode::kNewDate, 10), InnoMainType::kInt, 3, kPreciseNotNull},
      {"YEAR", Col("y", TypeCode::kYear, 4), InnoMainType::kInt, 1, kPreciseNotNull | kPreciseUnsigned},
      {"ENUM of 3", enum3, InnoMainType::kInt, 1, kPreciseNotNull | kPreciseUnsigned},
      {"ENUM of 300", enum300, InnoMainType::kInt, 2, kPreciseNotNull | kPreciseUnsigned},
      {"SET of 20", set20, InnoMainType::kInt, 3, kPreciseNotNull | kPreciseUnsigned},
      {"SET of 40", set40, InnoMainType::kInt, 8, kPreciseNotNull | kPreciseUnsigned},
      {"BIT(10)", Col("b", TypeCode::kBit, 10), InnoMainType::kFixBinary, 2, kPreciseNotNull},
      {"CHAR(30) latin1", Col("c", TypeCode::kString, 30), InnoMainType::kChar, 30, kPreciseNotNull},
      {"CHAR(10) utf8mb4", Col("c", TypeCode::kString, 40, false, 45), InnoMainType::kMysql, 0, kPreciseNotNull},
      {"CHAR over 768 bytes is variable", Col("c", TypeCode::kString, 1020), InnoMainType::kChar, 0, kPreciseNotNull},
      {"BINARY(3)", Col("b", TypeCode::kString, 3, false, 63), InnoMainType::kFixBinary, 3, kPreciseNotNull},
      {"VARCHAR", Col("v", TypeCode::kVarchar, 20), InnoMainType::kVarMysql, 0, kPreciseNotNull},
      {"VARBINARY", Col("v", TypeCode::kVarchar, 20, false, 63), InnoMainType::kBinary, 0, kPreciseNotNull},
      {"TEXT", Col("t", TypeCode::kBlob, 65535), InnoMainType::kBlob, 0, kPreciseNotNull},
      {"nullable BLOB", Col("b", TypeCode::kBlob, 65535, true, 63), InnoMainType::kBlob, 0, 0},
  };
  CollationTable collations = BuiltInCollations();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InnoColumn e = InnoColumnFromDefinition(c.column, &collations);
    EXPECT_EQ(e.mainType, c.mainType);
    EXPECT_EQ(e.fixedSize, c.fixedSize);
    EXPECT_EQ(e.preciseType & (kPreciseNotNull | kPreciseUnsigned), c.preciseBits);
  }
}

TEST(InnoLayout, DictionaryLookups) {
  DecoderSettings settings;
  TableReader reader(&settings);
  auto table = [](const char* name, uint64_t id) {
    SysTablesRow r;
    r.fullName = name;
    r.tableId = id;
    return r;
  };
  reader.sysTables = {table("shop/customers", 11), table("shop/orders", 12), table("Shop/orders", 13)};
  EXPECT_EQ(reader.FindTableId("shop\\orders"), 12u);
  EXPECT_EQ(reader.FindTableId("shop/orders"), 12u);
  EXPECT_EQ(reader.FindTableId("shop/Orders"), 0u);
  EXPECT_EQ(reader.FindTableId("shop/order"), 0u);

  auto index = [](uint64_t table, uint32_t type, uint32_t root) {
    SysIndexesRow r;
    r.tableId = table;
    r.indexType = type;
    r.rootPage = root;
    return r;
  };
  // Table 12's secondary UNIQUE index (type 2) comes before its clustered index (type 3).
  reader.sysIndexes = {index(11, 3, 3), index(12, 0, 9), index(12, 2, 4), index(12, 3, 7), index(14, 1, 5)};
  EXPECT_EQ(reader.FindClusteredIndexRoot(12), 7u);
  EXPECT_EQ(reader.FindClusteredIndexRoot(14), 5u);
  EXPECT_EQ(reader.FindClusteredIndexRoot(99), 0u);

  // Two tables one after the other: each layout from its own column records.
  auto column = [](uint64_t table, uint32_t pos, uint32_t mtype, uint32_t prtype, uint32_t len) {
    SysColumnsRow r;
    r.tableId = table;
    r.position = pos;
    r.mainType = mtype;
    r.preciseType = prtype;
    r.maxLength = len;
    return r;
  };
  reader.sysColumns = {column(11, 0, 6, 1283, 4), column(12, 0, 6, 1283, 4), column(12, 1, 1, 524303, 20),
                       column(12, 2, 6, 1032, 8)};
  reader.tableDef.columns = {Col("id"), Col("name", TypeCode::kVarchar, 20, true)};
  reader.tableDef.columns[1].number = 1;
  reader.tableDef.indexes = {Key("PRIMARY", {{1, 4}})};
  reader.LoadLayoutFromDictionary(11);
  EXPECT_EQ(Order(reader), "id DB_TRX_ID DB_ROLL_PTR");  // no record for "name" in table 11
  reader.LoadLayoutFromDictionary(12);
  // Position 2 is a stored column the definition does not list (a hidden FTS_DOC_ID): it keeps
  // its place in the record without a cell.
  ASSERT_EQ(reader.innoLayout.size(), 5u);
  EXPECT_EQ(reader.innoLayout[3].column.name, "name");
  EXPECT_EQ(reader.innoLayout[3].maxLength, 20);
  EXPECT_EQ(reader.innoLayout[4].column.number, -1);
  EXPECT_EQ(reader.innoLayout[4].fixedSize, 8);
  EXPECT_EQ(reader.tableColumnRecords.size(), 3u);
}

}  // namespace
}  // namespace wexholt
