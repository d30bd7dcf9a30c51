// Field value text: the one set of rules that turns the stored bytes of one column into the text
// the record grid shows, shared by the MyISAM fixed-row, MyISAM dynamic-row and InnoDB readers.
//
// The bytes handed in are in the row-image form of the MyISAM engine: integers (and the old DATE,
// TIME, DATETIME, TIMESTAMP, YEAR, ENUM, SET forms) little-endian; DECIMAL, BIT and the 5.6 temporal
// types (17, 18, 19) in the server's binary big-endian forms. The InnoDB reader undoes its own
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
void DecodeFieldText(const ColumnDef& column, const uint8_t* bytes, size_t count, FieldSource source,
                     const DecoderSettings& settings, Cell& out);

// The text of a binary DECIMAL value of the given precision and scale ("0" when invalid).
std::string DecimalText(const uint8_t* bytes, size_t count, int precision, int decimals);
// Stored size in bytes of a binary DECIMAL of the given precision and scale.
int DecimalStoredSize(int precision, int decimals);

// True when a decoded MyISAM text looks like the zero image of an absent value, so that the
// reader consults the column's NULL flag.
bool IsNullCandidate(const ColumnDef& column, const std::string& text);

}  // namespace wexholt
