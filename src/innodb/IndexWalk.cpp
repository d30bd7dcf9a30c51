// The clustered-index walk: from the root down the leftmost node pointers to the first leaf page,
// then along the leaf level, one row per live record.
//
// COMPACT-family index pages (DYNAMIC and COMPACT row formats; heap record count with bit 15 set),
// multi-byte values big-endian:
//   97..98    next-record field of the infimum: distance from 99 to the first user record
//   99        origin of the infimum ("infimum\0"); 112 origin of the supremum ("supremum")
//   50..51    on a root of type 18 (a table altered with instant ADD/DROP COLUMN): the field count
//             of the records written before the first change, shifted left by 3. When columns were
//             dropped or reordered, that root holds zero bytes for the infimum and supremum texts,
//             and byte 119 the null bitmap width of node pointers.
// Around a record's origin r:
//   r-5       info bits (0x20 delete mark, 0x10 minimum record) and owned count
//   r-4..r-3  heap number << 3 | status (0 ordinary, 1 node pointer, 2 infimum, 3 supremum,
//             4 ordinary record of an instantly altered table that stores its field count)
//   r-2..r-1  distance to the next record in key order (16-bit, wraps)
//   below     for status 4 the count of fields beyond the core fields, less one (1 byte, or 2 when
//             its top bit is set); then the null bitmap (one bit per nullable field of the record, the
//             first at bit 0 of the highest byte); then one length byte per variable-length field
//             that is not NULL, two when the column can exceed 255 bytes (or is a BLOB) and the first
//             byte has bit 7 set: 14 bits of length, bit 0x4000 = stored off-page with a 20-byte
//             reference at the end of the local bytes
//   r...      the field data in layout order
// A node pointer holds the clustered key's fields and then the 4-byte child page number; its null
// bitmap is as wide as a leaf record's of the fields every record has.
//
// The first record of the leftmost leaf of an instantly altered table is its metadata record (info
// bit 0x10, status 4): the values that older records take for the columns added later; with bit 0x20
// too, a 20-byte reference after DB_ROLL_PTR leads to a BLOB that gives the stored order of the
// non-key fields (4 bytes count, then 2 bytes per field: a column number, or bit 15 for a dropped
// column with bit 14 = NOT NULL and the low bits 0 = variable up to 255 bytes, 1 = longer, n = fixed
// n - 1 bytes).
//
// ROW_FORMAT=REDUNDANT pages (bit 15 of the heap record count clear) keep the infimum at 101 and the
// supremum at 116, absolute next-record offsets at r-2..r-1, the info bits in r-6, the field count in
// bits 1..10 of r-5..r-3 (bit 0: one-byte end offsets) and one end offset per field below the
// six-byte header (0x80 or 0x8000 = NULL, 0x4000 = off-page).
//
// Failure shows as rows missing: a page that is not an index leaf page contributes none (counted in
// damagedPagesSkipped), a field that would leave the page image gets the empty text and ends the
// record. Where the leaf chain breaks, the walk goes on with the other leaf pages of the index in
// page-number order (LeafSalvage.cpp). Every walk is bounded: a page is visited once, a page's
// record chain by its heap record count, the descent by the page count.
#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "decoding/ByteView.h"
#include "decoding/FieldText.h"
#include "definitions/TableReader.h"

