#include "save/CreateTable.h"

#include <algorithm>

#include "decoding/FieldText.h"
#include "definitions/ColumnTypeText.h"
#include "save/SqlScript.h"

namespace wexholt {
namespace {

constexpr uint16_t kCreatePackRecord = 0x0001;  // create option: packed (variable-length) records
constexpr uint16_t kPackNoDefault = 0x4000;
constexpr uint16_t kPackBitAsChars = 0x1000;
constexpr int kUniregTimestampDefault = 21;
constexpr int kUniregTimestampUpdate = 22;
constexpr int kUniregTimestampDefaultUpdate = 23;
constexpr int kKeyAlgorithmBtree = 1;
constexpr int kKeyAlgorithmHash = 3;

bool IsBlobOrGeometry(int type) {
  return type == TypeCode::kTinyBlob || type == TypeCode::kMediumBlob || type == TypeCode::kLongBlob ||
         type == TypeCode::kBlob || type == TypeCode::kGeometry;
}

bool HasCharacterSet(const ColumnDef& column) {
  if (column.charsetId == kBinaryCollation || column.charsetId == 0) return false;
  switch (column.typeCode) {
    case TypeCode::kVarchar:
    case TypeCode::kVarString:
    case TypeCode::kString:
    case TypeCode::kTinyBlob:
    case TypeCode::kMediumBlob:
    case TypeCode::kLongBlob:
    case TypeCode::kBlob:
    case TypeCode::kEnum:
    case TypeCode::kSet:
      return true;
    default:
      return false;
  }
}

// Where the null bit and the high bits of a BIT column lie in a row image.
struct NullPlace {
  int nullBit = -1;     // -1: not nullable
  int bitsAt = -1;      // first of the high bits of a BIT column kept among the null bits
  int bitsCount = 0;
};

std::vector<NullPlace> NullPlaces(const TableDef& table) {
  std::vector<NullPlace> places(table.columns.size());
  int bit = (table.createOptions & kCreatePackRecord) ? 0 : 1;
  for (size_t i = 0; i < table.columns.size(); ++i) {
    const ColumnDef& column = table.columns[i];
    if (column.nullable) places[i].nullBit = bit++;
    if (column.typeCode == TypeCode::kBit && !(column.packFlags & kPackBitAsChars) && column.length % 8) {
      places[i].bitsAt = bit;
      places[i].bitsCount = column.length % 8;
      bit += column.length % 8;
    }
  }
  return places;
}

bool BitSet(const std::vector<uint8_t>& record, int bit) {
  const size_t byte = static_cast<size_t>(bit) / 8;
  return byte < record.size() && (record[byte] >> (bit % 8)) & 1;
}

// The bytes of column in the default-values record, in the form DecodeFieldText takes for a
// fixed row. Empty when the record is too short.
std::vector<uint8_t> DefaultBytes(const TableDef& table, const ColumnDef& column, const NullPlace& place) {
  const std::vector<uint8_t>& record = table.defaultRecord;
  const size_t start = column.recordPos > 0 ? static_cast<size_t>(column.recordPos - 1) : 0;
  size_t size = 0;
  if (column.typeCode == TypeCode::kVarchar) {
    size = (column.length > 255 ? 2 : 1) + static_cast<size_t>(column.length);
  } else if (column.typeCode == TypeCode::kBit && !(column.packFlags & kPackBitAsChars)) {
    // Whole bytes at recordPos, big-endian; the high bits among the null bits in front of them.
    const size_t whole = static_cast<size_t>(column.length) / 8;
    std::vector<uint8_t> bytes;
    if (place.bitsCount > 0) {
      uint8_t high = 0;
      for (int b = place.bitsCount - 1; b >= 0; --b) high = static_cast<uint8_t>(high << 1 | BitSet(record, place.bitsAt + b));
      bytes.push_back(high);
    }
    for (size_t i = 0; i < whole; ++i) bytes.push_back(start + i < record.size() ? record[start + i] : 0);
    return bytes;
  } else {
    size = static_cast<size_t>(StoredFieldSize(column));
  }
  if (size == 0 || start + size > record.size()) return {};
  return std::vector<uint8_t>(record.begin() + static_cast<long>(start), record.begin() + static_cast<long>(start + size));
}

std::string CurrentTimestamp(const ColumnDef& column) {
  return column.fractionDigits > 0 ? "current_timestamp(" + std::to_string(column.fractionDigits) + ")"
                                   : "current_timestamp()";
}

// The engine's own name by the .frm engine code.
const char* EngineByCode(int code) {
  switch (code) {
    case kEngineMyisam: return "MyISAM";
    case kEngineInnodb: return "InnoDB";
    case 6: return "MEMORY";
    case 13: return "MRG_MyISAM";  // merge tables of MyISAM
    case 17: return "CSV";
    case 18: return "ARCHIVE";
    case 42: return "Aria";
    default: return "";
  }
}

const char* RowFormatName(int rowType) {
  switch (rowType) {
    case 1: return "FIXED";
    case 2: return "DYNAMIC";
    case 3: return "COMPRESSED";
    case 4: return "REDUNDANT";
    case 5: return "COMPACT";
    case 6: return "PAGE";
    default: return "";
  }
}

int32_t MaxBytes(const CollationTable* collations, int32_t collation) {
  if (!collations || collation == kBinaryCollation) return 1;
  auto it = collations->find(collation);
  return it == collations->end() || it->second.maxBytes <= 0 ? 1 : it->second.maxBytes;
}

std::string ColumnClause(const TableDef& table, const ColumnDef& column, const DecoderSettings& settings) {
  static const CollationTable kNone;
  const CollationTable& collations = settings.collations ? *settings.collations : kNone;
  std::string text = QuoteIdentifier(column.name) + " " + ColumnSqlType(column, table, collations);
  if (HasCharacterSet(column)) {
    auto it = collations.find(column.charsetId);
    if (it != collations.end() && !it->second.charsetName.empty()) {
      text += " CHARACTER SET " + it->second.charsetName;
      if (!it->second.collationName.empty()) text += " COLLATE " + it->second.collationName;
    }
  }
  if (!column.generationExpression.empty()) {
    text += " GENERATED ALWAYS AS (" + column.generationExpression + ")";
    text += column.generatedStored ? " STORED" : " VIRTUAL";
  } else {
    text += column.nullable ? " NULL" : " NOT NULL";
    const std::string defaultClause = ColumnDefaultClause(table, column, settings);
    if (!defaultClause.empty()) text += " " + defaultClause;
    if (column.autoIncrement) text += " AUTO_INCREMENT";
  }
  if (!column.comment.empty()) text += " COMMENT " + QuoteString(column.comment);
  return text;
}

std::string IndexClause(const TableDef& table, const IndexDef& index, const DecoderSettings& settings) {
  std::string text;
  if (index.primary) {
    text = "PRIMARY KEY";
  } else {
    if (index.fulltext) text = "FULLTEXT KEY ";
    else if (index.spatial) text = "SPATIAL KEY ";
    else if (index.unique) text = "UNIQUE KEY ";
    else text = "KEY ";
    text += QuoteIdentifier(index.name);
  }
  text += " (";
  bool first = true;
  for (const IndexPart& part : index.parts) {
    if (part.columnNumber < 1 || static_cast<size_t>(part.columnNumber) > table.columns.size()) continue;
    const ColumnDef& column = table.columns[static_cast<size_t>(part.columnNumber - 1)];
    if (!first) text += ',';
    first = false;
    text += QuoteIdentifier(column.name);
    if (part.prefixLength > 0 && !index.fulltext && !index.spatial) {
      text += "(" + std::to_string(part.prefixLength / MaxBytes(settings.collations, column.charsetId)) + ")";
    }
  }
  text += ")";
  if (!index.fulltext && !index.spatial) {
    if (index.algorithm == kKeyAlgorithmBtree) text += " USING BTREE";
    else if (index.algorithm == kKeyAlgorithmHash) text += " USING HASH";
  }
  if (!index.comment.empty()) text += " COMMENT " + QuoteString(index.comment);
  return text;
}

}  // namespace

std::string ColumnDefaultClause(const TableDef& table, const ColumnDef& column, const DecoderSettings& settings) {
  if (column.autoIncrement || !column.generationExpression.empty()) return "";
  const bool updates = column.unireg == kUniregTimestampUpdate || column.unireg == kUniregTimestampDefaultUpdate;
  const std::string onUpdate = updates ? " ON UPDATE " + CurrentTimestamp(column) : "";
  if (!column.defaultExpression.empty()) return "DEFAULT (" + column.defaultExpression + ")" + onUpdate;
  if (column.unireg == kUniregTimestampDefault || column.unireg == kUniregTimestampDefaultUpdate) {
    return "DEFAULT " + CurrentTimestamp(column) + onUpdate;
  }
  if (column.packFlags & kPackNoDefault) return onUpdate.empty() ? "" : onUpdate.substr(1);
  if (IsBlobOrGeometry(column.typeCode)) {
    // Their defaults live in the expression block; without one they have none, NULL aside.
    return column.nullable ? "DEFAULT NULL" + onUpdate : "";
  }
  const std::vector<NullPlace> places = NullPlaces(table);
  const size_t index = static_cast<size_t>(column.number);
  const NullPlace place = index < places.size() ? places[index] : NullPlace{};
  if (place.nullBit >= 0 && BitSet(table.defaultRecord, place.nullBit)) return "DEFAULT NULL" + onUpdate;

  const std::vector<uint8_t> bytes = DefaultBytes(table, column, place);
  if (bytes.empty() && column.typeCode != TypeCode::kBit) return onUpdate.empty() ? "" : onUpdate.substr(1);
  DecoderSettings full = settings;  // binary defaults in full
  full.saveToFolder = true;
  Cell cell;
  DecodeFieldText(column, bytes.data(), bytes.size(), FieldSource::kFixedRow, full, cell);
  std::string literal, problem;
  if (!ValueLiteral(column, cell, literal, problem)) return onUpdate.empty() ? "" : onUpdate.substr(1);
  if (cell.kind == CellKind::kText && literal.empty()) literal = "''";
  return "DEFAULT " + literal + onUpdate;
}

bool NeedsOldTemporalFormat(const TableDef& table) {
  bool old = false;
  for (const ColumnDef& column : table.columns) {
    switch (column.typeCode) {
      case TypeCode::kTimestamp:
      case TypeCode::kTime:
      case TypeCode::kDateTime:
        old = true;
        break;
      case TypeCode::kTimestamp2:
      case TypeCode::kTime2:
      case TypeCode::kDateTime2:
        return false;
      default:
        break;
    }
  }
  return old;
}

std::vector<std::string> OldTemporalFormatBefore() {
  return {"SET @saved_temporal_format = @@GLOBAL.mysql56_temporal_format",
          "SET GLOBAL mysql56_temporal_format = OFF"};
}

std::vector<std::string> OldTemporalFormatAfter() {
  return {"SET GLOBAL mysql56_temporal_format = @saved_temporal_format"};
}

std::string EngineNameOf(const TableDef& table) {
  if (!table.engineName.empty()) return table.engineName;
  return EngineByCode(table.engineType);
}

std::string CreateTableStatement(const TableDef& table, const std::string& tableName, const DecoderSettings& settings) {
  std::vector<std::string> lines;
  for (const ColumnDef& column : table.columns) lines.push_back(ColumnClause(table, column, settings));
  // The primary key first, as the server lists it.
  std::vector<const IndexDef*> indexes;
  for (const IndexDef& index : table.indexes)
    if (index.primary) indexes.push_back(&index);
  for (const IndexDef& index : table.indexes)
    if (!index.primary) indexes.push_back(&index);
  for (const IndexDef* index : indexes) lines.push_back(IndexClause(table, *index, settings));
  for (const std::string& check : table.checkConstraints) lines.push_back(check);

  std::string text = "CREATE TABLE " + QuoteIdentifier(tableName) + " (\n";
  for (size_t i = 0; i < lines.size(); ++i) {
    text += "  " + lines[i];
    if (i + 1 < lines.size()) text += ",";
    text += "\n";
  }
  text += ")";
  const std::string engine = EngineNameOf(table);
  if (!engine.empty()) text += " ENGINE=" + engine;
  if (settings.collations && table.defaultCharset != 0) {
    auto it = settings.collations->find(table.defaultCharset);
    if (it != settings.collations->end() && !it->second.charsetName.empty()) {
      text += " DEFAULT CHARSET=" + it->second.charsetName;
      if (!it->second.collationName.empty()) text += " COLLATE=" + it->second.collationName;
    }
  }
  const std::string rowFormat = RowFormatName(table.rowType);
  if (!rowFormat.empty()) text += " ROW_FORMAT=" + rowFormat;
  if (table.autoIncrementStart > 1) text += " AUTO_INCREMENT=" + std::to_string(table.autoIncrementStart);
  if (!table.tableComment.empty()) text += " COMMENT=" + QuoteString(table.tableComment);
  return text;
}

}  // namespace wexholt
