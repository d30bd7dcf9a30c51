// The InnoDB data dictionary in the system tablespace ibdata1: SYS_TABLES (root page 8),
// SYS_COLUMNS (root page 10) and SYS_INDEXES (root page 11), read into sysTables, sysColumns and
// sysIndexes in key order.
//
// Dictionary pages hold REDUNDANT records (multi-byte values big-endian):
//   byte 101        origin of the infimum record ("infimum\0"); bytes 99..100 before it hold the
//                   absolute page offset of the first user record
//   byte 116        origin of the supremum record ("supremum\0")
//   record header   the six bytes o-6..o-1 before a record's origin o: o-6 info bits (0x20 = delete
//                   mark) and owned count; o-5..o-3 a 24-bit value whose bit 0 is the one-byte-offsets
//                   flag and bits 1..10 the field count; o-2..o-1 the absolute offset of the next
//                   record (0 = none)
//   field ends      below the header, one byte per field (flag set) or two, the first field's entry
//                   highest (ending at o-7); the low 7 or 14 bits give the end of the field counted
//                   from o, the high bits are the NULL and external flags
// A node pointer's last field is the 4-byte child page number.
//
// Failure shows as rows missing from a list: a root that is not an index page gives an empty list,
// a leaf page that is not an index page contributes nothing and the walk goes on. Delete-marked
// records are records of dropped or changed dictionary entries and are left out. Every walk is
// bounded: a page is visited once, a page's record chain by its heap record count, and no read leaves
// the page image.
#include <string>
#include <unordered_set>
#include <vector>

#include "decoding/ByteView.h"
#include "decoding/Text.h"
#include "definitions/TableReader.h"

