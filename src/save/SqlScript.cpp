#include "save/SqlScript.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "decoding/Text.h"

namespace wexholt {
namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// A number as the decoders write integers, DECIMAL, FLOAT and DOUBLE: sign, digits, an optional
// fraction and an optional exponent.
bool IsNumberText(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    size_t exponent = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++exponent;
    if (exponent == 0) return false;
  }
  return i == s.size();
}

bool IsNumericColumn(int typeCode) {
  switch (typeCode) {
    case TypeCode::kDecimalOld:
    case TypeCode::kTiny:
    case TypeCode::kShort:
    case TypeCode::kLong:
    case TypeCode::kFloat:
    case TypeCode::kDouble:
    case TypeCode::kLongLong:
    case TypeCode::kInt24:
    case TypeCode::kYear:  // a number: 0 is the year 0000, whereas the string '0' would be 2000
    case TypeCode::kNewDecimal:
      return true;
    default:
      return false;
  }
}

// The bytes of a spatial value from the save-mode text: Windows-1252 characters, each zero byte
// written as backslash + "0".
std::string SpatialBytes(const std::string& text) {
  const std::string raw = Utf8ToCp1252(text);
  std::string bytes;
  bytes.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == '0') {
      bytes.push_back('\0');
      ++i;
    } else {
      bytes.push_back(raw[i]);
    }
  }
  return bytes;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

std::string QuoteIdentifier(std::string_view name) {
  std::string out = "`";
  for (char c : name) {
    out += c;
    if (c == '`') out += '`';
  }
  return out + "`";
}

namespace {

// False when none of the eight bytes at p is below 0x1B, a quote or a backslash, so that none of
// them needs an escape (a true answer is settled byte by byte).
bool MayNeedEscape(const char* p) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  uint64_t w;
  std::memcpy(&w, p, 8);
  const uint64_t below = (w - kOnes * 0x1B) & ~w & kHigh;
  const uint64_t q = w ^ (kOnes * static_cast<uint8_t>('\''));
  const uint64_t quote = (q - kOnes) & ~q & kHigh;
  const uint64_t b = w ^ (kOnes * static_cast<uint8_t>('\\'));
  const uint64_t backslash = (b - kOnes) & ~b & kHigh;
  return (below | quote | backslash) != 0;
}

const char* EscapeOf(char c) {
  switch (c) {
    case '\0': return "\\0";
    case '\'': return "\\'";
    case '\\': return "\\\\";
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\x1A': return "\\Z";
    default: return nullptr;
  }
}

}  // namespace

void AppendQuotedString(std::string& out, std::string_view text) {
  out.reserve(out.size() + text.size() + 2);
  out += '\'';
  // Runs without a character to escape are copied whole; they are found eight bytes at a time.
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* run = p;
    const char* escape = nullptr;
    for (;;) {
      while (end - p >= 8 && !MayNeedEscape(p)) p += 8;
      const char* stop = end - p >= 8 ? p + 8 : end;
      while (p < stop && !(escape = EscapeOf(*p))) ++p;
      if (p < stop || p == end) break;
    }
    out.append(run, static_cast<size_t>(p - run));
    if (p == end) break;
    out.append(escape, 2);
    ++p;
  }
  out += '\'';
}

std::string QuoteString(std::string_view text) {
  std::string out;
  AppendQuotedString(out, text);
  return out;
}

