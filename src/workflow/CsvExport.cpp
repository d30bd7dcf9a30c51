// Command 340: the record grid as shown (headings and the rows of the page on screen) written to a
// CSV file chosen by the user. The file format is described in CsvExport.h.
#include "workflow/CsvExport.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "decoding/Text.h"
#include "workflow/Workflow.h"

namespace wexholt {

namespace {

constexpr size_t kMaxHeadingUnits = 255;

bool WriteAll(int fd, const std::string& bytes) {
  const char* data = bytes.data();
  size_t size = bytes.size();
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out;
  out.reserve(text.size() + 2);
  out.push_back('"');
  for (char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

void AppendCsvLine(std::string& out, const std::vector<std::string>& fields, size_t maxFields) {
  const size_t count = fields.size() < maxFields ? fields.size() : maxFields;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) out.push_back(',');
    out += CsvField(fields[i]);
  }
  out += "\r\n";
}

std::string CsvHeading(const std::string& heading) {
  if (Utf16Length(heading) <= kMaxHeadingUnits) return heading;
  // Cut at a character boundary: whole characters while they fit into 255 code units.
  std::string clean = SanitizeUtf8(heading);
  std::string out;
  size_t units = 0;
  for (size_t i = 0; i < clean.size();) {
    unsigned char lead = static_cast<unsigned char>(clean[i]);
    size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    size_t characterUnits = length == 4 ? 2 : 1;
    if (units + characterUnits > kMaxHeadingUnits) break;
    out.append(clean, i, length);
    units += characterUnits;
    i += length;
  }
  return out;
}

std::string CsvFileBytes(const std::vector<GridColumn>& columns,
                         const std::vector<std::vector<std::string>>& rows) {
  std::string text;
  std::vector<std::string> headings;
  headings.reserve(columns.size());
  for (const GridColumn& column : columns) headings.push_back(CsvHeading(column.heading));
  AppendCsvLine(text, headings);
  // A row has one cell per column; cells beyond the columns are not shown and not written.
  for (const std::vector<std::string>& row : rows) AppendCsvLine(text, row, columns.size());
  return Utf16le(text);
}

void RecoveryWorkflow::ExportGridToCsv() {
  if (Refused()) return;
  if (ui.TreeItemCount() == 0) {
    ui.MessageBox("Please select database file to scan records.", MessageIcon::kInformation);
    return;
  }
  TreeItem selected = ui.TreeSelectedItem();
  if (selected == kNoTreeItem) {
    ui.MessageBox("Please select the table from tree which you want to save", MessageIcon::kInformation);
    return;
  }
  const std::string label = ui.TreeItemLabel(selected);
  if (gridColumns.empty()) return;

  const std::string path = ui.FileSaveDialog(label + "_", "csv");
  if (path.empty()) return;

  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    ui.MessageBox("File cannot be created.", MessageIcon::kInformation);
    return;
  }
  bool written = WriteAll(fd, CsvFileBytes(gridColumns, gridRows));
  if (::close(fd) != 0) written = false;
  if (!written) {
    ui.MessageBox("File cannot be saved completely.", MessageIcon::kError);
    return;
  }
  ui.MessageBox("File saved successfully.", MessageIcon::kInformation);
}

}  // namespace wexholt