namespace wexholt {

namespace {

constexpr size_t kRedundantInfimum = 101;
constexpr size_t kRedundantSupremum = 116;
constexpr size_t kRedundantHeaderBytes = 6;
constexpr uint8_t kDeleteMarkBit = 0x20;

// The fields of one REDUNDANT record as (start, length) pairs inside the page; false when the
// record header or its offsets do not lie inside the page.
struct FieldSpan {
  size_t start = 0;
  size_t length = 0;
};

bool ReadRedundantFields(const ByteView& page, size_t origin, std::vector<FieldSpan>& fields) {
  fields.clear();
  if (origin < kRedundantHeaderBytes || origin >= page.size()) return false;
  uint32_t bits = page.be24(origin - 5);
  bool oneByte = (bits & 1) != 0;
  size_t count = (bits >> 1) & 0x3FF;
  size_t entry = oneByte ? 1 : 2;
  if (origin < kRedundantHeaderBytes + count * entry) return false;
  size_t previousEnd = 0;
  for (size_t i = 0; i < count; ++i) {
    size_t at = origin - kRedundantHeaderBytes - (i + 1) * entry;
    size_t end = oneByte ? (page.u8(at) & 0x7F) : (page.be16(at) & 0x3FFF);
    if (end < previousEnd || origin + end > page.size()) return false;
    fields.push_back({origin + previousEnd, end - previousEnd});
    previousEnd = end;
  }
  return true;
}

uint64_t Number(const ByteView& page, const FieldSpan& f, size_t width) {
  return f.length == width ? page.be(f.start, width) : 0;
}

std::string Text(const ByteView& page, const FieldSpan& f) {
  return Cp1252ToUtf8(page.Sub(f.start, f.length).CString(0));
}

RollPointer Roll(const ByteView& page, const FieldSpan& f) {
  RollPointer r;
  if (f.length != 7) return r;
  uint8_t first = page.u8(f.start);
  r.insertFlag = first >> 7;
  r.rollbackSegment = first & 0x7F;
  r.undoPage = page.be32(f.start + 1);
  r.undoOffset = page.be16(f.start + 5);
  return r;
}

bool IsText(const ByteView& page, size_t origin, std::string_view text) {
  return page.CString(origin) == text;
}

}  // namespace

void ApplySysColumnDefaults(SysColumnsRow& row, const CollationTable* collations) {
  uint32_t m = row.mainType;
  bool characterType = m <= 5 || m == 12 || m == 13;
  if (characterType && ((row.preciseType >> 16) & 0x7FFF) == 0) {
    bool binary = m == 3 || m == 4 || (m == 5 && (row.preciseType & kPreciseBinary) != 0);
    row.preciseType += (binary ? 63u : 8u) << 16;
  }
  row.mbMinLen = 0;
  row.mbMaxLen = 0;
  if (characterType) {
    const CollationTable& table = collations ? *collations : BuiltInCollations();
    auto it = table.find(static_cast<int32_t>((row.preciseType >> 16) & 0x7FFF));
    if (it != table.end()) {
      row.mbMinLen = static_cast<uint32_t>(it->second.minBytes);
      row.mbMaxLen = static_cast<uint32_t>(it->second.maxBytes);
    }
  }
  row.charLengths = row.mbMinLen + 5 * row.mbMaxLen;
}

bool TableReader::LoadSystemTablespace(const std::string& path) {
  sysTables.clear();
  sysColumns.clear();
  sysIndexes.clear();
  systemPageCount = 0;
  if (!systemFile.Open(path)) return false;
  systemPageCount = systemFile.Length() / kPageSize;
  // Without a SYS_TABLES root (an empty or cut-off file, a damaged page 8) no table can be found
  // in it: the file is not taken as the system tablespace, so that tables with an .ibd of their
  // own are read as without ibdata1 (root page 3, the layout of the .frm).
  if (!ReadDictionaryTable(8, kSysTablesKind)) {
    systemFile.Close();
    systemPageCount = 0;
    return false;
  }
  ReadDictionaryTable(10, kSysColumnsKind);
  ReadDictionaryTable(11, kSysIndexesKind);
  return true;
}

bool TableReader::ReadDictionaryTable(uint64_t root, int kind) {
  if (!ReadPageHeaders(Tablespace::kSystem, root)) return false;
  if (lastPageHeader.pageType != kIndexPageType) return false;
  if (lastPageHeader.level == 0) {
    WalkDictionaryLeaves(root, kind);
  } else {
    uint64_t leaf = DescendDictionary(root);
    if (leaf != 0) WalkDictionaryLeaves(leaf, kind);
  }
  return true;
}

uint64_t TableReader::DescendDictionary(uint64_t page) {
  std::vector<uint8_t> image;
  // Each step goes one level down; more steps than pages means the pointers loop.
  for (uint64_t steps = 0; steps <= systemPageCount; ++steps) {
    if (!ReadPageHeaders(Tablespace::kSystem, page)) return 0;
    if (lastPageHeader.pageType != kIndexPageType) return 0;
    if (lastPageHeader.level == 0) return page;
    if (!ReadPageImage(Tablespace::kSystem, page, image)) return 0;
    ByteView v(image.data(), image.size());
    if (!IsText(v, kRedundantInfimum, "infimum")) return 0;
    size_t r = v.be16(99);
    if (r >= kPageSize || IsText(v, r, "supremum")) return 0;
    std::vector<FieldSpan> fields;
    if (!ReadRedundantFields(v, r, fields) || fields.empty()) return 0;
    uint64_t child = Number(v, fields.back(), 4);
    if (child == 0 || child >= systemPageCount) return 0;
    page = child;
  }
  return 0;
}

void TableReader::WalkDictionaryLeaves(uint64_t leaf, int kind) {
  std::unordered_set<uint64_t> visited;
  std::vector<uint8_t> image;
  std::vector<FieldSpan> f;
  uint64_t p = leaf;
  while (p != kNullPage && p != 0 && p < systemPageCount && visited.insert(p).second) {
    if (!ReadPageHeaders(Tablespace::kSystem, p)) return;
    uint32_t next = lastPageHeader.nextPage;
    if (lastPageHeader.pageType == kIndexPageType && ReadPageImage(Tablespace::kSystem, p, image)) {
      ByteView v(image.data(), image.size());
      size_t heapRecords = lastPageHeader.heapRecords & 0x7FFF;
      if (IsText(v, kRedundantInfimum, "infimum")) {
        size_t r = v.be16(99);
        for (size_t k = 0; r != 0 && r < kPageSize && r != kRedundantSupremum && k < heapRecords; ++k) {
          if (IsText(v, r, "supremum")) break;
          size_t next = r >= 2 ? v.be16(r - 2) : 0;
          bool deleted = (v.u8(r - 6) & kDeleteMarkBit) != 0;
          if (!deleted && ReadRedundantFields(v, r, f)) {
            f.resize(10);
            if (kind == kSysTablesKind) {
              SysTablesRow row;
              row.fullName = Text(v, f[0]);
              row.trxId = Number(v, f[1], 6);
              row.rollPtr = Roll(v, f[2]);
              row.tableId = Number(v, f[3], 8);
              row.columnCount = static_cast<uint32_t>(Number(v, f[4], 4)) & 0x7FFFFFFF;
              row.tableType = static_cast<uint32_t>(Number(v, f[5], 4));
              row.mixId = Number(v, f[6], 8);
              row.mixLength = static_cast<uint32_t>(Number(v, f[7], 4));
              row.clusterName = Number(v, f[8], 8);
              row.spaceId = static_cast<uint32_t>(Number(v, f[9], 4));
              sysTables.push_back(std::move(row));
            } else if (kind == kSysColumnsKind) {
              SysColumnsRow row;
              row.tableId = Number(v, f[0], 8);
              row.position = static_cast<uint32_t>(Number(v, f[1], 4));
              row.trxId = Number(v, f[2], 6);
              row.rollPtr = Roll(v, f[3]);
              row.columnName = Text(v, f[4]);
              row.mainType = static_cast<uint32_t>(Number(v, f[5], 4));
              row.preciseType = static_cast<uint32_t>(Number(v, f[6], 4));
              row.maxLength = static_cast<uint32_t>(Number(v, f[7], 4));
              row.precision = static_cast<uint32_t>(Number(v, f[8], 4));
              ApplySysColumnDefaults(row, Settings().collations);
              sysColumns.push_back(std::move(row));
            } else if (kind == kSysIndexesKind) {
              SysIndexesRow row;
              row.tableId = Number(v, f[0], 8);
              row.indexId = Number(v, f[1], 8);
              row.trxId = Number(v, f[2], 6);
              row.rollPtr = Roll(v, f[3]);
              row.indexName = Text(v, f[4]);
              row.fieldCount = static_cast<uint32_t>(Number(v, f[5], 4));
              row.indexType = static_cast<uint32_t>(Number(v, f[6], 4));
              row.spaceId = static_cast<uint32_t>(Number(v, f[7], 4));
              row.rootPage = static_cast<uint32_t>(Number(v, f[8], 4));
              sysIndexes.push_back(std::move(row));
            }
          }
          r = next;
        }
      }
    }
    p = next;
  }
}

}  // namespace wexholt
