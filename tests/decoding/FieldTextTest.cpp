// Field value texts: stored bytes (many taken from rows a MariaDB 10.11 server wrote) against the
// text the server returns for them.
#include "decoding/FieldText.h"

#include <gtest/gtest.h>

#include <cstring>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace wexholt {
namespace {

using Bytes = std::vector<uint8_t>;

ColumnDef Column(int type, int length = 0, bool isUnsigned = false, int charset = 8) {
  ColumnDef c;
  c.typeCode = type;
  c.length = length;
  c.isUnsigned = isUnsigned;
  c.charsetId = charset;
  return c;
}

ColumnDef Decimal(int precision, int decimals) {
  ColumnDef c = Column(TypeCode::kNewDecimal);
  c.precision = precision;
  c.decimals = decimals;
  return c;
}

ColumnDef Temporal(int type, int fsp) {
  ColumnDef c = Column(type);
  c.fractionDigits = fsp;
  return c;
}

ColumnDef Members(int type, std::vector<std::string> members) {
  ColumnDef c = Column(type);
  c.enumMembers = std::move(members);
  return c;
}

const CollationTable& TestCollations() {
  static const CollationTable table = [] {
    CollationTable t;
    t[8] = {1, 1, "latin1", "latin1_swedish_ci"};
    t[11] = {1, 1, "ascii", "ascii_general_ci"};
    t[33] = {1, 3, "utf8mb3", "utf8mb3_general_ci"};
    t[45] = {1, 4, "utf8mb4", "utf8mb4_general_ci"};
    t[35] = {2, 2, "ucs2", "ucs2_general_ci"};
    t[54] = {2, 4, "utf16", "utf16_general_ci"};
    t[56] = {2, 4, "utf16le", "utf16le_general_ci"};
    t[60] = {4, 4, "utf32", "utf32_general_ci"};
    t[63] = {1, 1, "binary", "binary"};
    t[28] = {1, 2, "gbk", "gbk_chinese_ci"};
    return t;
  }();
  return table;
}

DecoderSettings Settings(bool saveMode = false) {
  DecoderSettings s;
  s.collations = &TestCollations();
  s.saveToFolder = saveMode;
  return s;
}

Cell Decode(const ColumnDef& c, const Bytes& b, FieldSource source = FieldSource::kFixedRow,
            bool saveMode = false) {
  Cell out;
  out.text = "left over from the previous row";
  out.kind = CellKind::kNull;
  DecodeFieldText(c, b.data(), b.size(), source, Settings(saveMode), out);
  return out;
}

struct ValueCase {
  const char* what;
  ColumnDef column;
  Bytes bytes;
  std::string text;
};

void CheckAll(const std::vector<ValueCase>& cases, FieldSource source = FieldSource::kFixedRow) {
  for (const auto& c : cases) {
    Cell cell = Decode(c.column, c.bytes, source);
    EXPECT_EQ(cell.text, c.text) << c.what;
  }
}

TEST(FieldText, IntegersFollowTheUnsignedFlag) {
  CheckAll({
      {"signed TINYINT -1", Column(TypeCode::kTiny), {0xFF}, "-1"},
      {"signed TINYINT -128", Column(TypeCode::kTiny), {0x80}, "-128"},
      {"unsigned TINYINT", Column(TypeCode::kTiny, 3, true), {0xFF}, "255"},
      {"signed SMALLINT -1", Column(TypeCode::kShort), {0xFF, 0xFF}, "-1"},
      {"unsigned SMALLINT", Column(TypeCode::kShort, 5, true), {0xFF, 0xFF}, "65535"},
      {"signed MEDIUMINT -2", Column(TypeCode::kInt24), {0xFE, 0xFF, 0xFF}, "-2"},
      {"signed MEDIUMINT max", Column(TypeCode::kInt24), {0xFF, 0xFF, 0x7F}, "8388607"},
      {"unsigned MEDIUMINT", Column(TypeCode::kInt24, 8, true), {0xFF, 0xFF, 0xFF}, "16777215"},
      {"signed INT -1", Column(TypeCode::kLong), {0xFF, 0xFF, 0xFF, 0xFF}, "-1"},
      {"unsigned INT", Column(TypeCode::kLong, 10, true), {0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"},
      {"signed BIGINT -1", Column(TypeCode::kLongLong), Bytes(8, 0xFF), "-1"},
      {"unsigned BIGINT", Column(TypeCode::kLongLong, 20, true), Bytes(8, 0xFF), "18446744073709551615"},
      {"short field, missing bytes zero", Column(TypeCode::kLong), {0x07}, "7"},
  });
}

TEST(FieldText, ZerofillPadsToTheDisplayWidth) {
  ColumnDef c = Column(TypeCode::kLong, 5, true);
  c.zeroFill = 1;
  EXPECT_EQ(Decode(c, {42, 0, 0, 0}).text, "00042");
  EXPECT_EQ(Decode(c, {0xA0, 0x86, 0x01, 0}).text, "100000");
}

TEST(FieldText, FloatingPointKeepsSixFractionDigitsInEverySource) {
  for (auto source : {FieldSource::kFixedRow, FieldSource::kDynamicRow, FieldSource::kInnoDbRecord}) {
    EXPECT_EQ(Decode(Column(TypeCode::kFloat), {0x00, 0x00, 0xC0, 0x3F}, source).text, "1.500000");
    EXPECT_EQ(Decode(Column(TypeCode::kDouble), {0, 0, 0, 0, 0, 0, 0xD0, 0xBF}, source).text, "-0.250000");
  }
}

// A save must write back the stored value itself: six fraction digits would turn 3.14159274 into
// 3.141593 and 1.17549e-38 into 0.
TEST(FieldText, FloatingPointInSaveModeKeepsEveryDigit) {
  auto bytesOf = [](auto value) {
    Bytes b(sizeof value);
    std::memcpy(b.data(), &value, sizeof value);
    return b;
  };
  struct Case {
    int type;
    Bytes bytes;
    const char* text;
  } cases[] = {
      {TypeCode::kFloat, bytesOf(3.14159274f), "3.1415927"},
      {TypeCode::kFloat, bytesOf(-1.17549e-38f), "-1.17549e-38"},
      {TypeCode::kFloat, bytesOf(1.5f), "1.5"},
      {TypeCode::kDouble, bytesOf(3.141592653589793), "3.141592653589793"},
      {TypeCode::kDouble, bytesOf(1.7976931348623157e308), "1.7976931348623157e+308"},
      {TypeCode::kDouble, bytesOf(-0.25), "-0.25"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Decode(Column(c.type), c.bytes, FieldSource::kInnoDbRecord, true).text, c.text) << c.text;
    EXPECT_EQ(Decode(Column(c.type), c.bytes, FieldSource::kDynamicRow, true).text, c.text) << c.text;
  }
}

TEST(FieldText, DecimalText) {
  struct Case {
    int precision, decimals;
    Bytes bytes;
    const char* text;
  };
  const std::vector<Case> cases = {
      {10, 2, {0x7F, 0xFF, 0xFB, 0x2D, 0xCD}, "-1234.50"},              // written by the server
      {20, 4, {0x80, 0x00, 0x30, 0x39, 0x28, 0x77, 0x35, 0xF2, 0x16, 0x2E}, "12345678901234.5678"},
      {10, 2, {0x80, 0x00, 0x00, 0x00, 0x05}, "0.05"},
      {10, 2, {0x80, 0x00, 0x00, 0x00, 0x00}, "0.00"},
      {4, 4, {0x84, 0xD2}, "0.1234"},
      {5, 0, {0x80, 0x00, 0x07}, "7"},
      {18, 9, {0x80, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01}, "1.000000001"},
      {10, 0, {0x80, 0x00, 0x00, 0x00, 0x00}, "0"},
      // A full group above 999,999,999 is no decimal: shown as 0.
      {18, 0, {0x80, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}, "0"},
      // Bytes missing at the end count as zero.
      {10, 2, {0x80, 0x00, 0x00, 0x0C}, "12.00"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecimalText(c.bytes.data(), c.bytes.size(), c.precision, c.decimals), c.text)
        << c.precision << "," << c.decimals;
    EXPECT_EQ(Decode(Decimal(c.precision, c.decimals), c.bytes).text, c.text);
  }
  EXPECT_EQ(DecimalStoredSize(10, 2), 5);
  EXPECT_EQ(DecimalStoredSize(20, 4), 10);
  EXPECT_EQ(DecimalStoredSize(65, 30), 30);
}

TEST(FieldText, TemporalValuesAsTheServerShowsThem) {
  CheckAll({
      {"YEAR 0", Column(TypeCode::kYear), {0x00}, "0000"},
      {"YEAR 2020", Column(TypeCode::kYear), {120}, "2020"},
      {"DATE", Column(TypeCode::kNewDate), {0x21, 0xBE, 0x0F}, "2015-01-01"},
      {"zero DATE", Column(TypeCode::kNewDate), {0, 0, 0}, "0000-00-00"},
      {"DATE year 5", Column(TypeCode::kNewDate), {0x61, 0x0A, 0x00}, "0005-03-01"},
      {"TIME2", Temporal(TypeCode::kTime2, 0), {0x80, 0xC8, 0xB8}, "12:34:56"},
      {"TIME2 lowest", Temporal(TypeCode::kTime2, 0), {0x4B, 0x91, 0x05}, "-838:59:59"},
      {"TIME2(1) negative below a second", Temporal(TypeCode::kTime2, 1), {0x7F, 0xFF, 0xFF, 0xCE},
       "-00:00:00.5"},
      {"TIME2(3)", Temporal(TypeCode::kTime2, 3), {0x80, 0xC8, 0xB8, 0x1E, 0xD2}, "12:34:56.789"},
      {"TIME2(6) negative", Temporal(TypeCode::kTime2, 6), {0x7F, 0xEF, 0x7C, 0xFF, 0xFF, 0xFC},
       "-01:02:03.000004"},
      {"DATETIME2(6)", Temporal(TypeCode::kDateTime2, 6), {0x99, 0x95, 0x02, 0xD2, 0x38, 0x01, 0xE2, 0x40},
       "2015-01-01 13:08:56.123456"},
      {"DATETIME2", Temporal(TypeCode::kDateTime2, 0), {0x99, 0x95, 0x02, 0xD2, 0x38}, "2015-01-01 13:08:56"},
      {"DATETIME2(2) year 5", Temporal(TypeCode::kDateTime2, 2), {0x80, 0x11, 0x02, 0x00, 0x00, 0x63},
       "0005-03-01 00:00:00.99"},
      {"zero DATETIME2", Temporal(TypeCode::kDateTime2, 0), {0x80, 0, 0, 0, 0}, "0000-00-00 00:00:00"},
      {"old TIME", Column(TypeCode::kTime), {0x40, 0xE2, 0x01}, "12:34:56"},  // 123456
      {"old TIME negative", Column(TypeCode::kTime), {0xC0, 0x1D, 0xFE}, "-12:34:56"},
      {"old TIME 838 hours", Column(TypeCode::kTime), {0xA7, 0xF5, 0x7F}, "838:59:59"},  // 8385959
      {"old DATETIME", Column(TypeCode::kDateTime), {0x68, 0xBE, 0x9E, 0x8F, 0x53, 0x12, 0, 0},
       "2015-01-01 13:08:56"},  // 20150101130856
      {"zero old DATETIME", Column(TypeCode::kDateTime), Bytes(8, 0), "0000-00-00 00:00:00"},
  });
}

TEST(FieldText, OldTypeCodesWithFractionalSeconds) {
  // TIME, DATETIME and TIMESTAMP of type codes 11, 12 and 7 declared with fractional seconds, as a
  // server with the 5.6 formats switched off writes them.
  CheckAll({
      {"TIME(1) lowest", Temporal(TypeCode::kTime, 1), {0x00, 0x00, 0x00, 0x01}, "-838:59:59.9"},
      {"TIME(1) zero", Temporal(TypeCode::kTime, 1), {0x01, 0xCC, 0xE0, 0x60}, "00:00:00.0"},
      {"TIME(3)", Temporal(TypeCode::kTime, 3), {0x00, 0xB6, 0xBA, 0xD2, 0x15}, "12:34:56.789"},
      {"TIME(6) negative", Temporal(TypeCode::kTime, 6), {0x02, 0xBE, 0x5F, 0xF6, 0x03, 0x3C}, "-01:02:03.000004"},
      {"DATETIME(6)", Temporal(TypeCode::kDateTime, 6), {0x01, 0x01, 0x4F, 0xD2, 0x80, 0xBB, 0x4C, 0x40},
       "2015-01-01 13:08:56.123456"},
      {"DATETIME(2) year 5", Temporal(TypeCode::kDateTime, 2), {0x00, 0x04, 0x61, 0x1E, 0xD6, 0x63},
       "0005-03-01 00:00:00.99"},
      {"zero DATETIME(2)", Temporal(TypeCode::kDateTime, 2), Bytes(6, 0), "0000-00-00 00:00:00.00"},
  });
  EXPECT_EQ(StoredFieldSize(Temporal(TypeCode::kTime, 3)), 5);
  EXPECT_EQ(StoredFieldSize(Temporal(TypeCode::kDateTime, 2)), 6);
  EXPECT_EQ(StoredFieldSize(Temporal(TypeCode::kTimestamp, 6)), 7);
  EXPECT_EQ(StoredFieldSize(Temporal(TypeCode::kDateTime2, 3)), 7);
  EXPECT_EQ(StoredFieldSize(Temporal(TypeCode::kTime2, 1)), 4);
  EXPECT_EQ(StoredFieldSize(Temporal(TypeCode::kTimestamp2, 6)), 7);
}

class LocalTimeUtc : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    saved_ = tz ? tz : "";
    hadTz_ = tz != nullptr;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (hadTz_) setenv("TZ", saved_.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }
  std::string saved_;
  bool hadTz_ = false;
};

TEST_F(LocalTimeUtc, TimestampsInBothLayouts) {
  CheckAll({
      {"TIMESTAMP2(6)", Temporal(TypeCode::kTimestamp2, 6), {0x5E, 0x5A, 0xFA, 0xFF, 0x07, 0xA1, 0x20},
       "2020-02-29 23:59:59.500000"},
      {"TIMESTAMP2", Temporal(TypeCode::kTimestamp2, 0), {0, 0, 0, 1}, "1970-01-01 00:00:01"},
      {"zero TIMESTAMP2(6)", Temporal(TypeCode::kTimestamp2, 6), Bytes(7, 0), "0000-00-00 00:00:00.000000"},
      {"old TIMESTAMP", Column(TypeCode::kTimestamp), {0xFF, 0xFA, 0x5A, 0x5E}, "2020-02-29 23:59:59"},
      {"zero old TIMESTAMP", Column(TypeCode::kTimestamp), {0, 0, 0, 0}, "0000-00-00 00:00:00"},
      {"old TIMESTAMP(2)", Temporal(TypeCode::kTimestamp, 2), {0x5E, 0x5A, 0xFA, 0xFF, 0x32}, "2020-02-29 23:59:59.50"},
      {"old TIMESTAMP(6)", Temporal(TypeCode::kTimestamp, 6), {0, 0, 0, 1, 0, 0, 1}, "1970-01-01 00:00:01.000001"},
      {"zero old TIMESTAMP(2)", Temporal(TypeCode::kTimestamp, 2), Bytes(5, 0), "0000-00-00 00:00:00.00"},
  });
  setenv("TZ", "IST-5:30", 1);
  tzset();
  EXPECT_EQ(Decode(Column(TypeCode::kTimestamp), {1, 0, 0, 0}).text, "1970-01-01 05:30:01");
}

TEST(FieldText, BitShowsEveryBit) {
  CheckAll({
      {"BIT(5)", Column(TypeCode::kBit, 5), {0x16}, "10110"},
      {"BIT(12)", Column(TypeCode::kBit, 12), {0x0A, 0xAA}, "101010101010"},
      {"BIT(1)", Column(TypeCode::kBit, 1), {0x01}, "1"},
      {"BIT(64)", Column(TypeCode::kBit, 64), {0x80, 0, 0, 0, 0, 0, 0, 1},
       "1000000000000000000000000000000000000000000000000000000000000001"},
  });
}

TEST(FieldText, EnumAndSetUseTheColumnsOwnMembers) {
  ColumnDef e = Members(TypeCode::kEnum, {"x", "y", ""});
  std::vector<std::string> many;
  for (int i = 1; i <= 300; ++i) many.push_back("m" + std::to_string(i));
  ColumnDef wide = Members(TypeCode::kEnum, many);
  std::vector<std::string> forty(many.begin(), many.begin() + 40);
  CheckAll({
      {"ENUM 1", e, {1}, "x"},
      {"ENUM 0", e, {0}, ""},
      {"ENUM beyond list", e, {4}, ""},
      {"ENUM of 300 members, 2 bytes", wide, {0x2C, 0x01}, "m300"},
      {"SET mask", Members(TypeCode::kSet, {"p", "q", "r"}), {0x05}, "p,r"},
      {"SET empty", Members(TypeCode::kSet, {"p", "q", "r"}), {0x00}, ""},
      {"SET of 9 members, 2 bytes", Members(TypeCode::kSet, {many.begin(), many.begin() + 9}), {0x01, 0x01},
       "m1,m9"},
      {"SET of 40 members, 8 bytes", Members(TypeCode::kSet, forty), {0, 0, 0, 0, 0x80, 0, 0, 0}, "m40"},
  });
  EXPECT_EQ(StoredFieldSize(wide), 2);
  EXPECT_EQ(StoredFieldSize(Members(TypeCode::kSet, forty)), 8);
  EXPECT_EQ(StoredFieldSize(Members(TypeCode::kSet, {many.begin(), many.begin() + 17})), 3);
}

TEST(FieldText, TextInItsCharacterSet) {
  CheckAll({
      {"latin1 as Windows-1252", Column(TypeCode::kString, 5), {'c', 'a', 'f', 0xE9, 0x80}, "caf\xC3\xA9\xE2\x82\xAC"},
      {"CHAR padding stays", Column(TypeCode::kString, 3), {'a', 'b', ' '}, "ab "},
      {"utf8mb4", Column(TypeCode::kString, 4, false, 45), {0xF0, 0x9F, 0x98, 0x80}, "\xF0\x9F\x98\x80"},
      {"utf8mb3 two-byte", Column(TypeCode::kString, 2, false, 33), {0xC3, 0xA9}, "\xC3\xA9"},
      {"ucs2", Column(TypeCode::kString, 4, false, 35), {0x00, 'A', 0x00, 0xE9}, "A\xC3\xA9"},
      {"utf16 pair", Column(TypeCode::kString, 6, false, 54), {0x00, 'A', 0xD8, 0x3D, 0xDE, 0x00},
       "A\xF0\x9F\x98\x80"},
      {"utf16le", Column(TypeCode::kString, 2, false, 56), {'A', 0x00}, "A"},
      {"utf32", Column(TypeCode::kString, 4, false, 60), {0x00, 0x01, 0xF6, 0x00}, "\xF0\x9F\x98\x80"},
      {"unknown set, UTF-8 bytes", Column(TypeCode::kString, 2, false, 28), {0xC3, 0xA9}, "\xC3\xA9"},
      {"unknown set, single byte", Column(TypeCode::kString, 2, false, 28), {0xE9, 0x00}, "\xC3\xA9"},
  });
}

TEST(FieldText, VarcharInAFixedRowIsItsLengthThenItsBytes) {
  CheckAll({
      {"1-byte length", Column(TypeCode::kVarchar, 5), {2, 'h', 'i', 0, 0, 0}, "hi"},
      {"empty", Column(TypeCode::kVarchar, 5), {0, 'j', 'u', 'n', 'k', 0}, ""},
      {"length beyond width", Column(TypeCode::kVarchar, 3), {9, 'a', 'b', 'c'}, "abc"},
      {"2-byte length", Column(TypeCode::kVarchar, 300), {3, 0, 'x', 'y', 'z'}, "xyz"},
  });
  // Other readers hand in the value alone.
  EXPECT_EQ(Decode(Column(TypeCode::kVarchar, 5), {'h', 'i'}, FieldSource::kDynamicRow).text, "hi");
  EXPECT_EQ(Decode(Column(TypeCode::kVarchar, 5), {'h', 'i'}, FieldSource::kInnoDbRecord).text, "hi");
}

TEST(FieldText, BinaryValuesAndMarkers) {
  const ColumnDef varbinary = Column(TypeCode::kVarchar, 200, false, kBinaryCollation);
  Cell c = Decode(varbinary, {0x01, 0xAB, 0xFF}, FieldSource::kDynamicRow);
  EXPECT_EQ(c.text, "0x01ABFF");
  EXPECT_EQ(c.kind, CellKind::kBinary);

  c = Decode(varbinary, Bytes(150, 0x41), FieldSource::kDynamicRow);
  EXPECT_EQ(c.text, kBinaryMarker);
  EXPECT_EQ(c.kind, CellKind::kMarker);
  c = Decode(varbinary, Bytes(150, 0x41), FieldSource::kDynamicRow, true);
  EXPECT_EQ(c.text.size(), 302u);
  EXPECT_EQ(c.kind, CellKind::kBinary);

  c = Decode(varbinary, {}, FieldSource::kDynamicRow);
  EXPECT_EQ(c.text, "");
  EXPECT_EQ(c.kind, CellKind::kText);

  // BINARY(4) in a fixed row: the whole width, zero padding included.
  EXPECT_EQ(Decode(Column(TypeCode::kString, 4, false, kBinaryCollation), {'a', 0, 0, 0}).text, "0x61000000");

  const ColumnDef blob = Column(TypeCode::kBlob, 65535, false, kBinaryCollation);
  c = Decode(blob, Bytes(999, 0xAB), FieldSource::kDynamicRow);
  EXPECT_EQ(c.text.size(), 2u + 1998u);
  EXPECT_EQ(c.text.substr(0, 4), "0xAB");
  c = Decode(blob, Bytes(1000, 0xAB), FieldSource::kDynamicRow);
  EXPECT_EQ(c.text, kLargeBlobMarker);
  EXPECT_EQ(c.kind, CellKind::kMarker);
  EXPECT_EQ(Decode(blob, Bytes(1000, 0xAB), FieldSource::kDynamicRow, true).text.size(), 2002u);
  EXPECT_EQ(Decode(blob, Bytes(1000, 0xAB), FieldSource::kInnoDbRecord).text.size(), 2002u);
  EXPECT_EQ(Decode(blob, Bytes(5, 0xAB), FieldSource::kFixedRow).text, "");

  const ColumnDef text = Column(TypeCode::kBlob, 65535, false, 45);
  EXPECT_EQ(Decode(text, {'o', 'k'}, FieldSource::kDynamicRow).text, "ok");

  const ColumnDef geometry = Column(TypeCode::kGeometry, 4, false, kBinaryCollation);
  c = Decode(geometry, {1, 2, 3}, FieldSource::kDynamicRow);
  EXPECT_EQ(c.text, kSpatialMarker);
  EXPECT_EQ(c.kind, CellKind::kMarker);
  EXPECT_EQ(Decode(geometry, {0, 0, 0}, FieldSource::kDynamicRow, true).text, "NULL");
  EXPECT_EQ(Decode(geometry, {'A', 0, 'B'}, FieldSource::kDynamicRow, true).text, "A\\0B");
}

TEST(FieldText, HelperTexts) {
  EXPECT_EQ(PackedDateTimeText(0), "0000-00-00 00:00:00");
  EXPECT_EQ(PackedDateTimeText(20150101130856ull), "2015-01-01 13:08:56");
  EXPECT_EQ(DateTimePartsText(5, 3, 1, 0, 0, 7), "0005-03-01 00:00:07");
  const uint8_t ansi[] = {'a', 0xE9, 0, 'z'};
  EXPECT_EQ(AnsiText(ansi, sizeof ansi), "a\xC3\xA9");
  const uint8_t utf8[] = {'a', 0xC3, 0xA9};
  EXPECT_EQ(Utf8OrAnsiText(utf8, sizeof utf8), "a\xC3\xA9");
  EXPECT_EQ(Utf8OrAnsiText(ansi, sizeof ansi), "a\xC3\xA9");
}

TEST(FieldText, NullCandidates) {
  struct Case {
    int type;
    const char* text;
    bool candidate;
  };
  const std::vector<Case> cases = {
      {TypeCode::kFloat, "0.250000", true},   {TypeCode::kFloat, "-0.250000", false},
      {TypeCode::kFloat, "1.000000", false},  {TypeCode::kNewDecimal, "0.00", true},
      {TypeCode::kLong, "0", true},           {TypeCode::kLong, "0.5", false},
      {TypeCode::kString, "   ", true},       {TypeCode::kString, "a", false},
      {TypeCode::kNewDate, "0000-00-00", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsNullCandidate(Column(c.type), c.text), c.candidate) << c.text;
}

}  // namespace
}  // namespace wexholt