namespace wexholt {

namespace {

// Empties the cells of a record (count of them), keeping their text buffers for the next record.
void ResetCells(std::vector<Cell>& cells, size_t count) {
  cells.resize(count);
  for (Cell& cell : cells) {
    cell.text.clear();
    cell.kind = CellKind::kText;
  }
}

constexpr size_t kInfimumOrigin = 99;
constexpr size_t kSupremumOrigin = 112;
constexpr size_t kFirstUserRecord = 120;
constexpr size_t kRedundantInfimumOrigin = 101;
constexpr size_t kRedundantSupremumOrigin = 116;
constexpr size_t kPageDataEnd = kPageSize - 8;  // the FIL trailer follows
constexpr uint8_t kDeleteMarkBit = 0x20;
constexpr uint8_t kMinRecordBit = 0x10;
constexpr uint16_t kStatusOrdinary = 0;
constexpr uint16_t kStatusInstant = 4;

bool IsBigColumn(const InnoColumn& e) {
  return e.maxLength > 255 || e.mainType == InnoMainType::kBlob || e.mainType == 14 /* geometry */;
}
bool NotNull(const InnoColumn& e) { return (e.preciseType & kPreciseNotNull) != 0; }

// Number of leading layout entries that form the clustered key (0 = DB_ROW_ID).
size_t KeyEntryCount(const std::vector<InnoColumn>& layout) {
  size_t n = 0;
  while (n < layout.size() && layout[n].mainType != InnoMainType::kSys) ++n;
  return n;
}

size_t NullBytes(const std::vector<InnoColumn>& layout, size_t fields) {
  size_t nullable = 0;
  for (size_t i = 0; i < fields && i < layout.size(); ++i) {
    if (!NotNull(layout[i])) ++nullable;
  }
  return (nullable + 7) / 8;
}

size_t FirstRecord(const ByteView& v) { return (v.be16(97) + kInfimumOrigin) & 0xFFFF; }

// The infimum of a COMPACT page holds "infimum"; the root of a table whose columns were dropped or
// reordered instantly holds zero bytes there instead (and its supremum's last byte holds the null
// bitmap width of node pointers).
bool HasCompactInfimum(const ByteView& v, uint16_t pageType) {
  if (v.CString(kInfimumOrigin) == "infimum") return true;
  if (pageType != kInstantRootPageType) return false;
  for (size_t i = 0; i < 8; ++i) {
    if (v.u8(kInfimumOrigin + i) != 0) return false;
  }
  return true;
}
bool HasZeroInfimum(const ByteView& v) { return v.u8(kInfimumOrigin) == 0; }

// First fields of a clustered record before the non-key columns: the key (or DB_ROW_ID), DB_TRX_ID,
// DB_ROLL_PTR.
size_t LeadingFieldCount(const std::vector<InnoColumn>& layout) {
  size_t keys = 0;
  while (keys < layout.size() && layout[keys].mainType != InnoMainType::kSys) ++keys;
  return std::min(layout.size(), keys == 0 ? size_t{3} : keys + 2);
}

}  // namespace

uint32_t TableReader::NodePointerChildOffset(const uint8_t* image, size_t origin) const {
  size_t keys = KeyEntryCount(innoLayout);
  if (keys == 0) return 6;  // DB_ROW_ID
  ByteView v(image, kPageSize);
  size_t core = instantCoreFields != 0 ? instantCoreFields : innoLayout.size();
  size_t nb = nodePointerNullBytes >= 0 ? static_cast<size_t>(nodePointerNullBytes) : NullBytes(innoLayout, core);
  if (origin < nb + 6) return 0;
  size_t c = origin - nb - 6;  // first length byte
  uint64_t sum = 0;
  for (size_t i = 0; i < keys; ++i) {
    const InnoColumn& e = innoLayout[i];
    if (e.fixedSize != 0) {
      sum += static_cast<uint32_t>(e.fixedSize);
      continue;
    }
    if (c < kInfimumOrigin - 5) return 0;  // length bytes ran below the records
    uint32_t b1 = v.u8(c--);
    if (IsBigColumn(e) && b1 >= 128) {
      uint32_t b2 = v.u8(c--);
      sum += ((b1 << 8) | b2) & 0x3FFF;
    } else {
      sum += b1;
    }
  }
  if (origin + sum + 4 > kPageDataEnd) return 0;
  return static_cast<uint32_t>(sum);
}

uint64_t TableReader::DescendToLeaf(Tablespace ts, uint64_t page) {
  instantCoreFields = 0;
  nodePointerNullBytes = -1;
  instantDefaults.clear();
  uint64_t pageCount = TablespacePageCount(ts);
  std::unordered_set<uint64_t> visited;
  std::vector<uint8_t> image;
  uint64_t leaf = 0;
  for (bool root = true; visited.insert(page).second && visited.size() <= pageCount; root = false) {
    if (!ReadPageHeaders(ts, page) || !IsIndexPageType(lastPageHeader.pageType)) return 0;
    uint16_t type = lastPageHeader.pageType;
    uint16_t level = lastPageHeader.level;
    if (root && type == kInstantRootPageType) {
      instantCoreFields = lastPageHeader.direction >> 3;
      if (ReadPageImage(ts, page, image) && HasZeroInfimum(ByteView(image.data(), image.size()))) {
        nodePointerNullBytes = image[kSupremumOrigin + 7];
      }
    }
    if (level == 0) {
      leaf = page;
      break;
    }
    if (!ReadPageImage(ts, page, image)) return 0;
    ByteView v(image.data(), image.size());
    uint64_t child = 0;
    if ((lastPageHeader.heapRecords & 0x8000) == 0) {
      // REDUNDANT node pointer: the child page number is the last field.
      if (v.CString(kRedundantInfimumOrigin) != "infimum") return 0;
      size_t r = v.be16(kRedundantInfimumOrigin - 2);
      if (r < kRedundantSupremumOrigin + 9 || r >= kPageDataEnd) return 0;
      uint32_t bits = v.be24(r - 5);
      size_t fields = (bits >> 1) & 0x3FF;
      if (fields < 2) return 0;
      size_t end = (bits & 1) ? (v.u8(r - 6 - fields) & 0x7F) : (v.be16(r - 6 - 2 * fields) & 0x3FFF);
      size_t before = (bits & 1) ? (v.u8(r - 6 - (fields - 1)) & 0x7F) : (v.be16(r - 6 - 2 * (fields - 1)) & 0x3FFF);
      if (end != before + 4 || r + end > kPageDataEnd) return 0;
      child = v.be32(r + before);
    } else {
      if (!HasCompactInfimum(v, type)) return 0;
      size_t r = FirstRecord(v);
      if (r < kFirstUserRecord || r >= kPageDataEnd) return 0;  // no node pointer (or damaged)
      uint32_t d = NodePointerChildOffset(image.data(), r);
      if (d == 0) return 0;
      child = v.be32(r + d);
    }
    if (child >= pageCount) return 0;
    page = child;
  }
  if (leaf == 0) return 0;
  // The metadata record of an instantly altered table is the first record of the leftmost leaf;
  // it holds the values that older records take for the columns added later, and (when columns
  // were dropped or reordered) the stored order of the non-key fields.
  if (instantCoreFields != 0 && ReadPageImage(ts, leaf, image)) {
    ByteView v(image.data(), image.size());
    size_t r = FirstRecord(v);
    size_t redundantFirst = v.be16(kRedundantInfimumOrigin - 2);
    if ((v.be16(42) & 0x8000) == 0) {
      if (v.CString(kRedundantInfimumOrigin) == "infimum" && redundantFirst > kRedundantSupremumOrigin &&
          redundantFirst < kPageDataEnd && (v.u8(redundantFirst - 6) & (kMinRecordBit | kDeleteMarkBit)) == kMinRecordBit) {
        DecodeRedundantFields(image.data(), redundantFirst, instantDefaults);
      }
    } else if (HasCompactInfimum(v, lastPageHeader.pageType) && r >= kFirstUserRecord && r < kPageDataEnd &&
        (v.u8(r - 5) & kMinRecordBit) != 0) {
      bool alter = (v.u8(r - 5) & kDeleteMarkBit) != 0;
      if (!alter || ApplyStoredFieldOrder(ts, image.data(), r)) DecodeRecordFields(image.data(), r, instantDefaults, alter);
    }
  }
  if (instantCoreFields > innoLayout.size()) instantCoreFields = 0;
  return leaf;
}

bool TableReader::ApplyStoredFieldOrder(Tablespace ts, const uint8_t* image, size_t r) {
  // The metadata BLOB's reference follows DB_ROLL_PTR; fields before it are all fixed-size.
  // A variable-length key's length bytes lie below a null bitmap whose width depends on the very
  // order being read; only fixed-size keys (and DB_ROW_ID) are followed.
  size_t lead = LeadingFieldCount(innoLayout);
  size_t d = r;
  for (size_t i = 0; i < lead; ++i) {
    if (innoLayout[i].fixedSize == 0) return false;
    d += static_cast<size_t>(innoLayout[i].fixedSize);
  }
  if (d + 20 > kPageDataEnd) return false;
  std::string order = ReadExternalValue(20, image + d, ts);
  ByteView list(order);
  size_t count = list.be32(0);
  if (order.size() < 4 + 2 * count) return false;
  std::vector<InnoColumn> rebuilt(innoLayout.begin(), innoLayout.begin() + static_cast<std::ptrdiff_t>(lead));
  std::vector<uint8_t> prefix(layoutPrefixEntry.begin(), layoutPrefixEntry.begin() + static_cast<std::ptrdiff_t>(lead));
  for (size_t k = 0; k < count; ++k) {
    uint32_t c = list.be16(4 + 2 * k);
    if (c & 0x8000) {
      // A dropped column: NOT NULL in bit 14; the low bits 0 = variable up to 255 bytes, 1 =
      // variable and longer, n = fixed n - 1 bytes.
      InnoColumn e;
      uint32_t size = c & 0x3FFF;
      e.column.name = "(dropped)";
      e.column.number = -1;
      e.preciseType = (c & 0x4000) ? kPreciseNotNull : 0;
      e.mainType = size >= 2 ? InnoMainType::kFixBinary : InnoMainType::kBinary;
      e.maxLength = size >= 2 ? static_cast<int32_t>(size - 1) : size == 1 ? 65535 : 255;
      e.fixedSize = size >= 2 ? static_cast<int32_t>(size - 1) : 0;
      rebuilt.push_back(e);
      prefix.push_back(0);
      continue;
    }
    bool found = false;
    for (size_t i = lead; i < innoLayout.size(); ++i) {
      if (innoLayout[i].position != static_cast<int32_t>(c) || innoLayout[i].column.number < 0) continue;
      rebuilt.push_back(innoLayout[i]);
      prefix.push_back(i < layoutPrefixEntry.size() ? layoutPrefixEntry[i] : 0);
      found = true;
      break;
    }
    if (!found) return false;
  }
  innoLayout = std::move(rebuilt);
  layoutPrefixEntry = std::move(prefix);
  return true;
}

bool TableReader::DecodeRecordFields(uint8_t* image, size_t r, std::vector<Cell>& cells, bool metadataBlob) {
  ByteView v(image, kPageSize);
  ResetCells(cells, innoLayout.size());
  uint16_t status = v.be16(r - 4) & 7;
  size_t hdr = r - 5;  // lowest byte of the fixed header
  size_t fields = innoLayout.size();
  if (status == kStatusInstant) {
    uint32_t b = v.u8(--hdr);
    uint32_t added = b;
    if (b & 0x80) added = (b & 0x7F) | (static_cast<uint32_t>(v.u8(--hdr)) << 7);
    size_t core = instantCoreFields != 0 ? instantCoreFields : innoLayout.size();
    fields = core + 1 + added - (metadataBlob ? 1 : 0);
  } else if (instantCoreFields != 0) {
    fields = instantCoreFields;
  }
  bool complete = fields <= innoLayout.size();
  if (!complete) fields = innoLayout.size();
  size_t nb = NullBytes(innoLayout, fields);
  if (hdr < nb + kInfimumOrigin) return false;
  size_t nullByte = hdr - 1;
  uint32_t mask = 1;
  size_t lengthCursor = hdr - nb;  // the next length byte is at lengthCursor - 1
  size_t d = r;
  size_t blobAt = metadataBlob ? LeadingFieldCount(innoLayout) : SIZE_MAX;
  for (size_t i = 0; i < innoLayout.size(); ++i) {
    const InnoColumn& e = innoLayout[i];
    Cell& cell = cells[i];
    if (i == blobAt) d += 20;  // the metadata BLOB reference, which has no length byte
    if (i >= fields) {
      // A field the record predates: the metadata record's value.
      if (i < instantDefaults.size()) cell = instantDefaults[i];
      continue;
    }
    if (!NotNull(e)) {
      if (mask > 0x80) {
        --nullByte;
        mask = 1;
      }
      bool isNull = (v.u8(nullByte) & mask) != 0;
      mask <<= 1;
      if (isNull) {
        cell.text.assign(kNullText);
        cell.kind = CellKind::kNull;
        continue;
      }
    }
    size_t len = 0;
    bool external = false;
    if (e.fixedSize != 0) {
      len = static_cast<size_t>(e.fixedSize);
    } else {
      if (lengthCursor <= kInfimumOrigin) return false;
      uint32_t b1 = v.u8(--lengthCursor);
      if (IsBigColumn(e) && b1 >= 128) {
        if (lengthCursor <= kInfimumOrigin) return false;
        uint32_t b2 = v.u8(--lengthCursor);
        uint32_t value = (b1 << 8) | b2;
        len = value & 0x3FFF;
        external = (value & 0x4000) != 0;
      } else {
        len = b1;
      }
    }
    if (d + len > kPageDataEnd) return false;  // the rest of the record is not in the page
    if (e.mainType != InnoMainType::kSys) DecodeInnoValue(len, image + d, e, external, cell);
    d += len;
  }
  return complete;
}

void TableReader::ReadLeafRows(Tablespace ts, uint64_t page, uint64_t offset) {
  pageFull = false;
  stoppedAtLeafPage = false;
  if (page == kNullPage || page >= TablespacePageCount(ts)) return;
  if (ts == Tablespace::kSystem && page == 0) return;
  size_t columnCount = tableDef.columns.size();
  std::vector<uint8_t> image;
  std::vector<Cell> cells;
  // The pages come in the walk order of LeafSalvage.cpp: along the next page numbers while the
  // chain holds, in the salvage order once it broke.
  bool followed = false;  // p was reached by a next page number not yet checked
  for (size_t slot = BeginLeafWalk(page); slot < leafOrder.size();) {
    const uint64_t p = leafOrder[slot];
    if (p == stopAtLeafPage) {  // where the next reader of a divided walk starts
      stoppedAtLeafPage = true;
      break;
    }
    bool complete = false;
    bool got = ReadPageWithHeaders(ts, p, image, complete);
    uint32_t next = lastPageHeader.nextPage;
    bool readable = got && IsWalkedLeafPage(image, complete);
    if (followed && (!readable || lastPageHeader.previousPage != leafOrder[slot - 1])) {
      // Not the page that follows: damaged, of another index, or naming another page before it.
      uint64_t key = readable ? 2 * leafOrder[slot - 1] + 1 : 2 * p;
      slot = BreakLeafChain(ts, slot, key);
      followed = false;
      continue;
    }
    ByteView v(image.data(), image.size());
    bool compact = (lastPageHeader.heapRecords & 0x8000) != 0;
    if (readable && compact) {
      size_t r = FirstRecord(v);
      if (resumeFromPosition && offset != 0) r = static_cast<size_t>(offset);
      // A record's chain position repeats at most once per heap record.
      size_t limit = lastPageHeader.heapRecords & 0x7FFF;
      for (size_t k = 0; r != kSupremumOrigin; ++k) {
        if (r < kFirstUserRecord || r >= kPageDataEnd || k >= limit) {
          NoteLeafDamage(2 * p);
          break;
        }
        uint16_t status = v.be16(r - 4) & 7;
        if (status != kStatusOrdinary && status != kStatusInstant) {
          NoteLeafDamage(2 * p);
          break;
        }
        size_t following = (r + v.be16(r - 2)) & 0xFFFF;
        // Delete-marked records wait for purge and are not rows; the minimum-record flag on a leaf
        // marks the metadata record of an instantly altered table.
        if ((v.u8(r - 5) & (kDeleteMarkBit | kMinRecordBit)) == 0) {
          DecodeRecordFields(image.data(), r, cells);
          if (AppendRecordRow(cells, columnCount, p, following)) return;
        }
        r = following;
      }
    } else if (readable) {
      // ROW_FORMAT=REDUNDANT: absolute next-record offsets, field end offsets before the header.
      size_t r = v.be16(kRedundantInfimumOrigin - 2);
      if (resumeFromPosition && offset != 0) r = static_cast<size_t>(offset);
      size_t limit = lastPageHeader.heapRecords & 0x7FFF;
      for (size_t k = 0; r != kRedundantSupremumOrigin; ++k) {
        if (r < kRedundantSupremumOrigin + 9 || r >= kPageDataEnd || k >= limit) {
          NoteLeafDamage(2 * p);
          break;
        }
        size_t following = v.be16(r - 2);
        if ((v.u8(r - 6) & (kDeleteMarkBit | kMinRecordBit)) == 0) {
          DecodeRedundantFields(image.data(), r, cells);
          if (AppendRecordRow(cells, columnCount, p, following)) return;
        }
        r = following;
      }
    } else {
      // The first page of the walk, or a salvage page, that cannot be read: its next page number
      // is not trusted.
      NoteLeafDamage(2 * p);
      slot = CompleteLeafSalvageOrder(ts, p) - 1;
    }
    resumeFromPosition = false;
    slot = FollowingLeafSlot(ts, slot, next, followed);
  }
}

bool TableReader::AppendRecordRow(std::vector<Cell>& cells, size_t columnCount, uint64_t page, uint64_t following) {
  if (rowSink) {
    // Streaming: the cells go out where they are, in column order; the next record is decoded into
    // them again. Which cell gives each column is worked out once per page of rows.
    static const Cell kNoCell;
    if (sinkCellOfColumn.size() != columnCount) {
      sinkCellOfColumn.assign(columnCount, -1);
      for (size_t i = 0; i < innoLayout.size(); ++i) {
        int32_t n = innoLayout[i].column.number;
        if (n < 0 || static_cast<size_t>(n) >= columnCount) continue;
        if (i < layoutPrefixEntry.size() && layoutPrefixEntry[i]) continue;
        sinkCellOfColumn[static_cast<size_t>(n)] = static_cast<int32_t>(i);
      }
    }
    sinkCells.resize(columnCount);
    for (size_t n = 0; n < columnCount; ++n) {
      const int32_t i = sinkCellOfColumn[n];
      sinkCells[n] = i >= 0 && static_cast<size_t>(i) < cells.size() ? &cells[static_cast<size_t>(i)] : &kNoCell;
    }
    rowSink(sinkCells.data(), columnCount);
    ++sinkRows;
  } else {
    AppendRowCells(cells, columnCount);
  }
  if (PageRowCount() < rowsPerPage) return false;
  pageFull = true;
  if (!suppressPositions) resumePositions.push_back({page, following});
  return true;
}

void TableReader::AppendRowCells(std::vector<Cell>& cells, size_t columnCount) {
  // The decoded cells change places with the row's empty ones, so that both keep their buffers:
  // the row for the page, the cells for the next record (emptied when it is decoded).
  Row& row = AppendEmptyRow(columnCount);
  for (size_t i = 0; i < cells.size() && i < innoLayout.size(); ++i) {
    int32_t n = innoLayout[i].column.number;
    if (n < 0 || static_cast<size_t>(n) >= columnCount) continue;
    if (i < layoutPrefixEntry.size() && layoutPrefixEntry[i]) continue;
    std::swap(row[static_cast<size_t>(n)], cells[i]);
  }
}

bool TableReader::DecodeRedundantFields(uint8_t* image, size_t r, std::vector<Cell>& cells) {
  ByteView v(image, kPageSize);
  ResetCells(cells, innoLayout.size());
  uint32_t bits = v.be24(r - 5);
  bool oneByte = (bits & 1) != 0;
  size_t fields = (bits >> 1) & 0x3FF;
  size_t entry = oneByte ? 1 : 2;
  if (r < kRedundantSupremumOrigin + 9 + fields * entry) return false;
  size_t previousEnd = 0;
  for (size_t i = 0; i < innoLayout.size(); ++i) {
    const InnoColumn& e = innoLayout[i];
    Cell& cell = cells[i];
    if (i >= fields) {
      if (i < instantDefaults.size()) cell = instantDefaults[i];
      continue;
    }
    size_t at = r - 6 - (i + 1) * entry;
    uint32_t raw = oneByte ? v.u8(at) : v.be16(at);
    size_t end = raw & (oneByte ? 0x7F : 0x3FFF);
    bool isNull = (raw & (oneByte ? 0x80 : 0x8000)) != 0;
    bool external = !oneByte && (raw & 0x4000) != 0;
    if (end < previousEnd || r + end > kPageDataEnd) return false;
    size_t start = r + previousEnd;
    size_t len = end - previousEnd;
    previousEnd = end;
    if (isNull) {
      cell.text.assign(kNullText);
      cell.kind = CellKind::kNull;
    } else if (e.mainType != InnoMainType::kSys) {
      DecodeInnoValue(len, image + start, e, external, cell);
    }
  }
  return true;
}

}  // namespace wexholt
