// Helpers of the .frm table definition reader (FrmReader.cpp) that other readers and the tests use.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "decoding/ByteView.h"

namespace wexholt {

// .frm header and form info offsets that more than one reader needs.
namespace Frm {
constexpr size_t kHeaderSize = 64;
constexpr size_t kFormInfoSize = 288;
constexpr size_t kColumnRecordSize = 17;     // format versions 9, 10 and 11
constexpr size_t kOldColumnRecordSize = 11;  // format versions 6 and 7

// Pack flags of a column record.
constexpr uint16_t kPackSigned = 0x0001;      // numeric columns: signed; character columns: binary
constexpr uint16_t kPackNumber = 0x0002;
constexpr uint16_t kPackZerofill = 0x0004;
constexpr uint16_t kPackBitAsChars = 0x1000;
constexpr uint16_t kPackNoDefault = 0x4000;
constexpr uint16_t kPackNullable = 0x8000;
constexpr int kScaleShift = 8;
constexpr int kNoScale = 31;

// Unireg check values of a column record.
constexpr int kUniregNextNumber = 15;  // AUTO_INCREMENT
constexpr int kUniregTimestampDefault = 21;          // DEFAULT CURRENT_TIMESTAMP
constexpr int kUniregTimestampUpdate = 22;           // ON UPDATE CURRENT_TIMESTAMP
constexpr int kUniregTimestampDefaultUpdate = 23;    // both

// Key flags as stored (bit 0 is stored inverted: clear = unique).
constexpr uint16_t kKeyNotUnique = 0x0001;
constexpr uint16_t kKeyFulltext = 0x0080;
constexpr uint16_t kKeySpatial = 0x0400;
constexpr uint16_t kKeyHasComment = 0x1000;
constexpr int kKeyAlgorithmRtree = 2;
constexpr int kKeyAlgorithmFulltext = 4;

// Record kinds of the expression block (generated columns, defaults, checks).
constexpr int kExpressionVirtual = 0;
constexpr int kExpressionStored = 1;
constexpr int kExpressionDefault = 2;
constexpr int kExpressionColumnCheck = 3;
constexpr int kExpressionTableCheck = 4;
constexpr size_t kExpressionBlockHeader = 16;
}  // namespace Frm

// Splits one separator list starting at cursor of view: the first byte is the separator; each
// name runs to the next separator; the list ends with a separator followed by a zero byte (or at
// the end of the view). A list that starts with a zero byte is empty and takes one byte. Cursor
// is left after the list. Names are the raw bytes.
std::vector<std::string> SplitSeparatorList(ByteView view, size_t& cursor);

// Text of a name, value or comment taken from a definition file: UTF-8 when the bytes are valid
// UTF-8 (what the server writes), else Windows-1252.
std::string DefinitionText(std::string_view bytes);

// Fractional-second digits of a TIME, DATETIME or TIMESTAMP column from its stored length
// (DATETIME(6) has length 26, TIME(3) length 14); 0 for other types.
int FractionDigitsFromLength(int typeCode, int length);

}  // namespace wexholt