std::string HexLiteral(std::string_view bytes) {
  if (bytes.empty()) return "''";
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(2 + bytes.size() * 2);
  out += "0x";
  for (unsigned char b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

bool AppendValueLiteral(const ColumnDef& column, const Cell& cell, std::string& out, std::string& problem) {
  switch (cell.kind) {
    case CellKind::kNull:
      out += "NULL";
      return true;
    case CellKind::kMarker:
      out += "DEFAULT";
      problem = "the value could not be read in full (" + cell.text + ")";
      return false;
    case CellKind::kExternal: {
      // The file holds the value's stored bytes in the column's own character set, which a hex
      // literal hands to the server unchanged.
      std::string bytes;
      if (!ReadWholeFile(cell.text, bytes)) {
        out += "DEFAULT";
        problem = "the file of the external value cannot be read (" + cell.text + ")";
        return false;
      }
      out += HexLiteral(bytes);
      return true;
    }
    case CellKind::kBinary: {
      const std::string& t = cell.text;
      bool hex = t.size() >= 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X') && t.size() % 2 == 0;
      for (size_t i = 2; hex && i < t.size(); ++i) hex = IsHexDigit(t[i]);
      if (hex) {
        out += t.size() == 2 ? "''" : t;
        return true;
      }
      break;  // not hex after all: saved as the text it is
    }
    case CellKind::kText:
      break;
  }

  const std::string& text = cell.text;
  switch (column.typeCode) {
    case TypeCode::kBit: {
      bool bits = !text.empty();
      for (char c : text) bits = bits && (c == '0' || c == '1');
      if (bits) out.append("b'").append(text).append("'");
      else if (IsNumberText(text)) out += text;
      else AppendQuotedString(out, text);
      return true;
    }
    case TypeCode::kGeometry:
      out += HexLiteral(SpatialBytes(text));
      return true;
    case TypeCode::kString:
      if (column.charsetId != kBinaryCollation) {
        // The server pads CHAR values with spaces and strips them when it returns them.
        size_t end = text.size();
        while (end > 0 && text[end - 1] == ' ') --end;
        AppendQuotedString(out, std::string_view(text).substr(0, end));
        return true;
      }
      break;
    default:
      if (IsNumericColumn(column.typeCode) && IsNumberText(text)) {
        out += text;
        return true;
      }
      break;
  }
  AppendQuotedString(out, text);
  return true;
}

bool ValueLiteral(const ColumnDef& column, const Cell& cell, std::string& literal, std::string& problem) {
  literal.clear();
  problem.clear();
  return AppendValueLiteral(column, cell, literal, problem);
}

std::vector<std::string> SessionSettings(bool withNames) {
  std::vector<std::string> statements;
  if (withNames) statements.push_back("SET NAMES utf8mb4");
  statements.push_back("SET time_zone = '+00:00'");
  statements.push_back(kSessionSqlMode);
  statements.push_back("SET foreign_key_checks = 0");
  return statements;
}

InsertBuilder::InsertBuilder(const TableDef& table, const std::string& tableName, size_t maxBytes)
    : maxBytes_(maxBytes) {
  prefix_ = "INSERT INTO " + QuoteIdentifier(tableName) + " (";
  bool first = true;
  for (const ColumnDef& column : table.columns) {
    if (!column.generationExpression.empty()) continue;  // computed by the server
    if (!first) prefix_ += ',';
    prefix_ += QuoteIdentifier(column.name);
    first = false;
  }
  prefix_ += ") VALUES ";
  columnsKept_.reserve(table.columns.size());
  for (const ColumnDef& column : table.columns) columnsKept_.push_back(column.generationExpression.empty());
}

namespace {
std::string RowTuple(const std::vector<std::string>& literals, const std::vector<bool>& kept) {
  std::string tuple = "(";
  bool first = true;
  for (size_t i = 0; i < literals.size(); ++i) {
    if (i < kept.size() && !kept[i]) continue;
    if (!first) tuple += ',';
    tuple += literals[i];
    first = false;
  }
  return tuple + ")";
}
}  // namespace

std::string InsertBuilder::Tuple(const std::vector<std::string>& literals) const {
  return RowTuple(literals, columnsKept_);
}

void InsertBuilder::AddRow(const std::vector<std::string>& literals) { AddTuple(Tuple(literals)); }

void InsertBuilder::AddTuple(const std::string& tuple) {
  if (openRows_ > 0 && open_.size() + 1 + tuple.size() > maxBytes_) Flush();
  if (openRows_ == 0) {
    open_ = prefix_;
  } else {
    open_ += ',';
  }
  open_ += tuple;
  ++openRows_;
}

void InsertBuilder::Flush() {
  if (openRows_ == 0) return;
  // A copy of exactly the statement's size: open_ keeps its grown buffer for the next statement,
  // which then fills it without reallocating.
  finished_.emplace_back(open_);
  finishedRows_.push_back(openRows_);
  open_.clear();
  openRows_ = 0;
}

std::vector<std::string> InsertBuilder::TakeFinished() {
  std::vector<std::string> out;
  out.swap(finished_);
  return out;
}

std::vector<size_t> InsertBuilder::TakeFinishedRowCounts() {
  std::vector<size_t> out;
  out.swap(finishedRows_);
  return out;
}

std::string InsertBuilder::SingleRow(const std::vector<std::string>& literals) const {
  return prefix_ + RowTuple(literals, columnsKept_);
}

std::string DelimitedBlock(const std::string& statement) {
  std::string delimiter = "$$";
  while (statement.find(delimiter) != std::string::npos) delimiter += '$';
  return "DELIMITER " + delimiter + "\n" + statement + "\n" + delimiter + "\nDELIMITER ;\n";
}

void OrderViewsByDependency(std::vector<std::string>& names, std::vector<std::string>& statements) {
  const size_t n = names.size();
  std::vector<std::vector<size_t>> needs(n);
  for (size_t i = 0; i < n; ++i) {
    for (size_t j = 0; j < n; ++j) {
      if (i != j && statements[i].find(QuoteIdentifier(names[j])) != std::string::npos) needs[i].push_back(j);
    }
  }
  std::vector<bool> placed(n, false);
  std::vector<size_t> order;
  while (order.size() < n) {
    bool progress = false;
    for (size_t i = 0; i < n; ++i) {
      if (placed[i]) continue;
      bool ready = true;
      for (size_t j : needs[i]) ready = ready && placed[j];
      if (!ready) continue;
      placed[i] = true;
      order.push_back(i);
      progress = true;
    }
    if (!progress) {  // a cycle: the rest in their own order
      for (size_t i = 0; i < n; ++i)
        if (!placed[i]) placed[i] = true, order.push_back(i);
    }
  }
  std::vector<std::string> sortedNames, sortedStatements;
  for (size_t i : order) {
    sortedNames.push_back(std::move(names[i]));
    sortedStatements.push_back(std::move(statements[i]));
  }
  names.swap(sortedNames);
  statements.swap(sortedStatements);
}

}  // namespace wexholt
