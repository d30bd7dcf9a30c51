// The MyISAM readers on small hand-made .MYI and .MYD images: block headers, the header lists,
// deleted slots and NULL flags of fixed rows, and the page loop over damaged block chains.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "definitions/TableReader.h"

namespace wexholt {
namespace {

using Bytes = std::vector<uint8_t>;

std::string WriteFile(const std::string& name, const Bytes& bytes) {
  const std::string path = ::testing::TempDir() + "wexholt-myi-" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

void PutBe(Bytes& b, size_t at, uint64_t value, size_t width) {
  if (b.size() < at + width) b.resize(at + width, 0);
  for (size_t i = 0; i < width; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * (width - 1 - i)));
}

void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

ColumnDef Column(const char* name, int type, int length, int recordPos, bool nullable) {
  ColumnDef c;
  c.name = name;
  c.typeCode = type;
  c.length = length;
  c.recordPos = recordPos;
  c.nullable = nullable;
  c.charsetId = 8;
  return c;
}

MyisamField Field(int16_t type, uint16_t length, uint8_t nullBit = 0, uint16_t nullPos = 0) {
  MyisamField f;
  f.storageType = type;
  f.storedLength = length;
  f.nullBit = nullBit;
  f.nullPos = nullPos;
  return f;
}

std::vector<std::string> Texts(const Row& row) {
  std::vector<std::string> t;
  for (const auto& c : row) t.push_back(c.text);
  return t;
}

class MyisamReader : public ::testing::Test {
 protected:
  DecoderSettings settings;
  TableReader reader{&settings};
};

TEST_F(MyisamReader, BlockHeaders) {
  struct Case {
    const char* what;
    Bytes header;
    uint32_t secondRead;
    uint32_t flags;
    uint32_t recordSize, dataLength, blockLength;
    uint64_t dataPosition, nextPosition;
    uint32_t secondReadAfter;
  };
  constexpr uint64_t P = 8;
  const std::vector<Case> cases = {
      {"whole record", {0x01, 0x00, 0x10}, 0, 3, 16, 16, 16, P + 3, 0, 0},
      {"whole record, 3-byte length", {0x02, 0x01, 0x00, 0x10}, 0, 3, 0x10010, 0x10010, 0x10010, P + 4, 0, 0},
      {"whole record with unused bytes", {0x03, 0x00, 0x10, 0x04}, 0, 3, 16, 16, 20, P + 4, 0, 0},
      {"deleted", {0x00, 0x00, 0x00, 0x40, 0, 0, 0, 0, 0, 0, 0, 0x99}, 0, 4, 0, 0, 64, P, 0x99, 0},
      {"continuation where a record starts", {0x07, 0x00, 0x05}, 0, 2 | 16, 0, 5, 5, P + 3, 0, 0},
      {"first of several", {0x05, 0x00, 0x30, 0x00, 0x10, 0, 0, 0, 0, 0, 0, 0x01, 0x00}, 0, 1, 0x30, 0x10, 0x10,
       P + 13, 0x100, 1},
      {"last of several", {0x07, 0x00, 0x20}, 1, 2, 0, 0x20, 0x20, P + 3, 0, 1},
      {"last with unused bytes", {0x09, 0x00, 0x20, 0x03}, 1, 2, 0, 0x20, 0x23, P + 4, 0, 1},
      {"middle", {0x0B, 0x00, 0x20, 0, 0, 0, 0, 0, 0, 0x02, 0x00}, 1, 0, 0, 0x20, 0x20, P + 11, 0x200, 1},
      {"record start where a continuation follows", {0x01, 0x00, 0x10}, 1, 3 | 16, 16, 16, 16, P + 3, 0, 1},
      {"long record", {0x0D, 0x00, 0x01, 0x00, 0x00, 0x00, 0x10, 0x00, 0, 0, 0, 0, 0, 0, 0x03, 0x00}, 0, 1,
       0x10000, 0x1000, 0x1000, P + 16, 0x300, 1},
  };
  for (const auto& c : cases) {
    Bytes file(P, 0xEE);
    Append(file, c.header);
    file.resize(64, 0);
    ASSERT_TRUE(reader.OpenMyisamData(WriteFile("blocks.MYD", file)));
    BlockInfo info;
    info.secondRead = c.secondRead;
    EXPECT_EQ(reader.ReadBlockHeader(P, info), c.flags) << c.what;
    EXPECT_EQ(info.recordSize, c.recordSize) << c.what;
    EXPECT_EQ(info.dataLength, c.dataLength) << c.what;
    EXPECT_EQ(info.blockLength, c.blockLength) << c.what;
    EXPECT_EQ(info.dataPosition, c.dataPosition) << c.what;
    EXPECT_EQ(info.nextPosition, c.nextPosition) << c.what;
    EXPECT_EQ(info.secondRead, c.secondReadAfter) << c.what;
  }
  // A type byte above 13 comes back as it is; the record keeps its values.
  ASSERT_TRUE(reader.OpenMyisamData(WriteFile("blocks.MYD", Bytes{0x2A, 0x00, 0x10})));
  BlockInfo info;
  info.dataLength = 77;
  EXPECT_EQ(reader.ReadBlockHeader(0, info), 0x2Au);
  EXPECT_EQ(info.dataLength, 77u);
}

// A .MYI of the given options: header, base information, keys, then the column entries.
Bytes IndexFile(uint16_t options, const std::vector<MyisamField>& fields, uint8_t keySegments) {
  Bytes b(24, 0);
  PutBe(b, 0, 0xFEFE0701, 4);
  PutBe(b, 4, options, 2);
  PutBe(b, 12, 24, 2);  // base information right after the header
  Bytes base(100, 0);
  PutBe(base, 48, 21, 4);   // packed record length
  PutBe(base, 52, 9, 4);    // minimum packed length
  PutBe(base, 64, fields.size(), 4);
  base[74] = keySegments ? 1 : 0;
  PutBe(base, 76, 1, 2);    // pack bit bytes
  Append(b, base);
  if (keySegments) {
    Bytes key(12 + 18 * keySegments, 0xAB);
    key[0] = keySegments;
    Append(b, key);
  }
  for (const auto& f : fields) {
    Bytes e(7, 0);
    PutBe(e, 0, static_cast<uint16_t>(f.storageType), 2);
    PutBe(e, 2, f.storedLength, 2);
    e[4] = f.nullBit;
    PutBe(e, 5, f.nullPos, 2);
    Append(b, e);
  }
  return b;
}

TEST_F(MyisamReader, IndexFileHeader) {
  const std::vector<MyisamField> fields = {Field(0, 1), Field(0, 4), Field(1, 10, 2, 0)};
  struct Case {
    uint16_t options;
    int32_t rowFormat;
  } cases[] = {{0x0000, kRowFormatFixed}, {0x0001, kRowFormatDynamic}, {0x0005, kRowFormatCompressed}};
  for (const auto& c : cases) {
    ASSERT_TRUE(reader.ReadMyisamHeader(WriteFile("h.MYI", IndexFile(c.options, fields, 2))));
    EXPECT_EQ(reader.rowFormat, c.rowFormat) << c.options;
    EXPECT_EQ(reader.baseInfo.packedRecordLength, 21u);
    EXPECT_EQ(reader.baseInfo.minPackLength, 9u);
    ASSERT_EQ(reader.myisamFields.size(), 3u);  // read again, not appended
    EXPECT_EQ(reader.myisamFields[2].storageType, 1);
    EXPECT_EQ(reader.myisamFields[2].storedLength, 10);
    EXPECT_EQ(reader.myisamFields[2].nullBit, 2);
  }
  // A file that ends inside the column list keeps the entries before its end.
  Bytes cut = IndexFile(0, fields, 0);
  cut.resize(cut.size() - 3);
  ASSERT_TRUE(reader.ReadMyisamHeader(WriteFile("cut.MYI", cut)));
  EXPECT_EQ(reader.myisamFields.size(), 2u);

  EXPECT_FALSE(reader.ReadMyisamHeader(WriteFile("short.MYI", Bytes(24, 0))));
  EXPECT_FALSE(reader.ReadMyisamHeader(::testing::TempDir() + "wexholt-myi-missing.MYI"));
}

// (a INT NOT NULL, b INT NULL, c CHAR(3) NULL) in fixed rows: one NULL-flag byte whose bit 0 is
// the reserved bit, b's flag 2, c's flag 4.
void SetFixedTable(TableReader& r) {
  r.tableDef.columns = {Column("a", TypeCode::kLong, 11, 2, false), Column("b", TypeCode::kLong, 11, 6, true),
                        Column("c", TypeCode::kString, 3, 10, true)};
  r.tableDef.nullBytes = 1;
  r.tableDef.recordLength = 12;
  r.rowFormat = kRowFormatFixed;
  r.baseInfo.packedRecordLength = 12;
  r.myisamFields = {Field(0, 1), Field(0, 4), Field(0, 4, 2, 0), Field(0, 3, 4, 0)};
}

Bytes FixedRow(uint8_t flags, uint32_t a, uint32_t b, const char* c) {
  Bytes row = {flags, static_cast<uint8_t>(a), static_cast<uint8_t>(a >> 8), 0, 0, static_cast<uint8_t>(b), 0, 0, 0};
  for (int i = 0; i < 3; ++i) row.push_back(static_cast<uint8_t>(c[i]));
  return row;
}

TEST_F(MyisamReader, FixedRowsSkipDeletedSlotsAndTrustTheNullFlag) {
  SetFixedTable(reader);
  Bytes file;
  Append(file, FixedRow(0x01, 1, 0, "ab "));   // b present and 0
  Append(file, FixedRow(0x03, 2, 7, "x  "));   // b flagged NULL though its bytes hold 7
  Bytes deleted(12, 0xFF);
  deleted[0] = 0;                              // a deleted slot: zero byte, then the free-list link
  Append(file, deleted);
  Append(file, FixedRow(0x05, 4, 9, "\0\0\0"));  // c NULL
  ASSERT_TRUE(reader.OpenMyisamData(WriteFile("fixed.MYD", file)));
  reader.ReadMyisamPage(0);
  ASSERT_EQ(reader.rowPage.size(), 3u);
  EXPECT_EQ(Texts(reader.rowPage[0]), (std::vector<std::string>{"1", "0", "ab "}));
  EXPECT_EQ(Texts(reader.rowPage[1]), (std::vector<std::string>{"2", "NULL", "x  "}));
  EXPECT_EQ(reader.rowPage[1][1].kind, CellKind::kNull);
  EXPECT_EQ(Texts(reader.rowPage[2]), (std::vector<std::string>{"4", "9", "NULL"}));
  EXPECT_FALSE(reader.pageFull);
}

TEST_F(MyisamReader, FixedRowPagesCountLiveRowsOnly) {
  SetFixedTable(reader);
  Bytes file;
  Bytes deleted(12, 0);
  Append(file, deleted);
  for (uint32_t i = 1; i <= 2500; ++i) Append(file, FixedRow(0x01, i, 0, "abc"));
  ASSERT_TRUE(reader.OpenMyisamData(WriteFile("pages.MYD", file)));
  reader.resumePositions.push_back({0, 0});
  reader.ReadMyisamPage(0);
  ASSERT_EQ(reader.rowPage.size(), 1000u);
  EXPECT_TRUE(reader.pageFull);
  ASSERT_EQ(reader.resumePositions.size(), 2u);
  EXPECT_EQ(reader.resumePositions.back().offset, 1001u * 12);
  EXPECT_EQ(reader.rowPage.back()[0].text, "1000");

  reader.rowPage.clear();
  reader.ReadMyisamPage(reader.resumePositions.back().offset);
  EXPECT_EQ(reader.rowPage.front()[0].text, "1001");
  reader.rowPage.clear();
  reader.ReadMyisamPage(reader.resumePositions.back().offset);
  EXPECT_EQ(reader.rowPage.size(), 500u);
  EXPECT_FALSE(reader.pageFull);
  EXPECT_EQ(reader.resumePositions.size(), 3u);

  // Previous re-reads a page without recording positions.
  reader.rowPage.clear();
  reader.suppressPositions = true;
  reader.ReadMyisamPage(reader.resumePositions[1].offset);
  EXPECT_EQ(reader.rowPage.size(), 1000u);
  EXPECT_EQ(reader.resumePositions.size(), 3u);
}

TEST_F(MyisamReader, RowStep) {
  struct Case {
    int32_t recordLength;
    uint32_t packedLength;
    size_t fileLength;
    size_t rows;
  } cases[] = {
      {12, 12, 120, 10},  // equal lengths
      {12, 13, 130, 10},  // a checksum byte after each row: the packed length steps
      {12, 120, 120, 10},  // the packed length is not smaller than the file: recordLength steps
      {12, 0, 120, 10},   // no .MYI sizes: recordLength steps
  };
  for (const auto& c : cases) {
    SetFixedTable(reader);
    reader.tableDef.recordLength = c.recordLength;
    reader.baseInfo.packedRecordLength = c.packedLength;
    Bytes file;
    while (file.size() < c.fileLength) {
      Append(file, FixedRow(0x01, static_cast<uint32_t>(file.size() + 1), 0, "abc"));
      file.resize(file.size() + (c.packedLength == 13 ? 1 : 0), 0);
    }
    ASSERT_TRUE(reader.OpenMyisamData(WriteFile("step.MYD", file)));
    reader.rowPage.clear();
    reader.ReadMyisamPage(0);
    EXPECT_EQ(reader.rowPage.size(), c.rows) << c.packedLength;
  }
}

TEST_F(MyisamReader, AMissingIndexFileLeavesNoEarlierHeader) {
  ASSERT_TRUE(reader.ReadMyisamHeader(WriteFile("dyn.MYI", IndexFile(0x0001, {Field(0, 1)}, 0))));
  EXPECT_EQ(reader.rowFormat, kRowFormatDynamic);
  SetFixedTable(reader);
  reader.myisamFields.clear();
  EXPECT_FALSE(reader.ReadMyisamHeader(::testing::TempDir() + "wexholt-myi-missing.MYI"));
  EXPECT_EQ(reader.rowFormat, kRowFormatFixed);
  EXPECT_EQ(reader.baseInfo.packedRecordLength, 0u);
  Bytes file;
  for (uint32_t i = 1; i <= 3; ++i) Append(file, FixedRow(0x01, i, 0, "abc"));
  ASSERT_TRUE(reader.OpenMyisamData(WriteFile("nomyi.MYD", file)));
  reader.ReadMyisamPage(0);
  ASSERT_EQ(reader.rowPage.size(), 3u);
  EXPECT_EQ(reader.rowPage[2][0].text, "3");
}

TEST_F(MyisamReader, FixedRowStepOfZeroEndsThePage) {
  SetFixedTable(reader);
  reader.tableDef.recordLength = 0;
  reader.baseInfo.packedRecordLength = 0;
  reader.baseInfo.baseRecordLength = 12;
  Bytes file;
  for (uint32_t i = 1; i <= 3; ++i) Append(file, FixedRow(0x01, i, 0, "abc"));
  ASSERT_TRUE(reader.OpenMyisamData(WriteFile("zerostep.MYD", file)));
  reader.ReadMyisamPage(12);  // started elsewhere than 0, the scan would otherwise stand still
  EXPECT_EQ(reader.rowPage.size(), 1u);
  EXPECT_FALSE(reader.pageFull);
}

// (a INT NOT NULL, c CHAR(20) NULL) in dynamic rows: entries NULL area, a (zero omitted), c (end
// spaces removed, NULL flag 1); one pack-flag byte: bit 0 for a, bit 1 for c.
void SetDynamicTable(TableReader& r) {
  r.tableDef.columns = {Column("a", TypeCode::kLong, 11, 2, false), Column("c", TypeCode::kString, 20, 6, true)};
  r.tableDef.nullBytes = 1;
  r.tableDef.recordLength = 25;
  r.tableDef.createOptions = 1;
  r.rowFormat = kRowFormatDynamic;
  r.myisamFields = {Field(0, 1), Field(3, 4), Field(1, 20, 1, 0)};
  r.baseInfo.packBitBytes = 1;
  r.baseInfo.minPackLength = 2;
}

// The packed record of (a, c): c NULL when text is nullptr.
Bytes Packed(uint32_t a, const char* text) {
  const uint8_t packBits = static_cast<uint8_t>((a == 0 ? 1 : 0) | 2);
  Bytes r = {packBits, static_cast<uint8_t>(text ? 0 : 1)};
  if (a) Append(r, {static_cast<uint8_t>(a), 0, 0, 0});
  const std::string s = text ? text : "";
  r.push_back(static_cast<uint8_t>(s.size()));
  r.insert(r.end(), s.begin(), s.end());
  return r;
}

Bytes WholeBlock(const Bytes& record) {
  Bytes b = {0x01, 0x00, static_cast<uint8_t>(record.size())};
  Append(b, record);
  return b;
}

TEST_F(MyisamReader, DynamicRecordsAcrossDeletedAndSplitBlocks) {
  SetDynamicTable(reader);
  Bytes file;
  Bytes freeBlock(20, 0);  // type 0, 20 bytes of free space
  freeBlock[3] = 20;
  Append(file, freeBlock);

  // A record that grew: its first block here, its rest in a type 7 block further on.
  const Bytes grown = Packed(7, "a longer value");  // 2 + 4 + 1 + 14 = 21 bytes
  const size_t split = 9;
  const size_t firstAt = file.size();
  Bytes first = {0x05, 0x00, static_cast<uint8_t>(grown.size()), 0x00, static_cast<uint8_t>(split)};
  Bytes next(8, 0);
  first.insert(first.end(), next.begin(), next.end());
  first.insert(first.end(), grown.begin(), grown.begin() + split);
  Append(file, first);
  Append(file, WholeBlock(Packed(0, nullptr)));  // a = 0 omitted, c NULL
  Append(file, WholeBlock(Packed(3, "abc")));
  const size_t restAt = file.size();
  Bytes rest = {0x07, 0x00, static_cast<uint8_t>(grown.size() - split)};
  rest.insert(rest.end(), grown.begin() + split, grown.end());
  Append(file, rest);
  Append(file, WholeBlock(Packed(5, "")));
  PutBe(file, firstAt + 5, restAt, 8);

  ASSERT_TRUE(reader.OpenMyisamData(WriteFile("dynamic.MYD", file)));
  reader.ReadMyisamPage(0);
  ASSERT_EQ(reader.rowPage.size(), 4u);
  EXPECT_EQ(Texts(reader.rowPage[0]), (std::vector<std::string>{"7", "a longer value"}));
  EXPECT_EQ(Texts(reader.rowPage[1]), (std::vector<std::string>{"0", "NULL"}));
  EXPECT_EQ(Texts(reader.rowPage[2]), (std::vector<std::string>{"3", "abc"}));
  EXPECT_EQ(Texts(reader.rowPage[3]), (std::vector<std::string>{"5", ""}));
}

// A whole-record block as the server lays it out: type 3 (length, unused bytes), padded so that the
// block is at least 20 bytes and a multiple of 4 long.
Bytes AlignedBlock(const Bytes& record) {
  size_t length = 4 + record.size();
  length = length < 20 ? 20 : (length + 3) / 4 * 4;
  Bytes b = {0x03, 0x00, static_cast<uint8_t>(record.size()), static_cast<uint8_t>(length - 4 - record.size())};
  Append(b, record);
  b.resize(length, 0);
  return b;
}

// A damaged region between two intact records: the scan skips it, resumes at the next block
// header and counts one damaged region.
TEST_F(MyisamReader, DamagedRegionsAreSkippedToTheNextBlock) {
  SetDynamicTable(reader);
  Bytes unpackable = AlignedBlock(Packed(3, "xyz"));
  unpackable[4 + 6] = 200;  // the text length runs past the record's end
  // Junk holding bytes that look like a block with a record in it, but followed by more junk: the
  // search must not take them.
  Bytes fakeHeader = {0x2A, 0, 0, 0};
  Append(fakeHeader, AlignedBlock(Packed(77, "fake")));
  Append(fakeHeader, {0xEE, 0xEE, 0xEE, 0xEE});
  struct Case {
    const char* what;
    Bytes damage;
  };
  const std::vector<Case> cases = {
      {"type byte above 13", {0x2A, 0x00, 0x10, 0x00, 1, 2, 3, 4}},
      {"deleted block of length 0", Bytes(20, 0)},
      {"zeroed region", Bytes(64, 0)},
      {"record longer than the file",
       {0x0D, 0x7F, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x04, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4}},
      {"continuation leading outside the file",
       {0x05, 0x00, 0x20, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x7F, 0x00, 0x00, 0x00, 1, 2, 3, 4, 0, 0, 0}},
      {"record that cannot be unpacked", unpackable},
      {"bytes that parse as a header whose following block does not", fakeHeader},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(c.damage.size() % 4, 0u);
    Bytes file = AlignedBlock(Packed(1, "ok"));
    Append(file, c.damage);
    Append(file, AlignedBlock(Packed(2, "after")));
    Append(file, AlignedBlock(Packed(4, "last")));
    ASSERT_TRUE(reader.OpenMyisamData(WriteFile("damaged.MYD", file)));
    reader.rowPage.clear();
    reader.resumePositions.clear();
    reader.damagedPagesSkipped = 0;
    reader.ReadMyisamPage(0);
    ASSERT_EQ(reader.rowPage.size(), 3u);
    EXPECT_EQ(Texts(reader.rowPage[0]), (std::vector<std::string>{"1", "ok"}));
    EXPECT_EQ(Texts(reader.rowPage[1]), (std::vector<std::string>{"2", "after"}));
    EXPECT_EQ(Texts(reader.rowPage[2]), (std::vector<std::string>{"4", "last"}));
    EXPECT_EQ(reader.damagedPagesSkipped, 1u);
    EXPECT_FALSE(reader.pageFull);
    EXPECT_TRUE(reader.resumePositions.empty());
  }
}

// Damage at the end of the file (a cut-off record, junk with no block after it) ends the scan there;
// damage right at a page boundary is met once, by the page that starts there.
TEST_F(MyisamReader, DamageAtTheEndAndAtPageBoundaries) {
  SetDynamicTable(reader);
  Bytes cutOff = AlignedBlock(Packed(9, "cut off"));
  cutOff.resize(9);
  for (const Bytes& tail : {cutOff, Bytes(40, 0x5A)}) {
    Bytes file = AlignedBlock(Packed(1, "ok"));
    Append(file, tail);
    ASSERT_TRUE(reader.OpenMyisamData(WriteFile("damaged-end.MYD", file)));
    reader.rowPage.clear();
    reader.damagedPagesSkipped = 0;
    reader.ReadMyisamPage(0);
    ASSERT_EQ(reader.rowPage.size(), 1u);
    EXPECT_EQ(reader.damagedPagesSkipped, 1u);
    EXPECT_EQ(reader.myisamScanEnd, file.size());
  }

  // Pages of two rows over seven records with junk after the second and after the fifth.
  Bytes file;
  for (uint32_t i = 1; i <= 7; ++i) {
    Append(file, AlignedBlock(Packed(i, "row")));
    if (i == 2 || i == 5) Append(file, Bytes(28, 0xA5));
  }
  ASSERT_TRUE(reader.OpenMyisamData(WriteFile("damaged-pages.MYD", file)));
  reader.rowsPerPage = 2;
  reader.rowPage.clear();
  reader.resumePositions.clear();
  reader.damagedPagesSkipped = 0;
  std::vector<std::string> firstColumn;
  reader.ReadMyisamPage(0);
  for (int pages = 0; pages < 10; ++pages) {
    for (const Row& row : reader.rowPage) firstColumn.push_back(row[0].text);
    reader.rowPage.clear();
    if (!reader.pageFull) break;
    reader.ReadMyisamPage(reader.resumePositions.back().offset);
  }
  EXPECT_EQ(firstColumn, (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7"}));
  EXPECT_EQ(reader.damagedPagesSkipped, 2u);
}

TEST_F(MyisamReader, MalformedRecordsGiveNoRow) {
  SetDynamicTable(reader);
  const Bytes good = Packed(4, "abc");
  EXPECT_EQ(reader.DecodeDynamicRecord(good.data(), static_cast<uint32_t>(good.size())), good.size());
  EXPECT_EQ(reader.rowPage.size(), 1u);
  // Shorter than the minimum packed length.
  EXPECT_EQ(reader.DecodeDynamicRecord(good.data(), 1), 0u);
  // The text length runs past the record's end.
  Bytes bad = good;
  bad.back() = 'x';
  bad[6] = 200;
  EXPECT_EQ(reader.DecodeDynamicRecord(bad.data(), static_cast<uint32_t>(bad.size())), bad.size());
  EXPECT_EQ(reader.rowPage.size(), 1u);
}

// Rows a MariaDB 10.11 server wrote. Fixed: (a INT NOT NULL, e ENUM('x','y','z'), s SET('p','q','r'),
// b BIT(12), b2 BIT(3) NOT NULL, y YEAR, c CHAR(3), v VARCHAR(5)); b's 4 high bits and all of b2
// lie among the NULL flags, b2 has no .MYI entry. Dynamic: (a INT NOT NULL, e ENUM('x','y','z'),
// b BIT(12), v VARCHAR(300), t TEXT, c CHAR(10)), the second row all NULL.
TEST_F(MyisamReader, RowsTheServerWrote) {
  auto withMembers = [](ColumnDef c, std::vector<std::string> m) {
    c.enumMembers = std::move(m);
    return c;
  };
  reader.tableDef.columns = {Column("a", TypeCode::kLong, 11, 3, false),
                             withMembers(Column("e", TypeCode::kEnum, 1, 7, true), {"x", "y", "z"}),
                             withMembers(Column("s", TypeCode::kSet, 5, 8, true), {"p", "q", "r"}),
                             Column("b", TypeCode::kBit, 12, 9, true),
                             Column("b2", TypeCode::kBit, 3, 10, false),
                             Column("y", TypeCode::kYear, 4, 10, true),
                             Column("c", TypeCode::kString, 3, 11, true),
                             Column("v", TypeCode::kVarchar, 5, 14, true)};
  reader.tableDef.nullBytes = 2;
  reader.tableDef.recordLength = 19;
  reader.tableDef.createOptions = 8;
  reader.rowFormat = kRowFormatFixed;
  reader.baseInfo.packedRecordLength = 19;
  reader.myisamFields = {Field(0, 2),       Field(0, 4),        Field(0, 1, 2, 0), Field(0, 1, 4, 0),
                         Field(0, 1, 8, 0), Field(0, 1, 8, 1),  Field(0, 3, 16, 1), Field(8, 6, 32, 1)};
  const Bytes fixed = {0xa1, 0xc5, 0x01, 0x00, 0x00, 0x00, 0x02, 0x05, 0xaa, 0x78, 0x61, 0x62, 0x20, 0x02, 0x68, 0x69,
                       0x00, 0x00, 0x00,
                       0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x00, 0x00, 0x00, 0x20, 0x20, 0x20, 0x00, 0x00,
                       0x00, 0x00, 0x00, 0x00,
                       0x01, 0xc0, 0x03, 0x00, 0x00, 0x00, 0x03, 0x00, 0x01, 0x01, 0x78, 0x20, 0x20, 0x03, 0x78,
                       0x79, 0x7a, 0x00, 0x00};
  ASSERT_TRUE(reader.OpenMyisamData(WriteFile("server-fixed.MYD", fixed)));
  reader.ReadMyisamPage(0);
  ASSERT_EQ(reader.rowPage.size(), 2u);  // the middle slot was deleted
  EXPECT_EQ(Texts(reader.rowPage[0]),
            (std::vector<std::string>{"1", "y", "p,r", "101010101010", "101", "2020", "ab ", "hi"}));
  EXPECT_EQ(Texts(reader.rowPage[1]),
            (std::vector<std::string>{"3", "z", "", "000000000001", "000", "1901", "x  ", "xyz"}));

  reader.rowPage.clear();
  reader.tableDef.columns = {Column("a", TypeCode::kLong, 11, 3, false),
                             withMembers(Column("e", TypeCode::kEnum, 1, 7, true), {"x", "y", "z"}),
                             Column("b", TypeCode::kBit, 12, 8, true),
                             Column("v", TypeCode::kVarchar, 300, 9, true),
                             Column("t", TypeCode::kBlob, 8, 311, true),
                             Column("c", TypeCode::kString, 10, 321, true)};
  reader.tableDef.recordLength = 330;
  reader.tableDef.createOptions = 9;
  reader.rowFormat = kRowFormatDynamic;
  reader.baseInfo.packBitBytes = 1;
  reader.baseInfo.minPackLength = 6;
  reader.myisamFields = {Field(0, 2),          Field(3, 4),           Field(0, 1, 1, 0), Field(3, 1, 2, 0),
                         Field(8, 302, 64, 0), Field(4, 10, 128, 0), Field(1, 10, 1, 1)};
  Bytes dynamic = {0x01, 0x00, 0x29, 0x08, 0x28, 0xfe, 0x01, 0x00, 0x00, 0x00, 0x02, 0xaa,
                   0x05, 'h',  'e',  'l',  'l',  'o',  0x14, 0x00};
  dynamic.insert(dynamic.end(), 20, 'a');
  Append(dynamic, {0x03, 'a', 'b', 'c', 0x03, 0x00, 0x0a, 0x06, 0x0e, 0xc3, 0xff, 0x02, 0x00, 0x00, 0x00, 0x00,
                   0x00, 0x00, 0, 0, 0, 0, 0, 0});
  ASSERT_TRUE(reader.OpenMyisamData(WriteFile("server-dynamic.MYD", dynamic)));
  reader.ReadMyisamPage(0);
  ASSERT_EQ(reader.rowPage.size(), 2u);
  EXPECT_EQ(Texts(reader.rowPage[0]),
            (std::vector<std::string>{"1", "y", "101010101010", "hello", std::string(20, 'a'), "abc"}));
  EXPECT_EQ(Texts(reader.rowPage[1]), (std::vector<std::string>{"2", "NULL", "NULL", "NULL", "NULL", "NULL"}));
}

TEST_F(MyisamReader, CompressedTablesGiveNoRows) {
  SetDynamicTable(reader);
  reader.rowFormat = kRowFormatCompressed;
  ASSERT_TRUE(reader.OpenMyisamData(WriteFile("packed.MYD", WholeBlock(Packed(1, "x")))));
  reader.ReadMyisamPage(0);
  EXPECT_TRUE(reader.rowPage.empty());
}

}  // namespace
}  // namespace wexholt
