// The table model: what a .frm file says about a table (TableDef, ColumnDef, IndexDef), the InnoDB
// stored column order (InnoColumn), and the rows read from a table's data files (Cell, Row, RowPage,
// ResumePosition). Every reader works on these plain records; they carry no behaviour.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace wexholt {

// Column type codes of the .frm column record.
namespace TypeCode {
constexpr int kDecimalOld = 0;
constexpr int kTiny = 1;
constexpr int kShort = 2;
constexpr int kLong = 3;
constexpr int kFloat = 4;
constexpr int kDouble = 5;
constexpr int kNull = 6;
constexpr int kTimestamp = 7;   // 4-byte seconds, little-endian (before 5.6)
constexpr int kLongLong = 8;
constexpr int kInt24 = 9;
constexpr int kDate = 10;       // 3-byte packed date
constexpr int kTime = 11;       // 3-byte decimal hhmmss (before 5.6)
constexpr int kDateTime = 12;   // 8-byte decimal yyyymmddhhmmss (before 5.6)
constexpr int kYear = 13;
constexpr int kNewDate = 14;
constexpr int kVarchar = 15;
constexpr int kBit = 16;
constexpr int kTimestamp2 = 17;  // 5.6 format: 4 bytes big-endian seconds + fraction
constexpr int kDateTime2 = 18;   // 5.6 format: 5 bytes + fraction
constexpr int kTime2 = 19;       // 5.6 format: 3 bytes + fraction
constexpr int kNewDecimal = 246;
constexpr int kEnum = 247;
constexpr int kSet = 248;
constexpr int kTinyBlob = 249;
constexpr int kMediumBlob = 250;
constexpr int kLongBlob = 251;
constexpr int kBlob = 252;
constexpr int kVarString = 253;
constexpr int kString = 254;
constexpr int kGeometry = 255;
}  // namespace TypeCode

constexpr int kBinaryCollation = 63;

// Engine codes of .frm header byte 3.
constexpr int kEngineMyisam = 9;
constexpr int kEngineInnodb = 12;

// One column of a table, as its .frm column record gives it.
struct ColumnDef {
  std::string name;
  int32_t number = 0;        // 0-based position in the definition
  int32_t recordPos = 0;     // 1-based byte position in a fixed-length row
  int32_t typeCode = 0;
  int32_t geometryType = 0;
  int32_t length = 0;        // bytes for character columns, bits for BIT, display length for DECIMAL
  uint8_t nullable = 0;
  uint8_t inPrimaryKey = 0;
  uint8_t inUniqueKey = 0;
  int32_t precision = 0;
  int32_t decimals = 0;
  int32_t charsetId = 0;     // collation number; 63 = binary
  std::string enumText;      // 'a','b','c' for ENUM and SET columns
  std::string comment;
  std::string valueText;     // display text of the row being decoded

  // Kept beyond the display model, for decoding values as the server does and for rebuilding
  // CREATE TABLE.
  uint16_t packFlags = 0;              // raw pack flags of the column record
  uint8_t isUnsigned = 0;              // numeric column declared UNSIGNED (pack flags bit 0 clear)
  uint8_t zeroFill = 0;                // ZEROFILL (pack flags bit 2)
  int32_t fractionDigits = 0;          // fractional-second precision of a temporal column (0..6)
  std::vector<std::string> enumMembers;  // this column's own ENUM/SET list, empty values included
  uint8_t bitAsChars = 0;              // BIT column stored as characters (pack flags 0x1000)
  int32_t unireg = 0;                  // unireg check byte (auto increment, timestamp defaults)
  int32_t interval = 0;                // 1-based value list number as stored (0 = not given)
  std::string defaultText;             // DEFAULT clause text taken from the default-values record; empty = none
  uint8_t hasDefault = 0;
  uint8_t autoIncrement = 0;
  // Expressions the .frm keeps in its expression block (text as the server wrote it, UTF-8).
  std::string defaultExpression;       // DEFAULT (expr); empty = none
  std::string generationExpression;    // AS (expr) of a generated column; empty = an ordinary column
  uint8_t generatedStored = 0;         // the generated column is STORED (else VIRTUAL)
};

