// The .frm table definition: header, form-names block, key section, default-values record, extra
// segment, form info and field section, read into TableReader::tableDef.
//
// All numbers are little-endian.
//
// Header (64 bytes at offset 0):
//   0 FE, 1 01 marker; 2 format version (6, 7, 9, 10, 11); 3 legacy engine code; 4 (2) length of
//   the names part of the form-names block; 6 (2) key section offset; 8 (2) form count; 14 (2)
//   length of the key block that precedes the default-values record (FFFF: the 4-byte value at 47);
//   16 (2) row length; 28 (2) key section length; 30 (2) create options (bit 0: packed rows);
//   32 when 0, the default collation is byte 41 * 256 + byte 38; 34 (4) AUTO_INCREMENT start;
//   40 row type; 51 (4) server version (major * 10000 + minor * 100 + patch); 55 (4) extra segment
//   length.
// Form-names block at 64: the names part, then a 4-byte form offset per form (the first is used).
// Key section: key count and part count (byte 0 bit 7 set: count = byte 1 * 128 + (byte 0 & 7F),
//   parts at 2; else count = byte 0, parts = byte 1), then per key a header (versions 9-11: flags 2,
//   length 2, parts 1, algorithm 1, block size 2; 6-7: flags 1, length 2, parts 1) and its parts
//   (7, 9-11: column 2 (low 14 bits, 1-based), record offset 2, flags 1, key type 2, length 2;
//   6: column 2, offset 2, length 1, key type 2), then the key-name separator list, then a 2-byte
//   length and text per key whose flags carry a comment.
// Default-values record: row-length bytes at key section offset + header 14, then the extra
//   segment (2-byte length + connect string, 2-byte length + engine name, ..., and a long table
//   comment as 2-byte length + text at its end when form info byte 46 is 255).
// Form info (288 bytes at the form offset): 46 table comment length (255: in the extra segment)
//   and the text at 47; 258 columns; 260 screen block length; 266 row length; 268 column-name list
//   length; 270 value-list count; 274 value-list bytes; 282 nullable columns; 284 comment bytes;
//   286 expression block bytes.
// Field section at form offset + 288: screen block, column records (17 or 11 bytes), column-name
//   list, ENUM/SET value lists, column comments, then (version 11) the expression block: a 16-byte
//   header, then per expression kind 1 (0 VIRTUAL, 1 STORED, 2 DEFAULT, 3 column CHECK, 4 table
//   CHECK), column index 2, expression length 2, name length 1, the name, the expression text.
//
// Failure shows as an empty column list: a file that cannot be opened, is shorter than 68 bytes,
// lacks the marker or has another version leaves the TableDef as it was; a later failure (no form,
// a form or field section outside the file, a column-name count that does not match) has set
// engineType (and, past the form info, defaultCharset and the temporal flag) and adds no column.
// No read leaves the file image: bytes a section claims beyond the end of the file read as zero.
#include "definitions/FrmReader.h"

#include <algorithm>

#include "decoding/Text.h"
#include "definitions/TableReader.h"

