// Leaf and node-pointer records in hand-built COMPACT pages: the null bitmap, one- and two-byte
// lengths, off-page values, delete marks, resume positions and damaged chains.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "decoding/FieldText.h"
#include "definitions/Collations.h"
#include "definitions/TableReader.h"
#include "innodb/PageBuilder.h"

namespace wexholt {
namespace {

using namespace testing;

ColumnDef Col(const std::string& name, int type, int length, bool nullable, int charset = 8) {
  ColumnDef c;
  c.name = name;
  c.typeCode = type;
  c.length = length;
  c.nullable = nullable ? 1 : 0;
  c.charsetId = charset;
  return c;
}

IndexDef Primary(std::vector<int> columnNumbers) {
  IndexDef index;
  index.name = "PRIMARY";
  index.primary = index.unique = true;
  for (int n : columnNumbers) {
    IndexPart p;
    p.columnNumber = n;
    index.parts.push_back(p);
  }
  return index;
}

Bytes IntKey(int32_t v) { return Be(static_cast<uint32_t>(v) ^ 0x80000000u, 4); }

class RecordFormat : public ::testing::Test {
 protected:
  void SetUp() override {
    collations_ = BuiltInCollations();
    settings_.collations = &collations_;
  }
  // A table: columns in definition order, the first one the primary key.
  void Define(std::vector<ColumnDef> columns, std::vector<int> key = {1}) {
    reader_.tableDef = TableDef{};
    for (size_t i = 0; i < columns.size(); ++i) {
      columns[i].number = static_cast<int32_t>(i);
      reader_.tableDef.columns.push_back(columns[i]);
    }
    if (!key.empty()) reader_.tableDef.indexes.push_back(Primary(key));
    reader_.LoadLayoutFromDefinition();
  }
  void Open(const std::map<uint32_t, Bytes>& pages, uint32_t count) {
    file_ = std::make_unique<TablespaceFile>(pages, count);
    ASSERT_TRUE(reader_.OpenIbd(file_->Path()));
    reader_.readingIbd = true;
  }
  std::vector<std::vector<std::string>> Read(uint64_t page, uint64_t offset = 0) {
    reader_.rowPage.clear();
    reader_.ReadLeafRows(Tablespace::kIbd, page, offset);
    std::vector<std::vector<std::string>> out;
    for (const Row& row : reader_.rowPage) {
      out.emplace_back();
      for (const Cell& c : row) out.back().push_back(c.text);
    }
    return out;
  }

  CollationTable collations_;
  DecoderSettings settings_;
  TableReader reader_{&settings_};
  std::unique_ptr<TablespaceFile> file_;
};

TEST_F(RecordFormat, NineNullableColumnsTakeTwoBitmapBytes) {
  std::vector<ColumnDef> columns{Col("id", TypeCode::kLong, 11, false)};
  for (int i = 1; i <= 9; ++i) columns.push_back(Col("c" + std::to_string(i), TypeCode::kTiny, 4, true));
  Define(columns);
  CompactPage page(3);
  Bytes eight;
  for (int v = 1; v <= 8; ++v) eight.push_back(static_cast<uint8_t>(0x80 | v));
  // c9 NULL: bit 0 of the second bitmap byte (origin - 7).
  page.Add({{0x00, 0x01}, Cat({IntKey(1), SystemFields(), eight})});
  // c1 NULL: bit 0 of the first byte; c2..c9 hold 2..9.
  Bytes rest;
  for (int v = 2; v <= 9; ++v) rest.push_back(static_cast<uint8_t>(0x80 | v));
  page.Add({{0x01, 0x00}, Cat({IntKey(2), SystemFields(), rest})});
  Open({{3, page.Finish()}}, 4);
  auto rows = Read(3);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "1", "2", "3", "4", "5", "6", "7", "8", "NULL"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"2", "NULL", "2", "3", "4", "5", "6", "7", "8", "9"}));
}

TEST_F(RecordFormat, LengthBytesOneOrTwoByColumnSize) {
  // VARCHAR(200): one length byte even when it is 128 or more; VARCHAR(300) and TEXT: two bytes
  // when the first has bit 7 set, one otherwise.
  Define({Col("id", TypeCode::kLong, 11, false), Col("v200", TypeCode::kVarchar, 200, false),
          Col("v300", TypeCode::kVarchar, 300, false), Col("t", TypeCode::kBlob, 65535, false)});
  CompactPage page(3);
  Bytes a(150, 'a'), b(150, 'b');
  page.Add({{150, 0x80, 150, 5}, Cat({IntKey(7), SystemFields(), a, b, Text("hello")})});
  page.Add({{3, 4, 1}, Cat({IntKey(8), SystemFields(), Text("xyz"), Text("four"), Text("z")})});
  Open({{3, page.Finish()}}, 4);
  auto rows = Read(3);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"7", std::string(150, 'a'), std::string(150, 'b'), "hello"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"8", "xyz", "four", "z"}));
}

