// Column places in a MyISAM row image.
//
// A row starts with its NULL-flag bytes (TableDef nullBytes). In a fixed-length row the first bit
// (bit 0 of byte 0) is reserved and always set in a live row; rows of the dynamic format (create
// option "pack record", .MYI option bit 0) have no reserved bit. Every nullable column, in column
// order, takes the next bit. A BIT(n) column whose n is not a multiple of 8 keeps its n % 8 high
// bits right after its own NULL bit among these bytes and stores only n / 8 bytes at its position.
//
// Column c starts at byte recordPos - 1. The .MYI lists one entry per stored piece of the row in
// record order: the NULL-flag area first (when the row has one), then every column that takes
// bytes (a BIT(n < 8) takes none and has no entry). Entries are matched to columns by their offset.
// The NULL flag of a column comes from its .MYI entry when there is one, else from the order above.
#include "myisam/MyisamColumns.h"

#include <map>

namespace wexholt {

namespace {

constexpr uint16_t kCreatePackRecord = 1;

bool BitInNullArea(const ColumnDef& c) { return c.typeCode == TypeCode::kBit && !c.bitAsChars && (c.length % 8); }

uint32_t RowWidth(const ColumnDef& c) {
  switch (c.typeCode) {
    case TypeCode::kVarchar:
      return static_cast<uint32_t>(c.length) + (c.length > 255 ? 2 : 1);
    case TypeCode::kBit:
      return static_cast<uint32_t>(c.bitAsChars ? (c.length + 7) / 8 : c.length / 8);
    case TypeCode::kTinyBlob: return 1 + 8;
    case TypeCode::kBlob: return 2 + 8;
    case TypeCode::kMediumBlob: return 3 + 8;
    case TypeCode::kLongBlob:
    case TypeCode::kGeometry: return 4 + 8;
    default: {
      int n = StoredFieldSize(c);
      return n > 0 ? static_cast<uint32_t>(n) : 0;
    }
  }
}

}  // namespace

void TableReader::PrepareMyisamPlaces() {
  const auto& columns = tableDef.columns;
  myisamPlaces.assign(columns.size(), MyisamColumnPlace{});
  myisamEntryColumn.assign(myisamFields.size(), -1);
  myisamNullEntry = -1;

  const bool packed = (tableDef.createOptions & kCreatePackRecord) || rowFormat == kRowFormatDynamic;
  uint32_t bit = packed ? 0 : 1;
  for (size_t k = 0; k < columns.size(); ++k) {
    const ColumnDef& c = columns[k];
    MyisamColumnPlace& place = myisamPlaces[k];
    place.offset = c.recordPos > 0 ? static_cast<uint32_t>(c.recordPos - 1) : 0;
    place.width = RowWidth(c);
    if (c.nullable) {
      place.nullPos = static_cast<uint16_t>(bit / 8);
      place.nullMask = static_cast<uint8_t>(1u << (bit % 8));
      ++bit;
    }
    if (BitInNullArea(c)) {
      place.bitPos = static_cast<uint16_t>(bit / 8);
      place.bitOffset = static_cast<uint8_t>(bit % 8);
      place.bitCount = static_cast<uint8_t>(c.length % 8);
      bit += place.bitCount;
    }
  }

  // Entries by their offset in the row.
  std::map<uint32_t, int32_t> entryAt;
  uint32_t offset = 0;
  for (size_t e = 0; e < myisamFields.size(); ++e) {
    entryAt.emplace(offset, static_cast<int32_t>(e));
    offset += myisamFields[e].storedLength;
  }
  for (size_t k = 0; k < columns.size(); ++k) {
    MyisamColumnPlace& place = myisamPlaces[k];
    if (place.width == 0) continue;
    auto it = entryAt.find(place.offset);
    if (it == entryAt.end() || myisamEntryColumn[static_cast<size_t>(it->second)] != -1) continue;
    place.entry = it->second;
    myisamEntryColumn[static_cast<size_t>(it->second)] = static_cast<int32_t>(k);
    const MyisamField& f = myisamFields[static_cast<size_t>(it->second)];
    if (f.nullBit) {
      place.nullMask = f.nullBit;
      place.nullPos = f.nullPos;
    }
  }
  if (tableDef.nullBytes > 0 && !myisamFields.empty() && myisamEntryColumn[0] == -1) myisamNullEntry = 0;
}

void DecodeMyisamColumn(const ColumnDef& column, const MyisamColumnPlace& place, const uint8_t* bytes,
                        size_t count, ByteView nullFlags, FieldSource source, const DecoderSettings& settings,
                        Cell& out) {
  if (place.nullMask && (nullFlags.u8(place.nullPos) & place.nullMask) == place.nullMask) {
    out.text.assign(kNullText);
    out.kind = CellKind::kNull;
    return;
  }
  if (place.bitCount) {
    uint8_t value[9] = {};
    const uint32_t two = nullFlags.u8(place.bitPos) | (uint32_t{nullFlags.u8(place.bitPos + 1u)} << 8);
    value[0] = static_cast<uint8_t>((two >> place.bitOffset) & ((1u << place.bitCount) - 1));
    const size_t n = count < 8 ? count : 8;
    for (size_t i = 0; i < n; ++i) value[1 + i] = bytes[i];
    DecodeFieldText(column, value, 1 + n, source, settings, out);
    return;
  }
  DecodeFieldText(column, bytes, count, source, settings, out);
}

}  // namespace wexholt
