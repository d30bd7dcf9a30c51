// The .frm reader on hand-built definitions: the NULL-flag byte count, DECIMAL and FLOAT scale
// rules, ENUM/SET value lists, key membership, and the files it must refuse.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>

#include "decoding/DataFile.h"
#include "definitions/FrmBuilder.h"
#include "definitions/FrmReader.h"
#include "definitions/TableReader.h"

namespace wexholt {
namespace {

using testing::FrmBuilder;
using testing::FrmColumn;
using testing::FrmKey;

constexpr uint16_t kNullable = 0x8000;

class FrmReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/wexholt-frm-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = std::string(tmpl) + "/";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Writes the image and reads it with a fresh reader.
  TableDef Read(const std::vector<uint8_t>& image, const std::string& name = "t.frm") {
    const std::string path = dir_ + name;
    testing::WriteBytes(path, image);
    reader_.ResetAll();
    reader_.ReadTableDefinition(path);
    return reader_.tableDef;
  }
  TableDef Read(const FrmBuilder& b) { return Read(b.Build()); }

  static FrmColumn Int(const std::string& name, uint16_t flags = 0x1B) {
    FrmColumn c;
    c.name = name;
    c.packFlags = flags;
    return c;
  }

  std::string dir_;
  DecoderSettings settings_;
  TableReader reader_{&settings_};
};

TEST_F(FrmReaderTest, ReadsHeaderColumnsAndExtraSegment) {
  FrmBuilder b;
  b.engine = 9;
  b.defaultCharset = 45;
  FrmColumn id = Int("id");
  id.unireg = 15;
  id.recordPos = 2;
  FrmColumn name;
  name.name = "name";
  name.type = 15;
  name.length = 80;
  name.packFlags = kNullable;
  name.charset = 45;
  name.comment = "customer name";
  name.recordPos = 6;
  b.columns = {id, name};
  b.recordLength = 87;
  b.defaultRecord = {0xFE, 0, 0, 0, 0, 3, 'a', 'b', 'c'};
  b.tableComment = "the table";
  b.engineName = "MyISAM";
  const TableDef def = Read(b);
  ASSERT_EQ(def.columns.size(), 2u);
  EXPECT_EQ(def.engineType, 9);
  EXPECT_EQ(def.defaultCharset, 45);
  EXPECT_EQ(def.recordLength, 87);
  EXPECT_EQ(def.formatVersion, 10);
  EXPECT_EQ(def.serverVersion, 101119u);
  EXPECT_EQ(def.engineName, "MyISAM");
  EXPECT_EQ(def.tableComment, "the table");
  ASSERT_EQ(def.defaultRecord.size(), 87u);
  EXPECT_EQ(def.defaultRecord[0], 0xFE);
  EXPECT_EQ(def.defaultRecord[6], 'a');
  const ColumnDef& c0 = def.columns[0];
  EXPECT_EQ(c0.name, "id");
  EXPECT_EQ(c0.number, 0);
  EXPECT_EQ(c0.recordPos, 2);
  EXPECT_EQ(c0.typeCode, 3);
  EXPECT_EQ(c0.nullable, 0);
  EXPECT_EQ(c0.isUnsigned, 0);
  EXPECT_EQ(c0.autoIncrement, 1);
  EXPECT_EQ(c0.hasDefault, 0);
  const ColumnDef& c1 = def.columns[1];
  EXPECT_EQ(c1.name, "name");
  EXPECT_EQ(c1.number, 1);
  EXPECT_EQ(c1.length, 80);
  EXPECT_EQ(c1.charsetId, 45);
  EXPECT_EQ(c1.nullable, 1);
  EXPECT_EQ(c1.comment, "customer name");
  EXPECT_EQ(c1.hasDefault, 1);
  EXPECT_TRUE(settings_.newTemporalFormat);
}

TEST_F(FrmReaderTest, LongTableCommentComesFromTheExtraSegment) {
  FrmBuilder b;
  b.columns = {Int("a")};
  b.tableComment = std::string(300, 'y');
  EXPECT_EQ(Read(b).tableComment, std::string(300, 'y'));
}

TEST_F(FrmReaderTest, NullFlagBytes) {
  struct Case {
    const char* what;
    uint16_t createOptions;
    int nullable;
    std::vector<int> bitLengths;  // BIT columns, NOT NULL, stored as bits
    bool bitAsChars;
    int expected;
  };
  const Case cases[] = {
      {"start bit 1, three nullable", 0, 3, {}, false, 1},
      {"start bit 1, seven nullable", 0, 7, {}, false, 1},
      {"start bit 1, eight nullable", 0, 8, {}, false, 2},
      {"packed rows: start bit 0, eight nullable", 1, 8, {}, false, 1},
      {"BIT(10) adds two bits to 1 + 7", 0, 7, {10}, false, 2},
      {"BIT(16) adds nothing", 0, 7, {16}, false, 1},
      {"BIT stored as characters adds nothing", 0, 7, {10}, true, 1},
      {"no nullable, packed", 1, 0, {}, false, 0},
  };
  for (const Case& c : cases) {
    FrmBuilder b;
    b.createOptions = c.createOptions;
    b.columns = {Int("pk")};
    for (int i = 0; i < c.nullable; ++i) b.columns.push_back(Int("n" + std::to_string(i), 0x1B | kNullable));
    for (int len : c.bitLengths) {
      FrmColumn bit;
      bit.name = "bits";
      bit.type = 16;
      bit.length = len;
      bit.packFlags = c.bitAsChars ? 0x1000 : 0;
      b.columns.push_back(bit);
    }
    EXPECT_EQ(Read(b).nullBytes, c.expected) << c.what;
  }
}

TEST_F(FrmReaderTest, NullStartBitIsZeroWhenHeaderByte32IsSet) {
  FrmBuilder b;
  b.byte32 = 1;
  b.columns = {Int("pk")};
  for (int i = 0; i < 8; ++i) b.columns.push_back(Int("n" + std::to_string(i), 0x1B | kNullable));
  const TableDef def = Read(b);
  EXPECT_EQ(def.nullBytes, 1);
  EXPECT_EQ(def.defaultCharset, 0);
}

TEST_F(FrmReaderTest, NumericScaleAndSign) {
  struct Case {
    const char* what;
    int type;
    int length;
    uint16_t packFlags;
    int precision, decimals, isUnsigned, zeroFill;
  };
  const Case cases[] = {
      {"signed DECIMAL(10,2)", 246, 12, 0x0203, 10, 2, 0, 0},
      {"unsigned DECIMAL(10,2)", 246, 11, 0x0202, 10, 2, 1, 0},
      {"signed DECIMAL(5,0)", 246, 6, 0x0003, 5, 0, 0, 0},
      {"DECIMAL(65,30)", 246, 67, 0x1E03, 65, 30, 0, 0},
      {"old DECIMAL(4,1)", 0, 6, 0x0103, 4, 1, 0, 0},
      {"precision below zero becomes 65", 246, 0, 0x0203, 65, 2, 0, 0},
      {"FLOAT without scale", 4, 12, 0x1F23, 0, 0, 0, 0},
      {"FLOAT(7,3)", 4, 7, 0x0323, 7, 3, 0, 0},
      {"DOUBLE(10,4) unsigned", 5, 10, 0x042A, 10, 4, 1, 0},
      {"SMALLINT(3) zerofill", 2, 3, 0x0016, 0, 0, 1, 1},
      {"TINYINT unsigned", 1, 3, 0x000A, 0, 0, 1, 0},
      {"YEAR is not marked unsigned", 13, 4, 0x006E, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    FrmBuilder b;
    FrmColumn col;
    col.name = "v";
    col.type = c.type;
    col.length = c.length;
    col.packFlags = c.packFlags;
    b.columns = {col};
    const TableDef def = Read(b);
    ASSERT_EQ(def.columns.size(), 1u) << c.what;
    EXPECT_EQ(def.columns[0].precision, c.precision) << c.what;
    EXPECT_EQ(def.columns[0].decimals, c.decimals) << c.what;
    EXPECT_EQ(def.columns[0].isUnsigned, c.isUnsigned) << c.what;
    EXPECT_EQ(def.columns[0].zeroFill, c.zeroFill) << c.what;
  }
}

TEST_F(FrmReaderTest, FractionDigitsFollowTheStoredLength) {
  struct Case {
    int type, length, digits;
  };
  const Case cases[] = {{18, 19, 0}, {18, 26, 6}, {12, 19, 0}, {12, 23, 3}, {17, 22, 2}, {7, 19, 0},
                        {19, 10, 0}, {19, 14, 3}, {11, 8, 0}, {11, 17, 6}, {3, 26, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(FractionDigitsFromLength(c.type, c.length), c.digits) << c.type << " " << c.length;
  }
}

TEST_F(FrmReaderTest, EnumAndSetValueLists) {
  FrmBuilder b;
  b.valueLists = {{"x", "", "y"}, {"p", "q"}, {"s1", "s2"}};
  auto member = [](const std::string& name, int type, int interval) {
    FrmColumn c;
    c.name = name;
    c.type = type;
    c.length = 1;
    c.packFlags = 0x0108 | kNullable;
    c.charset = 45;
    c.interval = interval;
    return c;
  };
  // e1 and e2 share list 1; s has no list number and is the third ENUM/SET column: list 3.
  b.columns = {member("e1", 247, 1), member("e2", 247, 1), member("s", 248, 0), member("e3", 247, 2)};
  const TableDef def = Read(b);
  ASSERT_EQ(def.columns.size(), 4u);
  EXPECT_EQ(def.columns[0].enumText, "'x','y'");
  EXPECT_EQ(def.columns[1].enumText, "'x','y'");
  EXPECT_EQ(def.columns[2].enumText, "'s1','s2'");
  EXPECT_EQ(def.columns[3].enumText, "'p','q'");
  EXPECT_EQ(def.columns[0].enumMembers, (std::vector<std::string>{"x", "", "y"}));
  EXPECT_EQ(def.enumValues, (std::vector<std::string>{"x", "", "y", "p", "q", "s1", "s2"}));
}

TEST_F(FrmReaderTest, EnumListNumberBeyondTheListsGivesNoText) {
  FrmBuilder b;
  b.valueLists = {{"a"}};
  FrmColumn c;
  c.name = "e";
  c.type = 247;
  c.interval = 5;
  b.columns = {c};
  const TableDef def = Read(b);
  ASSERT_EQ(def.columns.size(), 1u);
  EXPECT_EQ(def.columns[0].enumText, "");
  EXPECT_TRUE(def.columns[0].enumMembers.empty());
}

TEST_F(FrmReaderTest, KeyMembership) {
  FrmBuilder b;
  b.columns = {Int("a"), Int("b"), Int("c"), Int("d")};
  FrmKey primary{0x0000, 0, {{1, 4}, {2, 4}}, ""};
  FrmKey unique{0x0000, 0, {{3, 4}}, ""};
  FrmKey plain{0x0001, 0, {{4, 4}}, "a comment"};
  FrmKey broken{0x0000, 0, {{0, 4}, {9, 4}}, ""};
  b.keys = {primary, unique, plain, broken};
  b.keyNames = {"primary", "uk", "ix", "junk"};
  const TableDef def = Read(b);
  ASSERT_EQ(def.columns.size(), 4u);
  EXPECT_EQ(def.columns[0].inPrimaryKey, 1);
  EXPECT_EQ(def.columns[1].inPrimaryKey, 1);
  EXPECT_EQ(def.columns[0].inUniqueKey, 0);
  EXPECT_EQ(def.columns[2].inUniqueKey, 1);
  EXPECT_EQ(def.columns[2].inPrimaryKey, 0);
  EXPECT_EQ(def.columns[3].inUniqueKey, 0);
  EXPECT_EQ(def.columns[3].inPrimaryKey, 0);
  ASSERT_EQ(def.indexes.size(), 4u);
  EXPECT_TRUE(def.indexes[0].primary);
  EXPECT_TRUE(def.indexes[0].unique);
  EXPECT_EQ(def.indexes[0].parts.size(), 2u);
  EXPECT_EQ(def.indexes[1].name, "uk");
  EXPECT_TRUE(def.indexes[1].unique);
  EXPECT_FALSE(def.indexes[2].unique);
  EXPECT_EQ(def.indexes[2].comment, "a comment");
}

TEST_F(FrmReaderTest, KeysWithoutNamesAreNeverPrimary) {
  FrmBuilder b;
  b.columns = {Int("a"), Int("b")};
  b.keys = {FrmKey{0x0000, 0, {{1, 4}}, ""}, FrmKey{0x0000, 0, {{2, 4}}, ""}};
  b.keyNames = {"u1"};  // one name for two keys
  TableDef def = Read(b);
  ASSERT_EQ(def.columns.size(), 2u);
  EXPECT_EQ(def.columns[0].inUniqueKey, 1);
  EXPECT_EQ(def.columns[1].inUniqueKey, 1);
  EXPECT_EQ(def.columns[1].inPrimaryKey, 0);
  EXPECT_EQ(def.indexes[1].name, "");

  b.keyNames = {};
  b.keys = {FrmKey{0x0000, 0, {{1, 4}}, ""}};
  def = Read(b);
  ASSERT_EQ(def.columns.size(), 2u);
  EXPECT_EQ(def.columns[0].inPrimaryKey, 0);
  EXPECT_EQ(def.columns[0].inUniqueKey, 1);
}

TEST_F(FrmReaderTest, IndexKindsAndPrefixLengths) {
  FrmBuilder b;
  FrmColumn name;
  name.name = "name";
  name.type = 15;
  name.length = 80;
  name.charset = 45;
  name.packFlags = 0;
  FrmColumn body = name;
  body.name = "body";
  body.type = 252;
  body.length = 8;
  body.packFlags = 0x0410;
  FrmColumn shape;
  shape.name = "shape";
  shape.type = 255;
  shape.charset = 1;
  shape.packFlags = 0x0819;
  b.columns = {name, body, shape};
  b.keys = {FrmKey{0x0001, 0, {{1, 80}}, ""}, FrmKey{0x0001, 0, {{1, 20}, {2, 40}}, ""},
            FrmKey{0x0081, 4, {{2, 0}}, ""}, FrmKey{0x0401, 2, {{3, 4}}, ""}};
  b.keyNames = {"whole", "prefix", "ft", "sp"};
  const TableDef def = Read(b);
  ASSERT_EQ(def.indexes.size(), 4u);
  EXPECT_EQ(def.indexes[0].parts[0].prefixLength, 0);
  EXPECT_EQ(def.indexes[1].parts[0].prefixLength, 20);
  EXPECT_EQ(def.indexes[1].parts[1].prefixLength, 40);
  EXPECT_TRUE(def.indexes[2].fulltext);
  EXPECT_EQ(def.indexes[2].parts[0].prefixLength, 0);
  EXPECT_TRUE(def.indexes[3].spatial);
  EXPECT_EQ(def.columns[2].geometryType, 1);
}

TEST_F(FrmReaderTest, RefusedFilesLeaveTheDefinitionAlone) {
  FrmBuilder good;
  good.engine = 9;
  good.columns = {Int("a")};
  const std::vector<uint8_t> image = good.Build();

  std::vector<uint8_t> badMarker = image;
  badMarker[1] = 0x02;
  std::vector<uint8_t> version8 = image;
  version8[2] = 8;
  std::vector<uint8_t> header64(image.begin(), image.begin() + 64);
  std::vector<uint8_t> header67(image.begin(), image.begin() + 67);
  std::vector<uint8_t> short63(image.begin(), image.begin() + 63);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {{"marker", badMarker}, {"version 8", version8}, {"64 bytes", header64},
                        {"67 bytes", header67}, {"63 bytes", short63}};
  for (const Case& c : cases) {
    testing::WriteBytes(dir_ + "bad.frm", c.bytes);
    reader_.ResetAll();
    reader_.tableDef.engineType = 77;
    reader_.tableDef.recordLength = 5;
    reader_.ReadTableDefinition(dir_ + "bad.frm");
    EXPECT_TRUE(reader_.tableDef.columns.empty()) << c.what;
    EXPECT_EQ(reader_.tableDef.engineType, 77) << c.what;
    EXPECT_EQ(reader_.tableDef.recordLength, 5) << c.what;
  }
  reader_.ReadTableDefinition(dir_ + "missing.frm");
  EXPECT_TRUE(reader_.tableDef.columns.empty());
}

TEST_F(FrmReaderTest, LaterFailuresAddNoColumnButKeepTheEngineCode) {
  FrmBuilder b;
  b.engine = 9;
  b.columns = {Int("a"), Int("b")};
  b.columnCountOverride = 3;  // the name list gives one name fewer than the column count
  reader_.tableDef.recordLength = 5;
  testing::WriteBytes(dir_ + "t.frm", b.Build());
  reader_.ReadTableDefinition(dir_ + "t.frm");
  EXPECT_TRUE(reader_.tableDef.columns.empty());
  EXPECT_EQ(reader_.tableDef.engineType, 9);
  EXPECT_EQ(reader_.tableDef.recordLength, 5);

  // A field section that runs past the end of the file.
  b.columnCountOverride = -1;
  std::vector<uint8_t> cut = b.Build();
  cut.resize(cut.size() - 3);
  EXPECT_TRUE(Read(cut).columns.empty());

  // A form offset beyond the file.
  std::vector<uint8_t> noForm = b.Build();
  FrmBuilder::Put32(noForm, 64 + b.namesPart.size(), 0x7FFFFFF0);
  EXPECT_TRUE(Read(noForm).columns.empty());
}

TEST_F(FrmReaderTest, KeySectionClaimingMoreThanTheFileIsReadAsZeros) {
  FrmBuilder b;
  b.columns = {Int("a")};
  b.keys = {FrmKey{0x0000, 0, {{1, 4}}, ""}};
  b.keyNames = {"PRIMARY"};
  std::vector<uint8_t> image = b.Build();
  // Claim 200 keys with 250 parts in a section 60000 bytes long: the walk must stay bounded.
  const size_t keyOffset = image[6] | (image[7] << 8);
  image[keyOffset] = 200;
  image[keyOffset + 1] = 250;
  FrmBuilder::Put16(image, 28, 60000);
  const TableDef def = Read(image);
  ASSERT_EQ(def.columns.size(), 1u);
  EXPECT_EQ(def.columns[0].inPrimaryKey, 0);  // the names are not where the walk ends
}

TEST_F(FrmReaderTest, TemporalFlagFollowsTheServerVersion) {
  FrmBuilder b;
  b.columns = {Int("a")};
  b.serverVersion = 50600;
  Read(b);
  EXPECT_TRUE(settings_.newTemporalFormat);
  b.serverVersion = 50599;
  Read(b);
  EXPECT_FALSE(settings_.newTemporalFormat);
}

TEST_F(FrmReaderTest, OldElevenByteColumnRecords) {
  for (uint8_t version : {6, 7}) {
    FrmBuilder b;
    b.version = version;
    FrmColumn a;
    a.name = "a";
    a.length = 11;
    a.packFlags = 0x8000 | 0x4000 | (3 << 3);  // nullable, type 3
    a.recordPos = 2;
    b.columns = {a};
    b.keys = {FrmKey{0x0000, 0, {{1, 4}}, ""}};
    b.keyNames = {"PRIMARY"};
    const TableDef def = Read(b);
    ASSERT_EQ(def.columns.size(), 1u) << int(version);
    EXPECT_EQ(def.columns[0].typeCode, 3);
    EXPECT_EQ(def.columns[0].length, 11);
    EXPECT_EQ(def.columns[0].recordPos, 2);
    EXPECT_EQ(def.columns[0].nullable, 1);
    EXPECT_EQ(def.columns[0].charsetId, 0);
    EXPECT_EQ(def.columns[0].inPrimaryKey, 1) << int(version);
  }
}

TEST_F(FrmReaderTest, ExpressionBlockOfVersion11) {
  FrmBuilder b;
  b.version = 11;
  b.columns = {Int("a", 0x1B | kNullable), Int("v", 0x1B | kNullable), Int("s", 0x1B | kNullable),
               Int("d", 0x1B | kNullable)};
  b.AddExpression(0, 1, "v", "`a` * 2");
  b.AddExpression(1, 2, "s", "`a` + 3");
  b.AddExpression(2, 3, "d", "`a` - 1");
  b.AddExpression(3, 0, "a", "`a` > 1");
  b.AddExpression(4, 0xFFFF, "CONSTRAINT_1", "`a` < 9");
  b.AddExpression(2, 40, "x", "1");  // a column index beyond the columns marks nothing
  b.expressionBlock.resize(b.expressionBlock.size() + 3, 0xEE);  // a cut record at the end
  const TableDef def = Read(b);
  ASSERT_EQ(def.columns.size(), 4u);
  EXPECT_EQ(def.columns[1].generationExpression, "`a` * 2");
  EXPECT_EQ(def.columns[1].generatedStored, 0);
  EXPECT_EQ(def.columns[1].hasDefault, 0);
  EXPECT_EQ(def.columns[2].generationExpression, "`a` + 3");
  EXPECT_EQ(def.columns[2].generatedStored, 1);
  EXPECT_EQ(def.columns[3].defaultExpression, "`a` - 1");
  EXPECT_EQ(def.checkConstraints,
            (std::vector<std::string>{"CHECK (`a` > 1)", "CONSTRAINT `CONSTRAINT_1` CHECK (`a` < 9)"}));

  // Version 10 files have no expression block: the same bytes are not read as one.
  b.version = 10;
  const TableDef old = Read(b);
  ASSERT_EQ(old.columns.size(), 4u);
  EXPECT_EQ(old.columns[3].defaultExpression, "");
  EXPECT_TRUE(old.checkConstraints.empty());
}

TEST_F(FrmReaderTest, NamesAreReadAsUtf8OrWindows1252) {
  FrmBuilder b;
  b.columns = {Int("gr\xC3\xB6\xC3\x9F" "e"), Int("caf\xE9")};
  const TableDef def = Read(b);
  ASSERT_EQ(def.columns.size(), 2u);
  EXPECT_EQ(def.columns[0].name, "gr\xC3\xB6\xC3\x9F" "e");
  EXPECT_EQ(def.columns[1].name, "caf\xC3\xA9");
}

TEST_F(FrmReaderTest, DefinitionsAreOpenedReadOnly) {
  FrmBuilder b;
  b.columns = {Int("a")};
  const std::string path = dir_ + "ro.frm";
  testing::WriteBytes(path, b.Build());
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  std::vector<int> flags;
  DataFile::OpenObserver() = [&](const std::string&, int f) { flags.push_back(f); };
  reader_.ReadTableDefinition(path);
  DataFile::OpenObserver() = nullptr;
  EXPECT_EQ(reader_.tableDef.columns.size(), 1u);
  ASSERT_FALSE(flags.empty());
  for (int f : flags) EXPECT_EQ(f & O_ACCMODE, O_RDONLY);
}

TEST(SeparatorList, Splitting) {
  struct Case {
    std::string bytes;
    std::vector<std::string> names;
    size_t end;
  };
  const Case cases[] = {
      {std::string("\xFF" "a\xFF" "bc\xFF", 6) + '\0', {"a", "bc"}, 7},
      {std::string(1, '\0') + "rest", {}, 1},
      {std::string("\xFF" "a\xFF\xFF" "b\xFF", 6) + '\0', {"a", "", "b"}, 7},
      {",x,y,", {"x", "y"}, 5},            // no zero byte: ends at the view's end
      {"\xFF" "cut", {"cut"}, 4},           // no closing separator
  };
  for (const Case& c : cases) {
    size_t cursor = 0;
    EXPECT_EQ(SplitSeparatorList(ByteView(c.bytes), cursor), c.names) << c.bytes;
    EXPECT_EQ(cursor, c.end) << c.bytes;
  }
}

}  // namespace
}  // namespace wexholt
