// Packed records of the dynamic format: the concatenated data of a record's blocks.
//
//   packBitBytes bytes of pack flags: one bit per field whose storage type is not 0, 8 or 9, in
//   field order, from bit 0 of the first byte on
//   then the fields in .MYI entry order, each by its storage type:
//     0, 9  normal             storedLength bytes
//     8     VARCHAR            length (1 byte; with storedLength - 1 >= 256 one byte, or 255 and
//                              then 2 bytes big-endian), then that many bytes
//     1, 2  spaces removed     bit set: length (1 byte, or with storedLength > 255 and bit 7 of the
//                              first byte set (b0 & 0x7F) + b1 * 128), then the bytes; bit clear:
//                              storedLength bytes
//     3     zero omitted       bit set: no bytes, the value is storedLength zero bytes
//     4     BLOB               bit set: empty; bit clear: length little-endian in storedLength - 8
//                              bytes, then the bytes
//   Entry 0 is the NULL-flag area when the row has one (a normal field of nullBytes bytes).
// A record shorter than minPackLength gives 0 and no row; a record whose fields do not fit gives
// its length and no row. Trailing bytes (a checksum) are ignored.
#include <cstring>

#include "decoding/FieldText.h"
#include "myisam/MyisamColumns.h"

namespace wexholt {

namespace {

struct FieldSpan {
  const uint8_t* bytes = nullptr;
  uint32_t count = 0;
};

enum StorageType : int16_t {
  kNormal = 0,
  kSkipEndSpace = 1,
  kSkipPreSpace = 2,
  kSkipZero = 3,
  kBlobField = 4,
  kVarcharField = 8,
  kCheckField = 9,
};


// Unpacks the fields of record into spans; false when a field does not fit.
bool UnpackFields(const std::vector<MyisamField>& fields, const MyisamBaseInfo& base, const uint8_t* record,
                  uint32_t length, std::vector<FieldSpan>& spans, std::vector<uint8_t>& zeros) {
  const ByteView r(record, length);
  const int64_t n = length;
  int64_t p = base.packBitBytes;
  int64_t m = static_cast<int64_t>(base.minPackLength) - base.packBitBytes;
  size_t flagPos = 0;
  unsigned bit = 1;
  if (p > n) return false;
  spans.assign(fields.size(), FieldSpan{});
  // Omitted zero values all point into one buffer of zeros, sized once so that it never moves.
  size_t longest = 0;
  for (const MyisamField& f : fields) longest = f.storedLength > longest ? f.storedLength : longest;
  if (zeros.size() < longest) zeros.assign(longest, 0);
  for (size_t e = 0; e < fields.size(); ++e) {
    const MyisamField& f = fields[e];
    const int64_t len = f.storedLength;
    const int64_t left = n - p;
    FieldSpan& span = spans[e];
    auto take = [&](int64_t count) {
      span.bytes = record + p;
      span.count = static_cast<uint32_t>(count);
      p += count;
    };
    if (f.storageType == kNormal || f.storageType == kCheckField) {
      if (m > left || len > left) return false;
      m -= len;
      take(len);
      continue;
    }
    if (f.storageType == kVarcharField) {
      if (left < 1) return false;
      int64_t value;
      if (len - 1 < 256) {
        value = r.u8(static_cast<size_t>(p));
        p += 1;
        if (value > len - 1) return false;
      } else if (r.u8(static_cast<size_t>(p)) != 255) {
        value = r.u8(static_cast<size_t>(p));
        p += 1;
        if (value > len - 1) return false;
      } else {
        if (left < 3) return false;
        value = r.be16(static_cast<size_t>(p) + 1);
        p += 3;
        if (value > len - 2) return false;
      }
      if (value > n - p) return false;
      take(value);
      m -= 1;
      continue;
    }
    const bool packBit = (r.u8(flagPos) & bit) != 0;
    if (packBit) {
      switch (f.storageType) {
        case kSkipEndSpace:
        case kSkipPreSpace: {
          int64_t value;
          if (len > 255 && (r.u8(static_cast<size_t>(p)) & 0x80)) {
            if (p + 1 >= n) return false;
            value = (r.u8(static_cast<size_t>(p)) & 0x7F) + r.u8(static_cast<size_t>(p) + 1) * 128;
            p += 2;
          } else {
            if (p >= n) return false;
            value = r.u8(static_cast<size_t>(p));
            p += 1;
          }
          m -= 1;
          if (value >= len || value + m > n - p) return false;
          take(value);
          break;
        }
        case kSkipZero:
          span.bytes = zeros.data();
          span.count = static_cast<uint32_t>(len);
          break;
        default:
          break;  // an empty value
      }
    } else if (f.storageType == kBlobField) {
      const int64_t s = len - 8;
      const int64_t value = (s >= 1 && s <= 4 && left >= s) ? static_cast<int64_t>(r.le(static_cast<size_t>(p), static_cast<size_t>(s))) : 0;
      if (left < s || left - s < value || left - s - value < m) return false;
      p += s > 0 ? s : 0;
      take(value);
    } else {
      if (f.storageType == kSkipEndSpace || f.storageType == kSkipPreSpace) m -= 1;
      if (len + m > left || len > left) return false;
      take(len);
    }
    bit <<= 1;
    if (bit == 256) {
      bit = 1;
      ++flagPos;
    }
  }
  return true;
}

}  // namespace

uint32_t TableReader::DecodeDynamicRecord(const uint8_t* record, uint32_t length) {
  if (length < baseInfo.minPackLength) return 0;
  if (myisamPlaces.size() != tableDef.columns.size() || myisamEntryColumn.size() != myisamFields.size())
    PrepareMyisamPlaces();

  thread_local std::vector<FieldSpan> spans;
  thread_local std::vector<uint8_t> zeros;
  if (!UnpackFields(myisamFields, baseInfo, record, length, spans, zeros)) return length;

  const uint8_t* nullFlags = nullptr;
  size_t nullFlagBytes = 0;
  if (myisamNullEntry >= 0) {
    nullFlags = spans[static_cast<size_t>(myisamNullEntry)].bytes;
    nullFlagBytes = spans[static_cast<size_t>(myisamNullEntry)].count;
  }

  Row& row = AppendEmptyRow(tableDef.columns.size());
  for (size_t e = 0; e < myisamFields.size(); ++e) {
    if (static_cast<int32_t>(e) == myisamNullEntry) continue;
    DecodeDynamicField(e, spans[e].bytes, spans[e].count, nullFlags, nullFlagBytes, myisamFields[e].storedLength,
                       row);
  }
  // Columns without bytes of their own (BIT of fewer than 8 bits lives in the NULL flags alone).
  for (size_t k = 0; k < tableDef.columns.size(); ++k) {
    const MyisamColumnPlace& place = myisamPlaces[k];
    if (place.entry >= 0) continue;
    DecodeMyisamColumn(tableDef.columns[k], place, nullptr, 0, ByteView(nullFlags, nullFlagBytes),
                       FieldSource::kDynamicRow, Settings(), row[k]);
  }
  return length;
}

void TableReader::DecodeDynamicField(size_t entry, const uint8_t* bytes, size_t count, const uint8_t* nullFlags,
                                     size_t nullFlagBytes, uint32_t storedLength, Row& row) {
  if (entry >= myisamEntryColumn.size()) return;
  const int32_t k = myisamEntryColumn[entry];
  if (k < 0 || static_cast<size_t>(k) >= tableDef.columns.size() || static_cast<size_t>(k) >= row.size()) return;
  const ColumnDef& column = tableDef.columns[static_cast<size_t>(k)];
  const int16_t type = myisamFields[entry].storageType;
  if (column.charsetId == kBinaryCollation && (type == kSkipEndSpace || type == kSkipPreSpace) &&
      count < storedLength) {
    // The removed spaces are part of a binary value: put them back (a text CHAR is shown without).
    thread_local std::vector<uint8_t> padded;
    padded.assign(storedLength, ' ');
    if (count) std::memcpy(padded.data() + (type == kSkipPreSpace ? storedLength - count : 0), bytes, count);
    bytes = padded.data();
    count = storedLength;
  }
  DecodeMyisamColumn(column, myisamPlaces[static_cast<size_t>(k)], bytes, count, ByteView(nullFlags, nullFlagBytes),
                     FieldSource::kDynamicRow, Settings(), row[static_cast<size_t>(k)]);
}

}  // namespace wexholt