TEST_F(RecordFormat, DeleteMarkedRecordsAreNotRows) {
  Define({Col("id", TypeCode::kLong, 11, false), Col("v", TypeCode::kVarchar, 10, true)});
  CompactPage page(3);
  page.Add({{0x00, 1}, Cat({IntKey(1), SystemFields(), Text("a")})});
  page.Add({{0x00, 1}, Cat({IntKey(2), SystemFields(), Text("b")}), 0x20});
  page.Add({{0x01}, Cat({IntKey(3), SystemFields()})});
  Open({{3, page.Finish()}}, 4);
  auto rows = Read(3);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "a"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"3", "NULL"}));
}

// A leaf page of ids first..last (one INT column), linked to previous and next.
Bytes IdPage(uint32_t number, uint32_t previous, uint32_t next, int first, int last) {
  CompactPage page(number, previous, next);
  for (int id = first; id <= last; ++id) page.Add({{}, Cat({IntKey(id), SystemFields()})});
  return page.Finish();
}

TEST_F(RecordFormat, FullPageEndingOnTheLastRecordResumesOnTheNextLeaf) {
  Define({Col("id", TypeCode::kLong, 11, false)});
  Open({{3, IdPage(3, kNullPage, 4, 1, 500)}, {4, IdPage(4, 3, 5, 501, 1000)}, {5, IdPage(5, 4, kNullPage, 1001, 1002)}}, 6);
  auto first = Read(3);
  ASSERT_EQ(first.size(), 1000u);
  EXPECT_TRUE(reader_.pageFull);
  ASSERT_EQ(reader_.resumePositions.size(), 1u);
  EXPECT_EQ(reader_.resumePositions.back(), (ResumePosition{4, 112}));  // the supremum of page 4
  reader_.resumeFromPosition = true;
  auto second = Read(4, 112);
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(second[0][0], "1001");
  EXPECT_EQ(second[1][0], "1002");
  EXPECT_FALSE(reader_.pageFull);
  EXPECT_FALSE(reader_.resumeFromPosition);
}

TEST_F(RecordFormat, PagesBeyondFourGiB) {
  // Root 3 points at a leaf past 4 GiB, which continues on another; an off-page value lives there too.
  constexpr uint32_t kFar = 262144 + 50, kFarther = kFar + 1, kBlob = kFar + 2;
  Define({Col("id", TypeCode::kLong, 11, false), Col("t", TypeCode::kBlob, 65535, false)});
  CompactPage root(3, kNullPage, kNullPage, 1);
  root.Add({{}, Cat({IntKey(1), Be(kFar, 4)}), 0x10, 1});
  CompactPage leaf(kFar, kNullPage, kFarther);
  leaf.Add({{0xC0, 20}, Cat({IntKey(1), SystemFields(), ExternalReference(kBlob, 38, 3)})});
  CompactPage leaf2(kFarther, kFar, kNullPage);
  leaf2.Add({{3}, Cat({IntKey(2), SystemFields(), Text("two")})});
  Open({{3, root.Finish()}, {kFar, leaf.Finish()}, {kFarther, leaf2.Finish()}, {kBlob, ExternalPage(kBlob, 38, 3, kNullPage, Text("far"))}},
       kBlob + 1);
  EXPECT_EQ(reader_.DescendToLeaf(Tablespace::kIbd, 3), kFar);
  settings_.saveToServer = true;
  settings_.inlineExternalValues = true;
  auto rows = Read(kFar);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "far"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"2", "two"}));
}

TEST_F(RecordFormat, ResumeInsideAPageStartsAtThatRecord) {
  Define({Col("id", TypeCode::kLong, 11, false)});
  CompactPage page(3);
  for (int id = 1; id <= 4; ++id) page.Add({{}, Cat({IntKey(id), SystemFields()})});
  size_t third = page.Origins()[2];
  Open({{3, page.Finish()}}, 4);
  reader_.resumeFromPosition = true;
  auto rows = Read(3, third);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][0], "3");
}