namespace wexholt {

std::vector<std::string> SplitSeparatorList(ByteView view, size_t& cursor) {
  std::vector<std::string> names;
  if (cursor >= view.size()) return names;
  const uint8_t separator = view.u8(cursor);
  if (separator == 0) {
    ++cursor;
    return names;
  }
  size_t start = cursor + 1;
  while (start <= view.size()) {
    size_t end = start;
    while (end < view.size() && view.u8(end) != separator) ++end;
    names.emplace_back(reinterpret_cast<const char*>(view.data()) + start, end - start);
    if (end >= view.size()) {  // no closing separator inside the view
      cursor = view.size();
      return names;
    }
    if (end + 1 >= view.size() || view.u8(end + 1) == 0) {
      cursor = std::min(view.size(), end + 2);
      return names;
    }
    start = end + 1;
  }
  cursor = view.size();
  return names;
}

std::string DefinitionText(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return Cp1252ToUtf8(bytes);
}

int FractionDigitsFromLength(int typeCode, int length) {
  int base = 0;
  switch (typeCode) {
    case TypeCode::kTimestamp:
    case TypeCode::kTimestamp2:
    case TypeCode::kDateTime:
    case TypeCode::kDateTime2:
      base = 19;  // YYYY-MM-DD hh:mm:ss
      break;
    case TypeCode::kTime:
    case TypeCode::kTime2:
      base = 10;  // -838:59:59
      break;
    default:
      return 0;
  }
  if (length <= base + 1) return 0;
  return std::min(6, length - base - 1);  // a point, then the digits
}

namespace {

struct KeyRead {
  uint16_t flags = 0;
  int algorithm = 0;
  std::vector<IndexPart> parts;
};

bool IsNumericType(int type) {
  switch (type) {
    case TypeCode::kDecimalOld:
    case TypeCode::kTiny:
    case TypeCode::kShort:
    case TypeCode::kLong:
    case TypeCode::kFloat:
    case TypeCode::kDouble:
    case TypeCode::kLongLong:
    case TypeCode::kInt24:
    case TypeCode::kNewDecimal:
      return true;
    default:
      return false;
  }
}

bool IsCharacterType(int type) {
  return type == TypeCode::kVarchar || type == TypeCode::kVarString || type == TypeCode::kString;
}

bool IsBlobType(int type) {
  return type == TypeCode::kTinyBlob || type == TypeCode::kMediumBlob || type == TypeCode::kLongBlob ||
         type == TypeCode::kBlob;
}

// The trailing long table comment of the extra segment: a 2-byte length whose text ends exactly
// at the end of the segment, searched after the engine name.
std::string LongTableComment(ByteView extra, size_t from) {
  for (size_t p = from; p + 2 <= extra.size(); ++p) {
    size_t length = extra.le16(p);
    if (length > 0 && p + 2 + length == extra.size()) {
      return DefinitionText(extra.Sub(p + 2, length).AsString());
    }
  }
  return {};
}

}  // namespace

void TableReader::ReadTableDefinition(const std::string& path) {
  definitionFile.Close();
  if (!definitionFile.Open(path)) return;
  const std::vector<uint8_t> image = definitionFile.ReadAll();
  definitionFile.Close();
  const ByteView file(image.data(), image.size());

  // A file of 64 to 67 bytes cannot hold a form offset; it is refused like a short one.
  if (file.size() < Frm::kHeaderSize + 4) return;
  const uint8_t version = file.u8(2);
  if (file.u8(0) != 0xFE || file.u8(1) != 0x01) return;
  if (version != 6 && version != 7 && version != 9 && version != 10 && version != 11) return;

  tableDef.engineType = file.u8(3);
  const bool wideRecords = version >= 9;
  const size_t columnRecordSize = wideRecords ? Frm::kColumnRecordSize : Frm::kOldColumnRecordSize;
  const size_t keyHeaderSize = wideRecords ? 8 : 4;
  const size_t keyPartSize = version == 6 ? 7 : 9;

  // Form-names block: the names part, then the form offsets.
  const size_t namesLength = file.le16(4);
  if (file.le16(8) == 0) return;
  if (!file.Contains(Frm::kHeaderSize + namesLength, 4)) return;
  const uint32_t formOffset = file.le32(Frm::kHeaderSize + namesLength);
  if (formOffset == 0 || formOffset >= file.size()) return;

  // Form info: bytes past the end of the file read as zero.
  const ByteView form = file.Sub(formOffset, Frm::kFormInfoSize);

  const uint32_t serverVersion = file.le32(51);
  Settings().newTemporalFormat = serverVersion >= 50600;
  const uint16_t createOptions = file.le16(30);
  int nullStartBit = 0;
  if (file.u8(32) == 0) {
    tableDef.defaultCharset = file.u8(41) * 256 + file.u8(38);
    nullStartBit = (createOptions & 1) ? 0 : 1;
  } else {
    tableDef.defaultCharset = 0;
  }

  // Key section.
  const size_t keyOffset = file.le16(6);
  const size_t keyLength = file.le16(28);
  const ByteView keys = file.Sub(keyOffset, keyLength);
  size_t keyCount = 0;
  size_t cursor = 6;
  if (keys.u8(0) & 0x80) {
    keyCount = keys.u8(1) * 128u + (keys.u8(0) & 0x7F);
  } else {
    keyCount = keys.u8(0);
  }
  std::vector<KeyRead> keyReads;
  while (keyReads.size() < keyCount && cursor < keyLength) {
    KeyRead key;
    size_t partCount = 0;
    if (wideRecords) {
      key.flags = keys.le16(cursor);
      partCount = keys.u8(cursor + 4);
      key.algorithm = keys.u8(cursor + 5);
    } else {
      key.flags = keys.u8(cursor);
      partCount = keys.u8(cursor + 3);
    }
    cursor += keyHeaderSize;
    while (key.parts.size() < partCount && cursor < keyLength) {
      IndexPart part;
      part.columnNumber = keys.le16(cursor) & 0x3FFF;
      part.recordOffset = keys.le16(cursor + 2);
      if (version == 6) {
        part.length = keys.u8(cursor + 4);
        part.keyType = keys.le16(cursor + 5);
      } else {
        part.flags = keys.u8(cursor + 4);
        part.keyType = keys.le16(cursor + 5);
        part.length = keys.le16(cursor + 7);
      }
      key.parts.push_back(part);
      cursor += keyPartSize;
    }
    keyReads.push_back(std::move(key));
  }
  std::vector<std::string> keyNames;
  std::vector<std::string> keyComments(keyReads.size());
  if (cursor < keyLength) {
    // The name list runs to its terminating zero byte, at most to the end of the section.
    const std::string_view listBytes = keys.CString(cursor);
    const ByteView list(listBytes.data(), listBytes.size());
    size_t listCursor = 0;
    keyNames = SplitSeparatorList(list, listCursor);
    cursor += listBytes.size() + 1;
    for (size_t k = 0; k < keyReads.size(); ++k) {
      if (!(keyReads[k].flags & Frm::kKeyHasComment) || !wideRecords) continue;
      if (cursor + 2 > keys.size()) break;
      size_t length = keys.le16(cursor);
      keyComments[k] = DefinitionText(keys.Sub(cursor + 2, length).AsString());
      cursor += 2 + length;
    }
  }

  // Field section.
  const size_t columnCount = form.le16(258);
  const size_t screenLength = form.le16(260);
  const size_t nameListLength = form.le16(268);
  const size_t valueListCount = form.le16(270);
  const size_t valueListLength = form.le16(274);
  const size_t nullableCount = form.le16(282);
  const size_t commentLength = form.le16(284);
  const size_t expressionLength = wideRecords ? form.le16(286) : 0;
  const size_t fieldOffset = static_cast<size_t>(formOffset) + Frm::kFormInfoSize;
  const size_t recordsLength = columnCount * columnRecordSize;
  const size_t fieldLength = recordsLength + screenLength + nameListLength + valueListLength + commentLength;
  if (!file.Contains(fieldOffset, fieldLength)) return;
  const ByteView fields = file.Sub(fieldOffset, fieldLength);
  const ByteView records = fields.Sub(screenLength, recordsLength);
  const size_t namesStart = screenLength + recordsLength;

  size_t nameCursor = 0;
  const std::vector<std::string> columnNames = SplitSeparatorList(fields.Sub(namesStart, nameListLength), nameCursor);
  if (columnNames.size() != columnCount) return;

  std::vector<std::vector<std::string>> valueLists;
  const ByteView values = fields.Sub(namesStart + nameListLength, valueListLength);
  size_t valueCursor = 0;
  while (valueLists.size() < valueListCount && valueCursor < values.size()) {
    std::vector<std::string> list;
    for (const std::string& raw : SplitSeparatorList(values, valueCursor)) list.push_back(DefinitionText(raw));
    valueLists.push_back(std::move(list));
  }
  const ByteView comments = fields.Sub(fieldLength - commentLength, commentLength);
  size_t commentCursor = 0;

  std::vector<ColumnDef> columns;
  columns.reserve(columnCount);
  int enumColumnsSeen = 0;
  for (size_t i = 0; i < columnCount; ++i) {
    const ByteView record = records.Sub(i * columnRecordSize, columnRecordSize);
    ColumnDef column;
    column.name = DefinitionText(columnNames[i]);
    column.number = static_cast<int32_t>(i);
    if (!wideRecords) {
      column.length = record.u8(3);
      column.recordPos = record.le16(4);
      column.packFlags = record.le16(6) & ~Frm::kPackNoDefault;
      column.typeCode = (column.packFlags >> 3) & 15;
      column.nullable = (column.packFlags & Frm::kPackNullable) ? 1 : 0;
      columns.push_back(std::move(column));
      continue;
    }
    const uint16_t pack = record.le16(8);
    column.length = record.le16(3);
    column.recordPos = static_cast<int32_t>(record.le24(5));
    column.packFlags = pack;
    column.unireg = record.u8(10);
    column.interval = record.u8(12);
    column.typeCode = record.u8(13);
    column.nullable = (pack & Frm::kPackNullable) ? 1 : 0;
    column.charsetId = record.u8(11) * 256 + record.u8(14);
    column.geometryType = column.typeCode == TypeCode::kGeometry ? record.u8(14) : 0;
    column.bitAsChars = (pack & Frm::kPackBitAsChars) ? 1 : 0;
    const int scale = (pack >> Frm::kScaleShift) & 31;
    switch (column.typeCode) {
      case TypeCode::kDecimalOld:
      case TypeCode::kNewDecimal: {
        column.decimals = scale;
        int32_t precision = column.length - (column.decimals > 0 ? 1 : 0) -
                            ((pack & Frm::kPackSigned) && column.length > 0 ? 1 : 0);
        if (static_cast<uint32_t>(precision) > 65u) precision = 65;
        column.precision = precision;
        break;
      }
      case TypeCode::kFloat:
      case TypeCode::kDouble:
        if (scale < Frm::kNoScale) {
          column.precision = column.length;
          column.decimals = scale;
        }
        break;
      case TypeCode::kEnum:
      case TypeCode::kSet: {
        const size_t listIndex = column.interval != 0 ? column.interval - 1u : static_cast<size_t>(enumColumnsSeen);
        if (listIndex < valueLists.size()) {
          column.enumMembers = valueLists[listIndex];
          for (const std::string& value : column.enumMembers) {
            if (value.empty()) continue;
            column.enumText += '\'';
            column.enumText += value;
            column.enumText += "',";
          }
          while (!column.enumText.empty() && column.enumText.back() == ',') column.enumText.pop_back();
        }
        ++enumColumnsSeen;
        break;
      }
      default:
        break;
    }
    if (IsNumericType(column.typeCode) && (pack & Frm::kPackNumber)) {
      column.isUnsigned = (pack & Frm::kPackSigned) ? 0 : 1;
      column.zeroFill = (pack & Frm::kPackZerofill) ? 1 : 0;
    }
    column.fractionDigits = FractionDigitsFromLength(column.typeCode, column.length);
    column.autoIncrement = column.unireg == Frm::kUniregNextNumber ? 1 : 0;
    column.hasDefault = !(pack & Frm::kPackNoDefault) && !column.autoIncrement ? 1 : 0;
    const size_t ownCommentLength = record.le16(15);
    if (ownCommentLength > 0) {
      column.comment = DefinitionText(comments.Sub(commentCursor, ownCommentLength).AsString());
      commentCursor += ownCommentLength;
    }
    columns.push_back(std::move(column));
  }

  // Expression block: generated columns, DEFAULT expressions and CHECK constraints.
  std::vector<std::string> checks;
  if (version == 11 && expressionLength > Frm::kExpressionBlockHeader) {
    const ByteView block = file.Sub(fieldOffset + fieldLength, expressionLength);
    size_t p = Frm::kExpressionBlockHeader;
    while (p + 6 <= block.size()) {
      const int kind = block.u8(p);
      const size_t columnIndex = block.le16(p + 1);
      const size_t exprLength = block.le16(p + 3);
      const size_t nameLength = block.u8(p + 5);
      if (p + 6 + nameLength + exprLength > block.size()) break;
      const std::string name = DefinitionText(block.Sub(p + 6, nameLength).AsString());
      const std::string expr = DefinitionText(block.Sub(p + 6 + nameLength, exprLength).AsString());
      p += 6 + nameLength + exprLength;
      // A column's own CHECK carries the column name; a table CHECK its constraint name.
      if (kind == Frm::kExpressionColumnCheck || (kind == Frm::kExpressionTableCheck && name.empty())) {
        checks.push_back("CHECK (" + expr + ")");
        continue;
      }
      if (kind == Frm::kExpressionTableCheck) {
        std::string quoted;
        for (char c : name) quoted += c == '`' ? std::string("``") : std::string(1, c);
        checks.push_back("CONSTRAINT `" + quoted + "` CHECK (" + expr + ")");
        continue;
      }
      if (columnIndex >= columns.size()) continue;
      ColumnDef& column = columns[columnIndex];
      if (kind == Frm::kExpressionDefault) {
        column.defaultExpression = expr;
      } else if (kind == Frm::kExpressionVirtual || kind == Frm::kExpressionStored) {
        column.generationExpression = expr;
        column.generatedStored = kind == Frm::kExpressionStored ? 1 : 0;
        column.hasDefault = 0;
      }
    }
  }

  // Key members and the kept index list.
  std::vector<IndexDef> indexes;
  for (size_t k = 0; k < keyReads.size(); ++k) {
    const KeyRead& key = keyReads[k];
    IndexDef index;
    index.flags = key.flags;
    index.algorithm = key.algorithm;
    index.parts = key.parts;
    index.comment = keyComments[k];
    if (k < keyNames.size()) index.name = DefinitionText(keyNames[k]);
    index.primary = k < keyNames.size() && ToUpperAscii(keyNames[k]) == "PRIMARY";
    index.unique = !(key.flags & Frm::kKeyNotUnique);
    index.fulltext = (key.flags & Frm::kKeyFulltext) || key.algorithm == Frm::kKeyAlgorithmFulltext;
    index.spatial = (key.flags & Frm::kKeySpatial) || key.algorithm == Frm::kKeyAlgorithmRtree;
    if (index.fulltext || index.spatial) index.unique = false;
    for (IndexPart& part : index.parts) {
      if (part.columnNumber < 1 || static_cast<size_t>(part.columnNumber) > columns.size()) continue;
      ColumnDef& column = columns[part.columnNumber - 1];
      if (index.primary) {
        column.inPrimaryKey = 1;
      } else if (!(key.flags & Frm::kKeyNotUnique)) {
        column.inUniqueKey = 1;
      }
      if (index.fulltext || index.spatial) continue;
      if (IsBlobType(column.typeCode)) {
        part.prefixLength = part.length;
      } else if (IsCharacterType(column.typeCode) && part.length < column.length) {
        part.prefixLength = part.length;
      }
    }
    indexes.push_back(std::move(index));
  }

  // NULL-flag bytes: the start bit, one bit per nullable column, and the odd bits of BIT columns.
  size_t nullBits = static_cast<size_t>(nullStartBit) + nullableCount;
  for (const ColumnDef& column : columns) {
    if (column.typeCode == TypeCode::kBit && !(column.packFlags & Frm::kPackBitAsChars)) {
      nullBits += static_cast<size_t>(column.length) % 8;
    }
  }

  // Default-values record and the extra segment that follows it.
  const size_t rowLength = form.le16(266);
  size_t keyBlockLength = file.le16(14);
  if (keyBlockLength == 0xFFFF) keyBlockLength = file.le32(47);
  const size_t defaultsOffset = keyOffset + keyBlockLength;
  const ByteView defaults = file.Sub(defaultsOffset, rowLength);
  std::string engineName;
  std::string tableComment;
  const size_t commentByte = form.u8(46);
  if (commentByte != 255) {
    tableComment = DefinitionText(form.Sub(47, std::min<size_t>(commentByte, Frm::kFormInfoSize - 47)).AsString());
  }
  const size_t extraLength = file.le32(55);
  if (extraLength > 0 && defaultsOffset + rowLength < file.size()) {
    const ByteView extra = file.Sub(defaultsOffset + rowLength, extraLength);
    size_t p = 0;
    const size_t connectLength = extra.le16(p);
    p += 2 + connectLength;
    if (p + 2 <= extra.size()) {
      const size_t engineLength = extra.le16(p);
      if (p + 2 + engineLength <= extra.size()) {
        engineName = DefinitionText(extra.Sub(p + 2, engineLength).AsString());
        p += 2 + engineLength;
      }
    }
    if (commentByte == 255) tableComment = LongTableComment(extra, p);
  }

  for (ColumnDef& column : columns) tableDef.columns.push_back(std::move(column));
  for (const auto& list : valueLists) {
    for (const std::string& value : list) tableDef.enumValues.push_back(value);
  }
  tableDef.nullBytes = static_cast<int32_t>((nullBits + 7) / 8);
  tableDef.recordLength = static_cast<int32_t>(rowLength);
  tableDef.formatVersion = version;
  tableDef.serverVersion = serverVersion;
  tableDef.createOptions = createOptions;
  tableDef.rowType = file.u8(40);
  tableDef.autoIncrementStart = file.le32(34);
  tableDef.engineName = engineName;
  tableDef.tableComment = tableComment;
  tableDef.indexes = std::move(indexes);
  tableDef.checkConstraints = std::move(checks);
  tableDef.defaultRecord.assign(defaults.data(), defaults.data() + defaults.size());
  tableDef.defaultRecord.resize(rowLength, 0);
}

}  // namespace wexholt
