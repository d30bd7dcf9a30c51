// Value literals of decoded cells, INSERT batching and view ordering.
#include <cstdio>
#include <gtest/gtest.h>

#include "save/SqlScript.h"

namespace wexholt {
namespace {

ColumnDef Column(int typeCode, int charsetId = 45) {
  ColumnDef c;
  c.typeCode = typeCode;
  c.charsetId = charsetId;
  c.name = "c";
  return c;
}

Cell Text(const std::string& text, CellKind kind = CellKind::kText) { return Cell{text, kind}; }

TEST(ValueLiteral, ByColumnTypeAndCellKind) {
  struct Case {
    const char* what;
    ColumnDef column;
    Cell cell;
    const char* literal;
  };
  const Case cases[] = {
      {"NULL", Column(TypeCode::kLong), Text("NULL", CellKind::kNull), "NULL"},
      {"signed integer", Column(TypeCode::kLong), Text("-2147483648"), "-2147483648"},
      {"zero-filled", Column(TypeCode::kLong), Text("00042"), "00042"},
      {"decimal", Column(TypeCode::kNewDecimal), Text("-1234.50"), "-1234.50"},
      {"double with exponent", Column(TypeCode::kDouble), Text("1.7976931348623157e308"), "1.7976931348623157e308"},
      {"not a number stays a string", Column(TypeCode::kDouble), Text("nan"), "'nan'"},
      {"year 0000 as a number, not the string '0' (2000)", Column(TypeCode::kYear), Text("0000"), "0000"},
      {"bits", Column(TypeCode::kBit, 63), Text("00101"), "b'00101'"},
      {"date", Column(TypeCode::kNewDate), Text("0000-00-00"), "'0000-00-00'"},
      {"escapes", Column(TypeCode::kVarchar), Text(std::string("a'b\\c\nd\re\x1A" "f\0g", 13)),
       "'a\\'b\\\\c\\nd\\re\\Zf\\0g'"},
      {"UTF-8 as it is", Column(TypeCode::kVarchar), Text("\xF0\x9F\x98\x80 \xC3\xA9"), "'\xF0\x9F\x98\x80 \xC3\xA9'"},
      {"CHAR padding dropped, as the server returns it", Column(TypeCode::kString), Text("ab   "), "'ab'"},
      {"VARCHAR keeps trailing spaces", Column(TypeCode::kVarchar), Text("ab  "), "'ab  '"},
      {"binary as hex", Column(TypeCode::kString, 63), Text("0x00FF10", CellKind::kBinary), "0x00FF10"},
      {"empty binary", Column(TypeCode::kBlob, 63), Text("", CellKind::kText), "''"},
      {"enum member", Column(TypeCode::kEnum), Text("it's"), "'it\\'s'"},
      {"spatial bytes back from their escaped text", Column(TypeCode::kGeometry, 63),
       Text("\\0\\0\\0\\0\x01\x01\\0\\0\\0"), "0x000000000101000000"},
  };
  for (const Case& c : cases) {
    std::string literal, problem;
    EXPECT_TRUE(ValueLiteral(c.column, c.cell, literal, problem)) << c.what;
    EXPECT_EQ(literal, c.literal) << c.what;
    EXPECT_EQ(problem, "") << c.what;
  }
}

TEST(ValueLiteral, MarkersAndUnreadableFilesAreReportedNotSaved) {
  std::string literal, problem;
  EXPECT_FALSE(ValueLiteral(Column(TypeCode::kBlob), Text("Large Size Blob Data", CellKind::kMarker), literal, problem));
  EXPECT_EQ(literal, "DEFAULT");
  EXPECT_NE(problem.find("Large Size Blob Data"), std::string::npos);

  EXPECT_FALSE(ValueLiteral(Column(TypeCode::kBlob), Text("/nonexistent/blobdata/7", CellKind::kExternal), literal, problem));
  EXPECT_EQ(literal, "DEFAULT");
  EXPECT_NE(problem.find("/nonexistent/blobdata/7"), std::string::npos);
}

TEST(ValueLiteral, ExternalValueFileComesInlineAsItsBytes) {
  char path[] = "/tmp/wexholt-external-XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  FILE* f = fdopen(fd, "wb");
  std::fwrite("a\0'\xFF", 1, 4, f);
  std::fclose(f);
  std::string literal, problem;
  EXPECT_TRUE(ValueLiteral(Column(TypeCode::kBlob), Text(path, CellKind::kExternal), literal, problem));
  EXPECT_EQ(literal, "0x610027FF");
  std::remove(path);
}

TEST(InsertBuilder, StatementsStayWithinTheirBoundAndSkipGeneratedColumns) {
  TableDef table;
  table.columns = {Column(TypeCode::kLong), Column(TypeCode::kLong), Column(TypeCode::kVarchar)};
  table.columns[0].name = "id";
  table.columns[1].name = "twice";
  table.columns[1].generationExpression = "`id` * 2";
  table.columns[2].name = "na`me";
  InsertBuilder builder(table, "t", 80);
  const std::string prefix = "INSERT INTO `t` (`id`,`na``me`) VALUES ";
  builder.AddRow({"1", "DEFAULT", "'a'"});
  builder.AddRow({"2", "DEFAULT", "'b'"});
  EXPECT_FALSE(builder.FinishedReady());
  builder.AddRow({"3", "DEFAULT", "'" + std::string(60, 'x') + "'"});  // does not fit: a statement of its own
  EXPECT_TRUE(builder.FinishedReady());
  builder.Flush();
  std::vector<std::string> statements = builder.TakeFinished();
  std::vector<size_t> counts = builder.TakeFinishedRowCounts();
  ASSERT_EQ(statements.size(), 2u);
  EXPECT_EQ(statements[0], prefix + "(1,'a'),(2,'b')");
  EXPECT_EQ(statements[1], prefix + "(3,'" + std::string(60, 'x') + "')");
  EXPECT_EQ(counts, (std::vector<size_t>{2, 1}));
  EXPECT_EQ(builder.SingleRow({"4", "DEFAULT", "NULL"}), prefix + "(4,NULL)");
  EXPECT_FALSE(builder.FinishedReady());
}

TEST(OrderViewsByDependency, ViewsComeAfterTheViewsTheyRead) {
  std::vector<std::string> names = {"v_top", "v_base", "v_mid", "v_alone"};
  std::vector<std::string> statements = {"CREATE VIEW `v_top` AS select * from `db`.`v_mid`",
                                         "CREATE VIEW `v_base` AS select 1",
                                         "CREATE VIEW `v_mid` AS select * from `db`.`v_base`",
                                         "CREATE VIEW `v_alone` AS select 2"};
  OrderViewsByDependency(names, statements);
  EXPECT_EQ(names, (std::vector<std::string>{"v_base", "v_mid", "v_alone", "v_top"}));
  EXPECT_EQ(statements[0], "CREATE VIEW `v_base` AS select 1");
}

TEST(DelimitedBlock, DelimiterNeverOccursInTheStatement) {
  EXPECT_EQ(DelimitedBlock("CREATE TRIGGER t BEFORE INSERT ON x FOR EACH ROW SET NEW.a = 1"),
            "DELIMITER $$\nCREATE TRIGGER t BEFORE INSERT ON x FOR EACH ROW SET NEW.a = 1\n$$\nDELIMITER ;\n");
  EXPECT_EQ(DelimitedBlock("SET NEW.a = '$$ and $$$'"), "DELIMITER $$$$\nSET NEW.a = '$$ and $$$'\n$$$$\nDELIMITER ;\n");
}

TEST(QuoteIdentifier, DoublesBackticks) { EXPECT_EQ(QuoteIdentifier("a`b"), "`a``b`"); }

}  // namespace
}  // namespace wexholt
