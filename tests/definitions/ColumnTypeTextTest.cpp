// Column type texts: the schema grid's Data Type and the server's column type.
#include <gtest/gtest.h>

#include "definitions/ColumnTypeText.h"

namespace wexholt {
namespace {

CollationTable SmallCollations() {
  CollationTable t;
  t[8] = {1, 1, "latin1", "latin1_swedish_ci"};
  t[33] = {1, 3, "utf8mb3", "utf8mb3_general_ci"};
  t[45] = {1, 4, "utf8mb4", "utf8mb4_general_ci"};
  t[63] = {1, 1, "binary", "binary"};
  return t;
}

ColumnDef Column(int type, int length = 0, int charset = 0) {
  ColumnDef c;
  c.typeCode = type;
  c.length = length;
  c.charsetId = charset;
  return c;
}

TEST(ColumnTypeText, ByTypeCode) {
  const CollationTable collations = SmallCollations();
  TableDef withCharset;
  withCharset.defaultCharset = 33;
  TableDef noCharset;
  struct Case {
    const char* what;
    ColumnDef column;
    const TableDef* table;
    std::string expected;
  };
  ColumnDef dec = Column(246);
  dec.precision = 5;
  ColumnDef dec2 = Column(0);
  dec2.precision = 10;
  dec2.decimals = 2;
  ColumnDef flt = Column(4);
  flt.precision = 7;
  flt.decimals = 3;
  ColumnDef dbl = Column(5);
  dbl.precision = 10;
  ColumnDef dbl2 = dbl;
  dbl2.decimals = 4;
  ColumnDef enumEmpty = Column(247);
  ColumnDef enumAb = Column(247);
  enumAb.enumText = "'a','b'";
  ColumnDef setAb = Column(248);
  setAb.enumText = "'a','b'";
  ColumnDef point = Column(255);
  point.geometryType = 1;
  ColumnDef collection = Column(255);
  collection.geometryType = 7;
  ColumnDef geometry8 = Column(255);
  geometry8.geometryType = 8;
  const Case cases[] = {
      {"DECIMAL(5,0)", dec, &withCharset, "DECIMAL(5,0)"},
      {"old DECIMAL", dec2, &withCharset, "DECIMAL(10,2)"},
      {"tinyint", Column(1), &withCharset, "TINYINT"},
      {"smallint", Column(2), &withCharset, "SMALLINT"},
      {"int", Column(3), &withCharset, "INT"},
      {"FLOAT(7,3)", flt, &withCharset, "FLOAT(7,3)"},
      {"plain FLOAT", Column(4, 12), &withCharset, "FLOAT"},
      {"DOUBLE with decimals 0", dbl, &withCharset, "DOUBLE"},
      {"DOUBLE(10,4)", dbl2, &withCharset, "DOUBLE(10,4)"},
      {"timestamp 7", Column(7), &withCharset, "TIMESTAMP"},
      {"timestamp 17", Column(17), &withCharset, "TIMESTAMP"},
      {"bigint", Column(8), &withCharset, "BIGINT"},
      {"mediumint", Column(9), &withCharset, "MEDIUMINT"},
      {"date 10", Column(10), &withCharset, "DATE"},
      {"date 14", Column(14), &withCharset, "DATE"},
      {"time 11", Column(11), &withCharset, "TIME"},
      {"time 19", Column(19), &withCharset, "TIME"},
      {"datetime 12", Column(12), &withCharset, "DATETIME"},
      {"datetime 18", Column(18), &withCharset, "DATETIME"},
      {"year", Column(13), &withCharset, "YEAR"},
      {"VARCHAR(20) in 3-byte characters", Column(15, 60, 33), &withCharset, "VARCHAR(20)"},
      {"no default charset: bytes", Column(15, 60, 33), &noCharset, "VARCHAR(60)"},
      {"unknown collation: bytes", Column(15, 60, 99), &withCharset, "VARCHAR(60)"},
      {"varbinary", Column(15, 10, 63), &withCharset, "VARBINARY(10)"},
      {"remainder dropped", Column(15, 10, 45), &withCharset, "VARCHAR(2)"},
      {"bit", Column(16, 10), &withCharset, "BIT(10)"},
      {"empty ENUM", enumEmpty, &withCharset, "ENUM"},
      {"ENUM list", enumAb, &withCharset, "ENUM('a','b')"},
      {"SET list", setAb, &withCharset, "SET('a','b')"},
      {"tinyblob", Column(249, 8, 63), &withCharset, "TINYBLOB"},
      {"tinytext", Column(249, 8, 33), &withCharset, "TINYTEXT"},
      {"mediumblob", Column(250, 8, 63), &withCharset, "MEDIUMBLOB"},
      {"mediumtext", Column(250, 8, 33), &withCharset, "MEDIUMTEXT"},
      {"longblob", Column(251, 8, 63), &withCharset, "LONGBLOB"},
      {"longtext", Column(251, 8, 33), &withCharset, "LONGTEXT"},
      {"blob", Column(252, 8, 63), &withCharset, "BLOB"},
      {"text", Column(252, 8, 33), &withCharset, "TEXT"},
      {"253 binary divides", Column(253, 30, 63), &withCharset, "BINARY(30)"},
      {"253 text", Column(253, 30, 33), &withCharset, "CHAR(10)"},
      {"254 binary does not divide", Column(254, 16, 63), &withCharset, "BINARY(16)"},
      {"254 CHAR(10) in 3-byte characters", Column(254, 30, 33), &withCharset, "CHAR(10)"},
      {"point", point, &withCharset, "POINT"},
      {"collection", collection, &withCharset, "GEOMETRYCOLLECTION"},
      {"geometry subtype 0", Column(255), &withCharset, "GEOMETRY"},
      {"geometry subtype 8", geometry8, &withCharset, "GEOMETRY"},
      {"code 6", Column(6), &withCharset, "UNKNOWN DATATYPE"},
      {"code 20", Column(20), &withCharset, "UNKNOWN DATATYPE"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ColumnTypeText(c.column, *c.table, collations), c.expected) << c.what;
  }
}

TEST(ColumnSqlType, ServerColumnTypes) {
  const CollationTable collations = SmallCollations();
  TableDef table;
  table.defaultCharset = 45;
  auto numeric = [](int type, int length, bool isUnsigned = false, bool zeroFill = false) {
    ColumnDef c = Column(type, length, 8);
    c.isUnsigned = isUnsigned;
    c.zeroFill = zeroFill;
    return c;
  };
  auto scaled = [](int type, int precision, int decimals, bool isUnsigned = false) {
    ColumnDef c = Column(type);
    c.precision = precision;
    c.decimals = decimals;
    c.isUnsigned = isUnsigned;
    return c;
  };
  auto temporal = [](int type, int digits) {
    ColumnDef c = Column(type);
    c.fractionDigits = digits;
    return c;
  };
  ColumnDef enumColumn = Column(247, 4, 45);
  enumColumn.enumMembers = {"a", "", "it's", "a\\b"};
  ColumnDef setColumn = Column(248, 4, 45);
  setColumn.enumMembers = {"x", "y"};
  struct Case {
    ColumnDef column;
    std::string expected;
  };
  const Case cases[] = {
      {numeric(3, 11), "int(11)"},
      {numeric(3, 10, true), "int(10) unsigned"},
      {numeric(1, 4), "tinyint(4)"},
      {numeric(1, 1), "tinyint(1)"},
      {numeric(2, 3, true, true), "smallint(3) unsigned zerofill"},
      {numeric(9, 8, true), "mediumint(8) unsigned"},
      {numeric(8, 20, true, true), "bigint(20) unsigned zerofill"},
      {scaled(246, 10, 2), "decimal(10,2)"},
      {scaled(246, 10, 2, true), "decimal(10,2) unsigned"},
      {scaled(246, 65, 30), "decimal(65,30)"},
      {scaled(4, 0, 0), "float"},
      {scaled(4, 7, 3), "float(7,3)"},
      {scaled(5, 0, 0), "double"},
      {scaled(5, 10, 4, true), "double(10,4) unsigned"},
      {temporal(18, 0), "datetime"},
      {temporal(18, 6), "datetime(6)"},
      {temporal(12, 0), "datetime /* mariadb-5.3 */"},
      {temporal(12, 3), "datetime(3) /* mariadb-5.3 */"},
      {temporal(19, 3), "time(3)"},
      {temporal(11, 0), "time /* mariadb-5.3 */"},
      {temporal(17, 2), "timestamp(2)"},
      {temporal(7, 0), "timestamp /* mariadb-5.3 */"},
      {Column(14, 10), "date"},
      {Column(10, 10), "date"},
      {Column(13, 4), "year(4)"},
      {Column(15, 80, 45), "varchar(20)"},
      {Column(15, 20, 8), "varchar(20)"},
      {Column(15, 60, 33), "varchar(20)"},
      {Column(15, 10, 63), "varbinary(10)"},
      {Column(254, 12, 45), "char(3)"},
      {Column(254, 0, 45), "char(0)"},
      {Column(254, 16, 63), "binary(16)"},
      {Column(16, 10), "bit(10)"},
      {enumColumn, "enum('a','','it''s','a\\\\b')"},
      {setColumn, "set('x','y')"},
      {Column(252, 8, 45), "text"},
      {Column(252, 8, 63), "blob"},
      {Column(249, 8, 45), "tinytext"},
      {Column(251, 8, 63), "longblob"},
      {Column(250, 8, 45), "mediumtext"},
      {Column(255, 8, 0), "geometry"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ColumnSqlType(c.column, table, collations), c.expected) << c.expected;
  }
}

}  // namespace
}  // namespace wexholt
