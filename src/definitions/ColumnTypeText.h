// Column type texts: the Data Type text of the schema grid, and the exact column type a server
// shows for the column (the COLUMN_TYPE of information_schema, the type of SHOW CREATE TABLE).
#pragma once

#include <string>

#include "definitions/Collations.h"
#include "definitions/TableModel.h"

namespace wexholt {

// The schema grid's Data Type text ("INT", "VARCHAR(20)", "DECIMAL(10,2)", "ENUM('a','b')").
// Character counts divide the stored byte length by the column collation's maximum bytes per
// character, only when the table names a default character set and the collation is known.
std::string ColumnTypeText(const ColumnDef& column, const TableDef& tableDef, const CollationTable& collations);

// The column type as the server writes it: "int(10) unsigned", "varchar(20)", "decimal(10,2)",
// "datetime(6)", "enum('a','','b')", "bit(10)", "char(3)". Lengths of character columns are in
// characters of the column's own collation; ENUM/SET members are quoted with '' and \\ escapes;
// TIME, DATETIME and TIMESTAMP in the formats from before 5.6 carry the comment the server adds
// ("time /* mariadb-5.3 */").
std::string ColumnSqlType(const ColumnDef& column, const TableDef& tableDef, const CollationTable& collations);

// A quoted SQL string literal of the server's form: 'it''s', backslashes doubled.
std::string QuotedSqlString(const std::string& text);

}  // namespace wexholt
