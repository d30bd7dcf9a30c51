// SQL text of saved tables: identifiers, value literals of the decoded cells, multi-row INSERT
// statements of bounded size, the session settings a load needs, and the view and trigger
// statements of a database.
//
// Cells come from the row readers in save mode: binary values as "0x" + hex digits (kBinary),
// character values as UTF-8 text, numbers and temporal values as the server writes them, NULL as
// kNull, an external value either inline or as the path of the file that holds its bytes
// (kExternal). Every literal is written for a session with the character set utf8mb4, time zone
// +00:00 and the SQL mode that SessionSettings() gives (backslash escapes on, zero dates allowed,
// AUTO_INCREMENT columns keep a stored 0).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "definitions/TableModel.h"

namespace wexholt {

// `name` with every backtick doubled.
std::string QuoteIdentifier(std::string_view name);
// 'text' with \0, \', \\, \n, \r and \Z (0x1A) written as backslash escapes, so that the literal
// survives a script file and the command-line client byte for byte.
std::string QuoteString(std::string_view text);
void AppendQuotedString(std::string& out, std::string_view text);
// 0x followed by two upper-case hexadecimal digits per byte; '' for no bytes.
std::string HexLiteral(std::string_view bytes);

// The literal of one cell of column. False when the cell holds no value that can be saved (a
// marker text, an external-value file that cannot be read): literal is then DEFAULT and problem
// says why.
bool ValueLiteral(const ColumnDef& column, const Cell& cell, std::string& literal, std::string& problem);
// The same literal appended to out.
bool AppendValueLiteral(const ColumnDef& column, const Cell& cell, std::string& out, std::string& problem);

// The statements that put a session into the state the literals are written for, one per entry.
// withNames: begin with SET NAMES utf8mb4 (a script; an ODBC connection names its character set
// when it connects instead, and its driver refuses SET NAMES).
std::vector<std::string> SessionSettings(bool withNames = true);
inline constexpr const char* kOdbcCharsetAttribute = "CHARSET=utf8mb4;";
// The SQL mode of those sessions (one of SessionSettings).
inline constexpr const char* kSessionSqlMode = "SET sql_mode = 'NO_AUTO_VALUE_ON_ZERO'";

// Collects rows into INSERT statements: "INSERT INTO `t` (`a`,`b`) VALUES (...),(...)" without a
// closing ';'. A statement grows until adding the next row would take it past maxBytes; a single
// row longer than that makes a statement of its own.
class InsertBuilder {
 public:
  static constexpr size_t kDefaultMaxBytes = 1 << 20;

  InsertBuilder(const TableDef& table, const std::string& tableName, size_t maxBytes = kDefaultMaxBytes);

  // Adds one row (a literal per column, in column order). When the row does not fit, the
  // statement so far is moved into finished first; FinishedReady() then tells the caller.
  void AddRow(const std::vector<std::string>& literals);
  // The same for a row already written as its tuple "(...)" (Tuple, or built with ColumnKept).
  void AddTuple(const std::string& tuple);
  std::string Tuple(const std::vector<std::string>& literals) const;
  // False for a generated column, which the INSERT leaves out.
  bool ColumnKept(size_t column) const { return column >= columnsKept_.size() || columnsKept_[column]; }
  // Moves the open statement (if any) into finished.
  void Flush();
  bool FinishedReady() const { return !finished_.empty(); }
  // Takes the finished statements and the row count of each.
  std::vector<std::string> TakeFinished();
  std::vector<size_t> TakeFinishedRowCounts();
  size_t OpenRows() const { return openRows_; }

  // The INSERT of a single row (used to find the rows a server refuses).
  std::string SingleRow(const std::vector<std::string>& literals) const;
  std::string SingleRowTuple(const std::string& tuple) const { return prefix_ + tuple; }

 private:
  std::string prefix_;
  std::vector<bool> columnsKept_;  // generated columns are left to the server
  size_t maxBytes_;
  std::string open_;
  size_t openRows_ = 0;
  std::vector<std::string> finished_;
  std::vector<size_t> finishedRows_;
};

// A block that the command-line client runs as one statement although it contains ';':
// "DELIMITER $$\n" + statement + "\n$$\nDELIMITER ;\n", with one more '$' in the delimiter as
// long as the statement itself holds it.
std::string DelimitedBlock(const std::string& statement);

// Orders view statements so that a view comes after the views of names that its text mentions
// (`name` in backticks); views in a cycle keep their order. names[i] belongs to statements[i].
void OrderViewsByDependency(std::vector<std::string>& names, std::vector<std::string>& statements);

}  // namespace wexholt
