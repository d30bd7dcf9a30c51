// The InnoDB column layout: the columns of a clustered-index record in stored order.
//
// A clustered-index record of a COMPACT-family row format stores the clustered key's columns first
// (in the order of the key's parts), then DB_TRX_ID (6 bytes) and DB_ROLL_PTR (7 bytes), then every
// other column in definition order. The clustered key is the PRIMARY KEY; a table without one uses
// its first UNIQUE key whose columns are all NOT NULL; a table with neither gets a 6-byte DB_ROW_ID
// in front. A key part that holds only a prefix of its column stores that prefix in the key, and
// the whole column again among the other columns.
//
// The layout is built from the dictionary's SYS_COLUMNS records when ibdata1 is loaded, or from the
// .frm columns alone, giving the same storage attributes InnoDB itself uses: integers (also DATE,
// YEAR, ENUM, SET and the temporal types before 5.6) as big-endian integers of their byte size,
// FLOAT and DOUBLE as 4- and 8-byte little-endian floats, DECIMAL, BIT and the 5.6 temporal types as
// fixed binaries, CHAR in a character set of varying character width as variable-length data.
//
// Failure shows as a table id or root page of 0, or as a layout that lacks a column.
#include <algorithm>

#include "definitions/TableReader.h"

namespace wexholt {

namespace {

// Columns longer than this are stored as variable-length data even when their type is fixed.
constexpr int32_t kMaxFixedColumnLength = 768;

int32_t FixedSize(int32_t mainType, int32_t preciseType, int32_t maxLength, int32_t charLengths) {
  auto bounded = [&] { return maxLength <= kMaxFixedColumnLength ? maxLength : 0; };
  switch (mainType) {
    case InnoMainType::kChar:
    case InnoMainType::kFixBinary:
    case InnoMainType::kInt:
    case InnoMainType::kFloat:
    case InnoMainType::kDouble:
      return bounded();
    case InnoMainType::kMysql: {
      // Fixed only when every character takes the same number of bytes.
      int32_t minBytes = charLengths % 5;
      int32_t maxBytes = charLengths / 5;
      if ((preciseType & kPreciseBinary) != 0 || minBytes == maxBytes) return bounded();
      return 0;
    }
    default:
      return 0;
  }
}

int32_t DecimalBytes(int precision, int decimals) {
  static const int kDigitBytes[10] = {0, 1, 1, 2, 2, 3, 3, 4, 4, 4};
  if (precision < decimals || precision < 0 || decimals < 0) return 0;
  int intg = precision - decimals;
  return kDigitBytes[intg % 9] + 4 * (intg / 9) + 4 * (decimals / 9) + kDigitBytes[decimals % 9];
}

const CollationEntry* FindCollation(const CollationTable* collations, int32_t id) {
  const CollationTable& table = collations ? *collations : BuiltInCollations();
  auto it = table.find(id);
  return it == table.end() ? nullptr : &it->second;
}

InnoColumn SystemColumn(const char* name, int32_t size) {
  InnoColumn e;
  e.mainType = InnoMainType::kSys;
  e.preciseType = kPreciseNotNull;
  e.maxLength = size;
  e.fixedSize = size;
  e.column.name = name;
  e.column.number = -1;  // no cell of the row
  return e;
}

bool IsCharacterTypeCode(int32_t t) {
  return t == TypeCode::kVarchar || t == TypeCode::kVarString || t == TypeCode::kString;
}
bool IsBlobTypeCode(int32_t t) {
  return (t >= TypeCode::kTinyBlob && t <= TypeCode::kBlob) || t == TypeCode::kGeometry;
}

// The clustered key's parts: the PRIMARY KEY, else the first UNIQUE key whose columns are all NOT
// NULL; empty when there is none (DB_ROW_ID).
std::vector<IndexPart> ClusteredKeyParts(const TableDef& def) {
  for (const IndexDef& index : def.indexes) {
    if (index.primary || index.name == "PRIMARY") return index.parts;
  }
  for (const IndexDef& index : def.indexes) {
    if (!index.unique || index.fulltext || index.spatial || index.parts.empty()) continue;
    bool usable = true;
    for (const IndexPart& part : index.parts) {
      int32_t n = part.columnNumber - 1;
      if (n < 0 || n >= static_cast<int32_t>(def.columns.size()) || def.columns[n].nullable) usable = false;
    }
    if (usable) return index.parts;
  }
  return {};
}

// A VIRTUAL generated column is computed by the server and has no field in the record.
bool IsVirtualColumn(const ColumnDef& column) {
  return !column.generationExpression.empty() && !column.generatedStored;
}

// True when a key part holds only the first bytes of its column.
bool IsPrefixPart(const IndexPart& part, const ColumnDef& column) {
  if (IsBlobTypeCode(column.typeCode)) return true;
  return IsCharacterTypeCode(column.typeCode) && part.length > 0 && part.length < column.length;
}

}  // namespace

InnoColumn InnoColumnFromDefinition(const ColumnDef& column, const CollationTable* collations) {
  InnoColumn e;
  e.column = column;
  e.position = column.number;
  e.precision = column.precision;
  int32_t t = column.typeCode;
  bool binaryCharset = column.charsetId == kBinaryCollation;
  int32_t precise = (t & 0xFF) | (column.nullable ? 0 : kPreciseNotNull);
  auto integer = [&](int32_t bytes, bool isUnsigned) {
    e.mainType = InnoMainType::kInt;
    e.maxLength = bytes;
    precise |= kPreciseBinary | (isUnsigned ? kPreciseUnsigned : 0);
  };
  auto fixedBinary = [&](int32_t bytes) {
    e.mainType = InnoMainType::kFixBinary;
    e.maxLength = bytes;
    precise |= kPreciseBinary | (kBinaryCollation << 16);
  };
  int32_t fsp = std::clamp(column.fractionDigits, 0, 6);
  switch (t) {
    case TypeCode::kTiny: integer(1, column.isUnsigned); break;
    case TypeCode::kShort: integer(2, column.isUnsigned); break;
    case TypeCode::kInt24: integer(3, column.isUnsigned); break;
    case TypeCode::kLong: integer(4, column.isUnsigned); break;
    case TypeCode::kLongLong: integer(8, column.isUnsigned); break;
    case TypeCode::kYear: integer(1, true); break;
    case TypeCode::kNewDate: integer(3, false); break;
    case TypeCode::kDate: integer(4, false); break;
    case TypeCode::kTime: integer(3, false); break;
    case TypeCode::kDateTime: integer(8, false); break;
    case TypeCode::kTimestamp: integer(4, true); break;
    case TypeCode::kEnum: integer(column.enumMembers.size() < 256 ? 1 : 2, true); break;
    case TypeCode::kSet: {
      int32_t bytes = (static_cast<int32_t>(column.enumMembers.size()) + 7) / 8;
      integer(bytes > 4 ? 8 : std::max(bytes, 1), true);
      break;
    }
    case TypeCode::kFloat:
      e.mainType = InnoMainType::kFloat;
      e.maxLength = 4;
      precise |= kPreciseBinary;
      break;
    case TypeCode::kDouble:
      e.mainType = InnoMainType::kDouble;
      e.maxLength = 8;
      precise |= kPreciseBinary;
      break;
    case TypeCode::kNewDecimal: fixedBinary(DecimalBytes(column.precision, column.decimals)); break;
    case TypeCode::kBit: fixedBinary((column.length + 7) / 8); break;
    case TypeCode::kTimestamp2: fixedBinary(4 + (fsp + 1) / 2); break;
    case TypeCode::kDateTime2: fixedBinary(5 + (fsp + 1) / 2); break;
    case TypeCode::kTime2: fixedBinary(3 + (fsp + 1) / 2); break;
    case TypeCode::kString:
      e.maxLength = column.length;
      if (binaryCharset) {
        fixedBinary(column.length);
      } else {
        const CollationEntry* c = FindCollation(collations, column.charsetId);
        int32_t minBytes = c ? c->minBytes : 1;
        int32_t maxBytes = c ? c->maxBytes : 1;
        e.charLengths = minBytes + 5 * maxBytes;
        e.mainType = maxBytes == 1 ? InnoMainType::kChar : InnoMainType::kMysql;
        precise |= column.charsetId << 16;
      }
      break;
    case TypeCode::kVarchar:
    case TypeCode::kVarString:
      e.maxLength = column.length;
      e.mainType = binaryCharset ? InnoMainType::kBinary : InnoMainType::kVarMysql;
      precise |= (binaryCharset ? kPreciseBinary : 0) | (column.charsetId << 16);
      break;
    case TypeCode::kTinyBlob:
    case TypeCode::kMediumBlob:
    case TypeCode::kLongBlob:
    case TypeCode::kBlob:
    case TypeCode::kGeometry:
      e.mainType = InnoMainType::kBlob;
      e.maxLength = column.length > 0 ? column.length : 0x7FFFFFFF;
      precise |= (binaryCharset || t == TypeCode::kGeometry ? kPreciseBinary : 0) | (column.charsetId << 16);
      break;
    case TypeCode::kDecimalOld:
    default:
      e.mainType = InnoMainType::kDecimal;  // variable-length bytes
      e.maxLength = column.length;
      break;
  }
  e.preciseType = precise;
  e.fixedSize = FixedSize(e.mainType, e.preciseType, e.maxLength, e.charLengths);
  return e;
}

uint64_t TableReader::FindTableId(const std::string& name) const {
  std::string wanted = name;
  std::replace(wanted.begin(), wanted.end(), '\\', '/');
  for (const SysTablesRow& row : sysTables) {
    if (row.fullName == wanted) return row.tableId;
  }
  return 0;
}

uint32_t TableReader::FindClusteredIndexRoot(uint64_t tableId) const {
  // The clustered index carries type bit 1; a secondary UNIQUE index (type 2) may come first
  // when the clustered index was rebuilt later.
  for (const SysIndexesRow& row : sysIndexes) {
    if (row.tableId == tableId && (row.indexType & 1) != 0) return row.rootPage;
  }
  for (const SysIndexesRow& row : sysIndexes) {
    if (row.tableId == tableId && row.indexType != 0) return row.rootPage;
  }
  return 0;
}

void TableReader::LoadLayoutFromDefinition() {
  layoutBuild.clear();
  int32_t stored = 0;
  for (const ColumnDef& column : tableDef.columns) {
    if (IsVirtualColumn(column)) continue;
    InnoColumn e = InnoColumnFromDefinition(column, Settings().collations);
    e.position = stored++;  // InnoDB numbers the stored columns only
    layoutBuild.push_back({e, false});
  }
  OrderLayout();
}

void TableReader::LoadLayoutFromDictionary(uint64_t tableId) {
  tableColumnRecords.clear();
  for (const SysColumnsRow& row : sysColumns) {
    if (row.tableId == tableId) tableColumnRecords.push_back(row);
  }
  layoutBuild.clear();
  auto entryOf = [](const SysColumnsRow& record) {
    InnoColumn e;
    e.mainType = static_cast<int32_t>(record.mainType);
    e.preciseType = static_cast<int32_t>(record.preciseType);
    e.maxLength = static_cast<int32_t>(record.maxLength);
    e.precision = static_cast<int32_t>(record.precision);
    e.position = static_cast<int32_t>(record.position);
    e.charLengths = static_cast<int32_t>(record.charLengths);
    e.fixedSize = FixedSize(e.mainType, e.preciseType, e.maxLength, e.charLengths);
    return e;
  };
  // SYS_COLUMNS numbers the stored columns; VIRTUAL generated columns are not in the record.
  int32_t stored = 0;
  for (const ColumnDef& column : tableDef.columns) {
    if (IsVirtualColumn(column)) continue;
    int32_t position = stored++;
    for (const SysColumnsRow& record : tableColumnRecords) {
      if (static_cast<int32_t>(record.position) != position) continue;
      InnoColumn e = entryOf(record);
      e.column = column;
      layoutBuild.push_back({e, false});
      break;
    }
  }
  // Stored columns the definition does not list (InnoDB's hidden FTS_DOC_ID) still take their
  // place in the record; they give no cell. Virtual columns (position above 65535) are not stored.
  for (const SysColumnsRow& record : tableColumnRecords) {
    if (static_cast<int32_t>(record.position) < stored || record.position > 0xFFFF) continue;
    InnoColumn e = entryOf(record);
    e.column.name = record.columnName;
    e.column.number = -1;
    layoutBuild.push_back({e, false});
  }
  OrderLayout();
}

void TableReader::OrderLayout() {
  innoLayout.clear();
  layoutPrefixEntry.clear();
  auto append = [&](const InnoColumn& e, bool prefix) {
    innoLayout.push_back(e);
    layoutPrefixEntry.push_back(prefix ? 1 : 0);
  };
  std::vector<IndexPart> parts = ClusteredKeyParts(tableDef);
  bool haveKey = false;
  for (const IndexPart& part : parts) {
    for (LayoutBuildEntry& b : layoutBuild) {
      if (b.entry.column.number != part.columnNumber - 1) continue;
      if (IsPrefixPart(part, b.entry.column)) {
        InnoColumn prefix = b.entry;
        if (prefix.fixedSize > part.length) prefix.fixedSize = part.length;
        append(prefix, true);
      } else if (!b.taken) {
        b.taken = true;
        append(b.entry, false);
      }
      haveKey = true;
      break;
    }
  }
  if (!haveKey && tableDef.indexes.empty()) {
    // No key list (a definition read without its keys): the columns flagged as key members, in
    // definition order.
    for (LayoutBuildEntry& b : layoutBuild) {
      if (b.entry.column.inPrimaryKey) {
        b.taken = true;
        append(b.entry, false);
        haveKey = true;
      }
    }
    if (!haveKey) {
      for (LayoutBuildEntry& b : layoutBuild) {
        if (b.entry.column.inUniqueKey && !b.entry.column.nullable) {
          b.taken = true;
          append(b.entry, false);
          haveKey = true;
        }
      }
    }
  }
  if (!haveKey) append(SystemColumn("DB_ROW_ID", 6), false);
  append(SystemColumn("DB_TRX_ID", 6), false);
  append(SystemColumn("DB_ROLL_PTR", 7), false);
  for (const LayoutBuildEntry& b : layoutBuild) {
    if (!b.taken) append(b.entry, false);
  }
  layoutBuild.clear();
}

}  // namespace wexholt
