// rows: a table's rows as the record grid shows them, one page (page N is reached by going Next
// from page 1, as the grid does) or every page in turn, never holding more than one page.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "decoding/Text.h"
#include "workflow/CsvExport.h"
#include "workflow/ParallelRows.h"
#include "workflow/TablePages.h"

namespace wexholt {

namespace {

enum class Format { kTsv, kCsv, kJson };

constexpr const char* kRowsUsage =
    "Usage: wexholt rows DATADIR DB.TABLE [--page N | --all] [--format tsv|csv|json] [--out FILE]\n";

void AppendJsonString(std::string& out, std::string_view utf8) {
  static const char kHex[] = "0123456789abcdef";
  out.push_back('"');
  for (unsigned char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (c < 0x20) {
          out += "\\u00";
          out.push_back(kHex[c >> 4]);
          out.push_back(kHex[c & 15]);
        } else {
          out.push_back(static_cast<char>(c));
        }
    }
  }
  out.push_back('"');
}

// Column types whose text is only digits, signs, points, colons, dashes and spaces (numbers,
// DECIMAL, the temporal types, YEAR): a TSV cell of theirs never needs an escape.
bool IsPlainTextType(int typeCode) {
  switch (typeCode) {
    case TypeCode::kTiny: case TypeCode::kShort: case TypeCode::kLong: case TypeCode::kFloat:
    case TypeCode::kDouble: case TypeCode::kTimestamp: case TypeCode::kLongLong: case TypeCode::kInt24:
    case TypeCode::kDate: case TypeCode::kTime: case TypeCode::kDateTime: case TypeCode::kYear:
    case TypeCode::kNewDate: case TypeCode::kTimestamp2: case TypeCode::kDateTime2: case TypeCode::kTime2:
    case TypeCode::kNewDecimal:
      return true;
    default:
      return false;
  }
}

class RowFormatter {
 public:
  RowFormatter(Format format, bool utf16, const std::vector<ColumnDef>& columns) : format_(format), utf16_(utf16) {
    for (const ColumnDef& column : columns) plain_.push_back(IsPlainTextType(column.typeCode) ? 1 : 0);
  }

  std::string Heading(const std::vector<ColumnDef>& columns) const {
    std::string text;
    if (format_ == Format::kJson) return text;
    std::vector<std::string> names;
    for (const ColumnDef& column : columns) names.push_back(column.name);
    if (format_ == Format::kCsv) {
      std::vector<std::string> headings;
      for (const std::string& name : names) headings.push_back(CsvHeading(name));
      AppendCsvLine(text, headings);
    } else {
      AppendLine(text, names);
    }
    return Encode(std::move(text));
  }

  // The lines of a page of rows, in the output's encoding, appended to text.
  void AppendPage(const RowPage& rows, std::string& text) {
    for (const Row& row : rows) {
      rowCells_.resize(row.size());
      for (size_t i = 0; i < row.size(); ++i) rowCells_[i] = &row[i];
      AppendRow(rowCells_.data(), rowCells_.size(), text);
    }
  }

  // The line of one row (count cells, in column order), in the output's encoding, appended to text.
  void AppendRow(const Cell* const* row, size_t count, std::string& text) {
    std::string& lines = utf16_ ? utf8Lines_ : text;
    if (utf16_) lines.clear();
    switch (format_) {
      case Format::kTsv:
        for (size_t i = 0; i < count; ++i) {
          if (i > 0) lines.push_back('\t');
          if (i < plain_.size() && plain_[i]) lines.append(row[i]->text);
          else AppendTsvCell(lines, row[i]->text);
        }
        lines.push_back('\n');
        break;
      case Format::kCsv:
        cells_.resize(count);
        for (size_t i = 0; i < count; ++i) cells_[i].assign(row[i]->text);
        AppendCsvLine(lines, cells_);
        break;
      case Format::kJson:
        lines.push_back('[');
        for (size_t i = 0; i < count; ++i) {
          if (i > 0) lines.push_back(',');
          if (row[i]->kind == CellKind::kNull) {
            lines += "null";
          } else if (IsValidUtf8(row[i]->text)) {
            AppendJsonString(lines, row[i]->text);
          } else {
            AppendJsonString(lines, SanitizeUtf8(row[i]->text));
          }
        }
        lines += "]\n";
        break;
    }
    if (utf16_) text += Utf16le(lines);
  }

 private:
  static void AppendLine(std::string& text, const std::vector<std::string>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) {
      if (i > 0) text.push_back('\t');
      AppendTsvCell(text, cells[i]);
    }
    text.push_back('\n');
  }
  std::string Encode(std::string text) const { return utf16_ ? Utf16le(text) : text; }

  Format format_;
  bool utf16_;
  std::string utf8Lines_;            // a page's lines before UTF-16 encoding
  std::vector<std::string> cells_;   // a CSV row's cell texts
  std::vector<const Cell*> rowCells_;  // a kept row's cells, in column order
  std::vector<uint8_t> plain_;          // per column: its text never needs a TSV escape
};

bool ParsePageNumber(const std::string& text, long long& page) {
  if (text.empty() || text.size() > 15) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  page = std::stoll(text);
  return page >= 1;
}

}  // namespace

