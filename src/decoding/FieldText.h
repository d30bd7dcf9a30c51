// Field value text: the one set of rules that turns the stored bytes of one column into the text
// the record grid shows, shared by the MyISAM fixed-row, MyISAM dynamic-row and InnoDB readers.
//
// The bytes handed in are in the row-image form of the MyISAM engine: integers (and the old DATE,
// TIME, DATETIME, TIMESTAMP, YEAR, ENUM, SET forms) little-endian; DECIMAL, BIT and the 5.6 temporal
// types (17, 18, 19) in the server's binary big-endian forms, as are TIME, DATETIME and TIMESTAMP of
// the old type codes (11, 12, 7) when they have fractional seconds. The InnoDB reader undoes its own
// integer storage (big-endian, sign bit inverted) before it calls in. Where a rule needs more bytes
// than the field has, the missing bytes count as zero. Decoding never fails: a value that cannot be
// understood gives an empty text, "0" for a broken DECIMAL, or a marker text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "definitions/DecoderSettings.h"
#include "definitions/TableModel.h"

namespace wexholt {

enum class FieldSource { kFixedRow, kDynamicRow, kInnoDbRecord };

// Marker texts that stand in a cell in place of a value.
inline constexpr const char* kNullText = "NULL";
inline constexpr const char* kBinaryMarker = "0x<Binarydata>";
inline constexpr const char* kLargeBlobMarker = "Large Blob Data";
inline constexpr const char* kLargeSizeBlobMarker = "Large Size Blob Data";
inline constexpr const char* kSpatialMarker = "Spatial Data";

// Decodes count bytes of column into out (text and kind). Out is overwritten; its buffer is reused.
// Kind: kBinary for a complete "0x" hex text, kMarker for a marker text, kText otherwise (kNull only
// for an all-zero spatial value in save mode; the readers set NULL from their NULL flags). Text
// columns are read in their character set when settings.collations names it (utf8, utf8mb3,
// utf8mb4, latin1, ascii, ucs2, utf16, utf16le, utf32, binary), other sets UTF-8 first.
void DecodeFieldText(const ColumnDef& column, const uint8_t* bytes, size_t count, FieldSource source,
                     const DecoderSettings& settings, Cell& out);

// The text of a binary DECIMAL value of the given precision and scale ("0" when invalid).
std::string DecimalText(const uint8_t* bytes, size_t count, int precision, int decimals);
// Stored size in bytes of a binary DECIMAL of the given precision and scale.
int DecimalStoredSize(int precision, int decimals);

// True when a decoded MyISAM text looks like the zero image of an absent value, so that the
// reader consults the column's NULL flag.
bool IsNullCandidate(const ColumnDef& column, const std::string& text);

// Bytes a column takes in a row image when its size does not depend on the value: integers,
// floating point, DECIMAL, the temporal types (with their fractional-second bytes), YEAR, ENUM
// (1 or 2), SET (1, 2, 3, 4 or 8), BIT ((bits + 7) / 8, all bits), CHAR and BINARY (length).
// 0 for VARCHAR, the BLOB and TEXT types, GEOMETRY and unknown types.
int StoredFieldSize(const ColumnDef& column);

// A number whose decimal digits are yyyymmddhhmmss, as "yyyy-mm-dd hh:mm:ss".
std::string PackedDateTimeText(uint64_t value);
// "yyyy-mm-dd hh:mm:ss" from its six parts (year four digits, the others two).
std::string DateTimePartsText(int year, int month, int day, int hour, int minute, int second);
// The bytes up to the first zero byte (all when there is none), read as Windows-1252.
std::string AnsiText(const uint8_t* bytes, size_t count);
// The bytes up to the first zero byte as UTF-8 when they hold at least one multi-byte sequence
// that makes the text shorter than its bytes, else as Windows-1252.
std::string Utf8OrAnsiText(const uint8_t* bytes, size_t count);

}  // namespace wexholt
