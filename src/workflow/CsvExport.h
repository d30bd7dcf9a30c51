// The CSV text of a grid: UTF-16LE code units without a byte order mark, one line per heading row
// and grid row, cells separated by ",", every line (the last included) ending with CR LF.
//
// A text holding a comma, a double quote, CR or LF is written in double quotes with its inner
// quotes doubled, so that it stays one field; other texts are written as they are shown. A heading
// is cut to 255 UTF-16 code units before that.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "workflow/FrontEnd.h"

namespace wexholt {

// One CSV field as UTF-8 text (quoted when it has to be).
std::string CsvField(const std::string& text);

// Appends one line (the first maxFields fields joined by ",", then CR LF) to out, as UTF-8.
void AppendCsvLine(std::string& out, const std::vector<std::string>& fields, size_t maxFields = SIZE_MAX);

// The heading text as it goes into the file: at most 255 UTF-16 code units.
std::string CsvHeading(const std::string& heading);

// The whole file: the heading line, then one line per row; UTF-16LE bytes.
std::string CsvFileBytes(const std::vector<GridColumn>& columns,
                         const std::vector<std::vector<std::string>>& rows);

}  // namespace wexholt