TEST_F(RecordFormat, OffPageTextByMode) {
  Define({Col("id", TypeCode::kLong, 11, false), Col("t", TypeCode::kBlob, 65535, false)});
  std::string value;
  for (int i = 0; i < 5000; ++i) value += static_cast<char>('a' + i % 26);
  Bytes all = Text(value);
  CompactPage page(3);
  page.Add({{0xC0, 20}, Cat({IntKey(1), SystemFields(), ExternalReference(4, 38, 5000)})});
  Bytes firstPart(all.begin(), all.begin() + 3000), secondPart(all.begin() + 3000, all.end());
  Open({{3, page.Finish()}, {4, ExternalPage(4, 38, 3000, 5, firstPart)}, {5, ExternalPage(5, 38, 2000, kNullPage, secondPart)}}, 6);

  auto browse = Read(3);
  ASSERT_EQ(browse.size(), 1u);
  EXPECT_EQ(browse[0][1], kLargeSizeBlobMarker);
  EXPECT_EQ(reader_.rowPage[0][1].kind, CellKind::kMarker);

  settings_.saveToServer = true;
  settings_.inlineExternalValues = true;
  auto inlined = Read(3);
  EXPECT_EQ(inlined[0][1], value);

  settings_.saveToServer = false;
  settings_.inlineExternalValues = false;
  settings_.saveToFolder = true;
  std::string folder = (std::filesystem::temp_directory_path() / ("inno-blob-" + std::to_string(getpid()))).string() + "/";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  settings_.saveFolder = folder;
  settings_.blobFileCounter = 7;
  auto saved = Read(3);
  EXPECT_EQ(saved[0][1], folder + "blobdata/7");
  EXPECT_EQ(reader_.rowPage[0][1].kind, CellKind::kExternal);
  EXPECT_EQ(settings_.blobFileCounter, 8u);
  std::ifstream in(folder + "blobdata/7", std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str(), value);
  std::filesystem::remove_all(folder);
}

TEST_F(RecordFormat, OffPageVarcharIsReadInFull) {
  Define({Col("id", TypeCode::kLong, 11, false), Col("v", TypeCode::kVarchar, 20000, false)});
  Bytes value(9000, 'v');
  CompactPage page(3);
  page.Add({{0xC0, 20}, Cat({IntKey(1), SystemFields(), ExternalReference(4, 38, 9000)})});
  Open({{3, page.Finish()}, {4, ExternalPage(4, 38, 9000, kNullPage, value)}}, 5);
  auto rows = Read(3);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][1], std::string(9000, 'v'));
}

TEST_F(RecordFormat, DamagedOffPageChainsStayBounded) {
  Define({Col("id", TypeCode::kLong, 11, false), Col("t", TypeCode::kBlob, 65535, false)});
  settings_.saveToServer = true;
  settings_.inlineExternalValues = true;
  struct Case {
    const char* name;
    Bytes local;          // the column's local bytes
    std::map<uint32_t, Bytes> pages;
    size_t expectedSize;  // bytes of the value read
  };
  Bytes part(100, 'p');
  std::vector<Case> cases{
      {"part length beyond the page", ExternalReference(4, 38, 1u << 30), {{4, ExternalPage(4, 38, 0xFFFFFFFF, kNullPage, part)}}, 16376 - 46},
      {"chain leading back to itself", ExternalReference(4, 38, 1u << 30), {{4, ExternalPage(4, 38, 100, 4, part)}}, 100},
      {"first page past the file", ExternalReference(9, 38, 100), {}, 0},
      {"position past the page", ExternalReference(4, 16380, 100), {{4, ExternalPage(4, 38, 100, kNullPage, part)}}, 0},
      {"more bytes than the recorded length", ExternalReference(4, 38, 10), {{4, ExternalPage(4, 38, 100, kNullPage, part)}}, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CompactPage page(3);
    page.Add({{0xC0, static_cast<uint8_t>(c.local.size())}, Cat({IntKey(1), SystemFields(), c.local})});
    std::map<uint32_t, Bytes> pages = c.pages;
    pages[3] = page.Finish();
    Open(pages, 6);
    auto rows = Read(3);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1].size(), c.expectedSize);
  }
  // An external flag on fewer than 20 local bytes is not a reference.
  CompactPage page(3);
  page.Add({{0xC0, 5}, Cat({IntKey(1), SystemFields(), Text("short")})});
  Open({{3, page.Finish()}}, 4);
  auto rows = Read(3);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][1], "short");
}

