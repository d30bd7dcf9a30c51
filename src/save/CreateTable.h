// CREATE TABLE rebuilt from a table definition read out of a .frm file.
//
// Columns come in definition order with the type the server writes (ColumnSqlType), their
// character set and collation, NULL / NOT NULL, the DEFAULT that the .frm records and
// AUTO_INCREMENT; then the PRIMARY KEY, UNIQUE, plain, FULLTEXT and SPATIAL indexes with their
// parts and prefix lengths in characters, the CHECK constraints, and the table options ENGINE,
// DEFAULT CHARSET / COLLATE, ROW_FORMAT, AUTO_INCREMENT and COMMENT.
//
// Column defaults: a DEFAULT expression of the .frm's expression block, CURRENT_TIMESTAMP (and ON
// UPDATE) from a column's unireg check byte, or else the column's bytes in the default-values
// record, a row image in the fixed-length layout: the null bits first (bit 0 of byte 0 is taken by
// the deleted flag unless the table has packed records, create option bit 0), one bit per
// nullable column and the high bits of each BIT column in column order, then every column at its
// 1-based recordPos.
#pragma once

#include <string>
#include <vector>

#include "definitions/Collations.h"
#include "definitions/DecoderSettings.h"
#include "definitions/TableModel.h"

namespace wexholt {

// "DEFAULT ..." (and " ON UPDATE current_timestamp()" where recorded) of column, or empty when the
// column has no DEFAULT clause. settings supplies the collation table for decoding the value.
std::string ColumnDefaultClause(const TableDef& table, const ColumnDef& column, const DecoderSettings& settings);

// The engine name the table is created with: the .frm's own name, else by its engine code.
std::string EngineNameOf(const TableDef& table);

// True when the table has temporal columns of the formats from before 5.6 (type codes 7, 11, 12)
// and none of the 5.6 formats (17, 18, 19). The server writes the same values either way, but the
// stored form enters CHECKSUM TABLE, so such a table is created while the server's
// mysql56_temporal_format is OFF (OldTemporalFormatStatements).
bool NeedsOldTemporalFormat(const TableDef& table);
// The statements around CREATE TABLE that switch the server's temporal format off and back.
std::vector<std::string> OldTemporalFormatBefore();
std::vector<std::string> OldTemporalFormatAfter();

// The full statement, without a closing ';'.
std::string CreateTableStatement(const TableDef& table, const std::string& tableName, const DecoderSettings& settings);

}  // namespace wexholt