int RunRowsCommand(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  long long page = 1;
  bool all = false;
  bool pageGiven = false;
  Format format = Format::kTsv;
  std::string outPath;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--all") {
      all = true;
    } else if (a == "--page") {
      if (!value(v) || !ParsePageNumber(v, page)) {
        std::fprintf(stderr, "wexholt: --page needs a page number from 1 up\n%s", kRowsUsage);
        return kExitUsage;
      }
      pageGiven = true;
    } else if (a == "--format") {
      if (!value(v) || (v != "tsv" && v != "csv" && v != "json")) {
        std::fprintf(stderr, "wexholt: --format is tsv, csv or json\n%s", kRowsUsage);
        return kExitUsage;
      }
      format = v == "tsv" ? Format::kTsv : v == "csv" ? Format::kCsv : Format::kJson;
    } else if (a == "--out") {
      if (!value(outPath) || outPath.empty()) {
        std::fprintf(stderr, "wexholt: --out needs a file name\n%s", kRowsUsage);
        return kExitUsage;
      }
    } else if (a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "wexholt: unknown option: %s\n%s", a.c_str(), kRowsUsage);
      return kExitUsage;
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2 || (all && pageGiven)) {
    std::fputs(kRowsUsage, stderr);
    return kExitUsage;
  }
  std::string database, table;
  if (!CliSession::SplitQualifiedName(positional[1], database, table)) return kExitUsage;

  CliSession session;
  if (int rc = session.Scan(positional[0]); rc != kExitOk) return rc;
  TreeItem tableItem = session.TableItem(database, table);
  if (tableItem == kNoTreeItem) return kExitNotFound;
  const TableEntry& entry = session.EntryOf(tableItem);
  const std::string folder = session.FolderOf(entry);

  TableReader& reader = session.workflow.reader;
  LoadTableFirstPage(reader, folder, entry.tableName);
  if (reader.tableDef.columns.empty()) {
    PrintError("table definition cannot be read: " +
               ExistingDataFilePath(JoinPath(folder, entry.tableName), "frm"));
    return kExitNotFound;
  }

  // The grid would show the columns without rows; here a table whose rows cannot be reached is an
  // error, so that a script does not take it for an empty table.
  const std::string base = JoinPath(folder, entry.tableName);
  switch (reader.tableDef.engineType) {
    case kEngineMyisam:
      if (!reader.myisamDataFile.IsOpen()) {
        PrintError("table data cannot be read: " + ExistingDataFilePath(base, "MYD"));
        return kExitNotFound;
      }
      break;
    case kEngineInnodb:
      if (reader.resumePositions.empty()) {
        PrintError("table data cannot be read: " + database + "." + entry.tableName +
                   " (no readable .ibd file, or not in the ibdata1 dictionary)");
        return kExitNotFound;
      }
      break;
    default:
      PrintError("table data cannot be read: " + database + "." + entry.tableName + " (engine " +
                 (reader.tableDef.engineName.empty() ? std::to_string(reader.tableDef.engineType)
                                                     : reader.tableDef.engineName) +
                 ")");
      return kExitNotFound;
  }

  int fd = STDOUT_FILENO;
  if (!outPath.empty()) {
    fd = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
      PrintError("output file cannot be created: " + outPath + " (" + std::strerror(errno) + ")");
      return kExitNotFound;
    }
  }
  const bool utf16 = format == Format::kCsv && !outPath.empty();
  const std::vector<ColumnDef> columns = reader.tableDef.columns;
  RowFormatter formatter(format, utf16, columns);
  int rc = kExitOk;
  {
    BlockWriter out(fd);
    out.Write(formatter.Heading(reader.tableDef.columns));
    std::string text;
    auto writePage = [&] {
      text.clear();
      formatter.AppendPage(reader.rowPage, text);
      out.Write(text);
    };
    if (all) {
      // Several readers at once where the table's pages can be divided among them; the output is the
      // same as from one reader.
      ParallelRowOptions options;
      options.readers = DefaultReaderCount();
      auto makeFormatter = [format, utf16, &columns]() -> RowTextFormatter {
        auto own = std::make_shared<RowFormatter>(format, utf16, columns);
        return [own](const Cell* const* cells, size_t count, std::string& rowText) {
          own->AppendRow(cells, count, rowText);
        };
      };
      auto writeText = [&](std::string_view pageText) {
        out.Write(pageText);
        return !out.Failed();
      };
      if (WriteAllRowsDivided(reader, folder, entry.tableName, makeFormatter, writeText, options) ==
          ParallelRowsResult::kNotDivided) {
        writePage();
        while (!out.Failed() && LoadFollowingPage(reader)) writePage();
      }
      const std::string damage = DamagedPagesLine(reader, LastPathComponent(folder), entry.tableName);
      if (!damage.empty()) PrintError(damage);
    } else {
      bool found = true;
      for (long long k = 1; k < page && found; ++k) found = LoadFollowingPage(reader);
      if (found) {
        writePage();
      } else {
        std::fprintf(stderr, "wexholt: page %lld: No more records in table\n", page);
      }
    }
    if (!out.Flush()) {
      PrintError("output cannot be written" + (outPath.empty() ? std::string() : ": " + outPath));
      rc = kExitNotFound;
    }
  }
  if (fd != STDOUT_FILENO && ::close(fd) != 0 && rc == kExitOk) {
    PrintError("output cannot be written: " + outPath);
    rc = kExitNotFound;
  }
  return rc;
}

}  // namespace wexholt
