// Column type texts from a ColumnDef read out of a .frm column record.
#include "definitions/ColumnTypeText.h"

namespace wexholt {

namespace {

bool IsBinary(const ColumnDef& column) { return column.charsetId == kBinaryCollation; }

int32_t MaxBytesOf(const CollationTable& collations, int32_t collation) {
  auto it = collations.find(collation);
  return it == collations.end() ? 0 : it->second.maxBytes;
}

std::string Parenthesised(long long value) { return "(" + std::to_string(value) + ")"; }

std::string GeometryName(int geometryType, bool upper) {
  static const char* const kNames[] = {"GEOMETRY", "POINT", "LINESTRING", "POLYGON", "MULTIPOINT",
                                       "MULTILINESTRING", "MULTIPOLYGON", "GEOMETRYCOLLECTION"};
  std::string name = geometryType >= 1 && geometryType <= 7 ? kNames[geometryType] : kNames[0];
  if (!upper) {
    for (char& c : name) c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

}  // namespace

std::string QuotedSqlString(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') {
      out += "''";
    } else if (c == '\\') {
      out += "\\\\";
    } else {
      out += c;
    }
  }
  out += '\'';
  return out;
}

std::string ColumnTypeText(const ColumnDef& column, const TableDef& tableDef, const CollationTable& collations) {
  const uint32_t width = tableDef.defaultCharset == 0 ? 0u : static_cast<uint32_t>(MaxBytesOf(collations, column.charsetId));
  const uint32_t length = static_cast<uint32_t>(column.length);
  const uint32_t n = (width != 0 && length != 0) ? length / width : length;
  const bool binary = IsBinary(column);
  switch (column.typeCode) {
    case TypeCode::kDecimalOld:
    case TypeCode::kNewDecimal:
      return "DECIMAL(" + std::to_string(column.precision) + "," + std::to_string(column.decimals) + ")";
    case TypeCode::kTiny: return "TINYINT";
    case TypeCode::kShort: return "SMALLINT";
    case TypeCode::kLong: return "INT";
    case TypeCode::kFloat:
    case TypeCode::kDouble: {
      std::string name = column.typeCode == TypeCode::kFloat ? "FLOAT" : "DOUBLE";
      if (column.decimals != 0) name += "(" + std::to_string(column.precision) + "," + std::to_string(column.decimals) + ")";
      return name;
    }
    case TypeCode::kTimestamp:
    case TypeCode::kTimestamp2: return "TIMESTAMP";
    case TypeCode::kLongLong: return "BIGINT";
    case TypeCode::kInt24: return "MEDIUMINT";
    case TypeCode::kDate:
    case TypeCode::kNewDate: return "DATE";
    case TypeCode::kTime:
    case TypeCode::kTime2: return "TIME";
    case TypeCode::kDateTime:
    case TypeCode::kDateTime2: return "DATETIME";
    case TypeCode::kYear: return "YEAR";
    case TypeCode::kVarchar: return (binary ? "VARBINARY" : "VARCHAR") + Parenthesised(n);
    case TypeCode::kBit: return "BIT" + Parenthesised(column.length);
    case TypeCode::kEnum: return column.enumText.empty() ? "ENUM" : "ENUM(" + column.enumText + ")";
    case TypeCode::kSet: return column.enumText.empty() ? "SET" : "SET(" + column.enumText + ")";
    case TypeCode::kTinyBlob: return binary ? "TINYBLOB" : "TINYTEXT";
    case TypeCode::kMediumBlob: return binary ? "MEDIUMBLOB" : "MEDIUMTEXT";
    case TypeCode::kLongBlob: return binary ? "LONGBLOB" : "LONGTEXT";
    case TypeCode::kBlob: return binary ? "BLOB" : "TEXT";
    case TypeCode::kVarString: return (binary ? "BINARY" : "CHAR") + Parenthesised(n);
    case TypeCode::kString: return binary ? "BINARY" + Parenthesised(column.length) : "CHAR" + Parenthesised(n);
    case TypeCode::kGeometry: return GeometryName(column.geometryType, true);
    default: return "UNKNOWN DATATYPE";
  }
}

std::string ColumnSqlType(const ColumnDef& column, const TableDef& tableDef, const CollationTable& collations) {
  const bool binary = IsBinary(column);
  const int32_t width = binary ? 1 : MaxBytesOf(collations, column.charsetId);
  const int32_t characters = width > 0 ? column.length / width : column.length;
  auto numeric = [&](const std::string& name) {
    std::string text = name;
    if (column.isUnsigned) text += " unsigned";
    if (column.zeroFill) text += " zerofill";
    return text;
  };
  // The server marks temporal columns kept in the formats from before 5.6 (codes 7, 11, 12).
  auto temporal = [&](const char* name) {
    std::string text = name;
    if (column.fractionDigits > 0) text += Parenthesised(column.fractionDigits);
    if (column.typeCode == TypeCode::kTimestamp || column.typeCode == TypeCode::kTime ||
        column.typeCode == TypeCode::kDateTime) {
      text += " /* mariadb-5.3 */";
    }
    return text;
  };
  auto members = [&](const char* name) {
    std::string text = name;
    text += '(';
    for (size_t i = 0; i < column.enumMembers.size(); ++i) {
      if (i > 0) text += ',';
      text += QuotedSqlString(column.enumMembers[i]);
    }
    text += ')';
    return text;
  };
  switch (column.typeCode) {
    case TypeCode::kDecimalOld:
    case TypeCode::kNewDecimal:
      return numeric("decimal(" + std::to_string(column.precision) + "," + std::to_string(column.decimals) + ")");
    case TypeCode::kTiny: return numeric("tinyint" + Parenthesised(column.length));
    case TypeCode::kShort: return numeric("smallint" + Parenthesised(column.length));
    case TypeCode::kLong: return numeric("int" + Parenthesised(column.length));
    case TypeCode::kLongLong: return numeric("bigint" + Parenthesised(column.length));
    case TypeCode::kInt24: return numeric("mediumint" + Parenthesised(column.length));
    case TypeCode::kFloat:
    case TypeCode::kDouble: {
      std::string name = column.typeCode == TypeCode::kFloat ? "float" : "double";
      if (column.decimals != 0 || column.precision != 0) {
        name += "(" + std::to_string(column.precision) + "," + std::to_string(column.decimals) + ")";
      }
      return numeric(name);
    }
    case TypeCode::kTimestamp:
    case TypeCode::kTimestamp2: return temporal("timestamp");
    case TypeCode::kDateTime:
    case TypeCode::kDateTime2: return temporal("datetime");
    case TypeCode::kTime:
    case TypeCode::kTime2: return temporal("time");
    case TypeCode::kDate:
    case TypeCode::kNewDate: return "date";
    case TypeCode::kYear: return "year" + Parenthesised(column.length);
    case TypeCode::kVarchar:
    case TypeCode::kVarString: return (binary ? "varbinary" : "varchar") + Parenthesised(characters);
    case TypeCode::kString: return (binary ? "binary" : "char") + Parenthesised(characters);
    case TypeCode::kBit: return "bit" + Parenthesised(column.length);
    case TypeCode::kEnum: return members("enum");
    case TypeCode::kSet: return members("set");
    case TypeCode::kTinyBlob: return binary ? "tinyblob" : "tinytext";
    case TypeCode::kMediumBlob: return binary ? "mediumblob" : "mediumtext";
    case TypeCode::kLongBlob: return binary ? "longblob" : "longtext";
    case TypeCode::kBlob: return binary ? "blob" : "text";
    case TypeCode::kGeometry: return GeometryName(column.geometryType, false);
    default: return "unknown";
  }
}

}  // namespace wexholt