// One part of an index.
struct IndexPart {
  int32_t columnNumber = 0;  // 1-based column number, 0 = none
  int32_t recordOffset = 0;
  int32_t length = 0;        // stored part length in bytes
  int32_t keyType = 0;
  int32_t flags = 0;
  int32_t prefixLength = 0;  // bytes of a column prefix (CHAR/VARCHAR/BLOB/TEXT), 0 = the whole column
};

// One index of a table.
struct IndexDef {
  std::string name;
  uint16_t flags = 0;        // stored flags; bit 0 clear = unique
  int32_t algorithm = 0;
  bool unique = false;
  bool primary = false;
  bool fulltext = false;
  bool spatial = false;
  std::vector<IndexPart> parts;
  std::string comment;
};

// The parsed table definition.
struct TableDef {
  uint8_t engineType = 0;
  int32_t defaultCharset = 0;
  int32_t recordLength = 0;
  int32_t nullBytes = 0;
  std::vector<ColumnDef> columns;
  std::vector<std::string> enumValues;  // every ENUM/SET value of the table, lists one after another

  // Kept beyond the display model.
  uint8_t formatVersion = 0;
  uint32_t serverVersion = 0;
  uint16_t createOptions = 0;
  uint8_t rowType = 0;
  std::string engineName;             // engine name from the extra segment when present ("InnoDB")
  std::vector<IndexDef> indexes;
  std::string tableComment;
  uint64_t autoIncrementStart = 0;
  std::vector<uint8_t> defaultRecord;  // the default-values record (a fixed-length row image)
  std::vector<std::string> checkConstraints;  // "CONSTRAINT `name` CHECK (expr)" or "CHECK (expr)"
};

// InnoDB main types.
namespace InnoMainType {
constexpr int kVarchar = 1;
constexpr int kChar = 2;
constexpr int kFixBinary = 3;
constexpr int kBinary = 4;
constexpr int kBlob = 5;
constexpr int kInt = 6;
constexpr int kSys = 8;
constexpr int kFloat = 9;
constexpr int kDouble = 10;
constexpr int kDecimal = 11;
constexpr int kVarMysql = 12;
constexpr int kMysql = 13;
}  // namespace InnoMainType

// InnoDB precise type bits.
constexpr int32_t kPreciseNotNull = 256;
constexpr int32_t kPreciseUnsigned = 512;
constexpr int32_t kPreciseBinary = 1024;

// One entry of the InnoDB column layout, in stored order.
struct InnoColumn {
  int32_t mainType = 0;
  int32_t preciseType = 0;
  int32_t maxLength = 0;
  int32_t precision = 0;
  int32_t position = 0;
  int32_t fixedSize = 0;
  int32_t charLengths = 0;
  ColumnDef column;
};

// What a cell of a row holds, beside its display text.
enum class CellKind : uint8_t {
  kText,      // a value, shown as text
  kNull,      // SQL NULL; text "NULL"
  kBinary,    // a binary value; text is "0x" + hex digits (complete)
  kMarker,    // a placeholder ("0x<Binarydata>", "Large Blob Data", ...): the value is not in the text
  kExternal,  // save mode: the text is the path of a file that holds the value
};

struct Cell {
  std::string text;
  CellKind kind = CellKind::kText;
};

// One row: a cell per TableDef column, in column order.
using Row = std::vector<Cell>;

// The rows of the page on screen, at most kRowsPerPage, in order.
constexpr size_t kRowsPerPage = 1000;
using RowPage = std::vector<Row>;

// The start of a page of rows: an InnoDB leaf page and record offset, or a MyISAM file position.
struct ResumePosition {
  uint64_t page = 0;
  uint64_t offset = 0;
  bool operator==(const ResumePosition&) const = default;
};
constexpr uint64_t kEndMarkerPage = 4294967295ull;
inline bool IsEndMarker(const ResumePosition& p) { return p.page == kEndMarkerPage; }

}  // namespace wexholt