TEST_F(RecordFormat, DamagedPagesAreBoundedAndCounted) {
  Define({Col("id", TypeCode::kLong, 11, false), Col("v", TypeCode::kVarchar, 300, false)});
  {
    SCOPED_TRACE("record chain looping inside a page");
    CompactPage page(3);
    size_t a = page.Add({{1}, Cat({IntKey(1), SystemFields(), Text("a")})});
    size_t b = page.Add({{1}, Cat({IntKey(2), SystemFields(), Text("b")})});
    page.Finish();
    page.Link(b, a);  // b -> a -> b -> ...
    Open({{3, page.Image()}}, 4);
    reader_.damagedPagesSkipped = 0;
    auto rows = Read(3);
    EXPECT_LE(rows.size(), 4u);
    EXPECT_GE(reader_.damagedPagesSkipped, 1u);
  }
  {
    SCOPED_TRACE("leaf chain leading back to an earlier page");
    Define({Col("id", TypeCode::kLong, 11, false)});
    Open({{3, IdPage(3, kNullPage, 4, 1, 2)}, {4, IdPage(4, 3, 3, 3, 4)}}, 5);
    reader_.damagedPagesSkipped = 0;
    auto rows = Read(3);
    EXPECT_EQ(rows.size(), 4u);
    EXPECT_EQ(reader_.damagedPagesSkipped, 1u);
    Define({Col("id", TypeCode::kLong, 11, false), Col("v", TypeCode::kVarchar, 300, false)});
  }
  {
    SCOPED_TRACE("length running past the page end");
    CompactPage page(3);
    page.Add({{0xBF, 0xFF}, Cat({IntKey(1), SystemFields(), Text("x")})});
    Open({{3, page.Finish()}}, 4);
    auto rows = Read(3);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "1");
    EXPECT_EQ(rows[0][1], "");
  }
  {
    SCOPED_TRACE("a page that is not an index page in the leaf chain");
    Define({Col("id", TypeCode::kLong, 11, false)});
    Bytes blank(kPageSize, 0);
    PutFilHeader(blank, 4, 3, 5, 0);
    Open({{3, IdPage(3, kNullPage, 4, 1, 1)}, {4, blank}, {5, IdPage(5, 4, kNullPage, 2, 2)}}, 6);
    reader_.damagedPagesSkipped = 0;
    auto rows = Read(3);
    EXPECT_EQ(rows.size(), 2u);
    EXPECT_EQ(reader_.damagedPagesSkipped, 1u);
  }
  {
    SCOPED_TRACE("start page past the end or the null page");
    EXPECT_TRUE(Read(99).empty());
    EXPECT_TRUE(Read(kNullPage).empty());
  }
}

TEST_F(RecordFormat, DescentFollowsTheFirstNodePointer) {
  // VARCHAR key with a nullable non-key column: node pointers carry the leaf's null bitmap width.
  Define({Col("k", TypeCode::kVarchar, 50, false), Col("n", TypeCode::kLong, 11, true)});
  CompactPage root(3, kNullPage, kNullPage, 1);
  root.Add({{0x00, 3}, Cat({Text("abc"), Be(5, 4)}), 0x10, 1});
  root.Add({{0x00, 3}, Cat({Text("mmm"), Be(6, 4)}), 0x00, 1});
  CompactPage leaf(5, kNullPage, 6);
  leaf.Add({{0x00, 3}, Cat({Text("abc"), SystemFields(), IntKey(10)})});
  CompactPage leaf2(6, 5, kNullPage);
  leaf2.Add({{0x01, 3}, Cat({Text("mmm"), SystemFields()})});
  Open({{3, root.Finish()}, {5, leaf.Finish()}, {6, leaf2.Finish()}}, 7);
  EXPECT_EQ(reader_.DescendToLeaf(Tablespace::kIbd, 3), 5u);
  auto rows = Read(5);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"abc", "10"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"mmm", "NULL"}));

  // A node pointer that leads back to the root ends the descent.
  CompactPage loop(3, kNullPage, kNullPage, 1);
  loop.Add({{0x00, 3}, Cat({Text("abc"), Be(3, 4)}), 0x10, 1});
  Open({{3, loop.Finish()}}, 4);
  EXPECT_EQ(reader_.DescendToLeaf(Tablespace::kIbd, 3), 0u);
  // A child beyond the file ends it too.
  CompactPage far(3, kNullPage, kNullPage, 1);
  far.Add({{0x00, 3}, Cat({Text("abc"), Be(4, 4)}), 0x10, 1});
  Open({{3, far.Finish()}}, 4);
  EXPECT_EQ(reader_.DescendToLeaf(Tablespace::kIbd, 3), 0u);
}

TEST_F(RecordFormat, TableWithoutKeyStartsWithRowId) {
  Define({Col("a", TypeCode::kLong, 11, true), Col("b", TypeCode::kVarchar, 10, true)}, {});
  CompactPage root(3, kNullPage, kNullPage, 1);
  root.Add({{0x00}, Cat({Be(1, 6), Be(4, 4)}), 0x10, 1});
  CompactPage leaf(4);
  leaf.Add({{0x00, 2}, Cat({Be(1, 6), SystemFields(), IntKey(-5), Text("hi")})});
  Open({{3, root.Finish()}, {4, leaf.Finish()}}, 5);
  EXPECT_EQ(reader_.DescendToLeaf(Tablespace::kIbd, 3), 4u);
  auto rows = Read(4);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"-5", "hi"}));
}

}  // namespace
}  // namespace wexholt
