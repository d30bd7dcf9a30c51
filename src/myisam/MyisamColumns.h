// Where the columns of a MyISAM row lie and how one column of a row image becomes a cell; shared by
// the fixed-row and the dynamic-row readers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "decoding/ByteView.h"
#include "decoding/FieldText.h"
#include "definitions/TableReader.h"

namespace wexholt {

// The cell of one column: "NULL" when its NULL flag is set in nullFlags, otherwise the text of its
// bytes. A BIT column whose n % 8 high bits lie among the NULL flags gets them put in front of its
// stored bytes first.
void DecodeMyisamColumn(const ColumnDef& column, const MyisamColumnPlace& place, const uint8_t* bytes,
                        size_t count, ByteView nullFlags, FieldSource source, const DecoderSettings& settings,
                        Cell& out);

}  // namespace wexholt
