#include "cli/CliSession.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "decoding/Text.h"

namespace wexholt {

namespace fs = std::filesystem;

namespace {
constexpr size_t kWriterBlock = 1 << 20;
}

void PrintError(const std::string& text) { std::fprintf(stderr, "wexholt: %s\n", text.c_str()); }

CliSession::CliSession() : workflow(app, ui) {}

int CliSession::Scan(const std::string& dataDirectory) {
  std::error_code ec;
  fs::path path = fs::absolute(fs::path(dataDirectory), ec);
  if (ec || !fs::is_directory(path, ec)) {
    PrintError("data directory not found: " + dataDirectory);
    return kExitNotFound;
  }
  fs::directory_iterator probe(path, ec);
  if (ec) {
    PrintError("data directory cannot be read: " + dataDirectory);
    return kExitNotFound;
  }
  dataPath = WithTrailingSeparator(CollapseDoubleSeparators(path.lexically_normal().string()));
  RunPaths paths;
  paths.databasePath = dataPath;
  workflow.OpenWithPaths(paths);
  workflow.WaitForScan();
  return kExitOk;
}

bool CliSession::SplitQualifiedName(const std::string& qualified, std::string& database, std::string& name) {
  size_t dot = qualified.find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == qualified.size()) {
    PrintError("expected DATABASE.NAME, got: " + qualified);
    return false;
  }
  database = qualified.substr(0, dot);
  name = qualified.substr(dot + 1);
  return true;
}

TreeItem CliSession::DatabaseItem(const std::string& database) {
  TreeItem root = ui.FindChild(kNoTreeItem, "MYSQL database");
  TreeItem pathItem = root == kNoTreeItem ? kNoTreeItem : ui.FindChild(root, dataPath);
  TreeItem item = pathItem == kNoTreeItem ? kNoTreeItem : ui.FindChild(pathItem, database);
  if (item == kNoTreeItem) PrintError("database not found: " + database + " (in " + dataPath + ")");
  return item;
}

TreeItem CliSession::TableItem(const std::string& database, const std::string& table) {
  TreeItem db = DatabaseItem(database);
  if (db == kNoTreeItem) return kNoTreeItem;
  TreeItem tables = ui.FindChild(db, "Tables");
  TreeItem found = tables == kNoTreeItem ? kNoTreeItem : ui.FindChild(tables, table);
  if (found == kNoTreeItem && tables != kNoTreeItem) {
    const std::string wanted = ToLowerAscii(table);
    int matches = 0;
    for (TreeItem t : ui.tree.Children(tables)) {
      if (ToLowerAscii(ui.tree.Label(t)) == wanted) {
        found = t;
        ++matches;
      }
    }
    if (matches != 1) found = kNoTreeItem;
  }
  if (found == kNoTreeItem) PrintError("table not found: " + database + "." + table);
  return found;
}

TreeItem CliSession::FolderChild(const std::string& database, const std::string& folder, const std::string& name) {
  TreeItem db = DatabaseItem(database);
  if (db == kNoTreeItem) return kNoTreeItem;
  TreeItem container = ui.FindChild(db, folder);
  TreeItem found = container == kNoTreeItem ? kNoTreeItem : ui.FindChild(container, name);
  if (found == kNoTreeItem) {
    PrintError((folder == "Views" ? "view not found: " : "trigger file not found for table: ") + database + "." +
               name);
  }
  return found;
}

const TableEntry& CliSession::EntryOf(TreeItem tableItem) {
  return workflow.tableEntries.at(static_cast<size_t>(ui.tree.Data(tableItem) - 1));
}

std::string CliSession::FolderOf(const TableEntry& entry) const {
  return workflow.databaseFolders.at(static_cast<size_t>(entry.databaseIndex));
}

void CliSession::Show(TreeItem item) {
  ui.TreeSelect(item);
  workflow.ShowTreeItem(item);
}

void AppendTsvCell(std::string& out, std::string_view text) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char* escape = nullptr;
    switch (text[i]) {
      case '\\': escape = "\\\\"; break;
      case '\t': escape = "\\t"; break;
      case '\n': escape = "\\n"; break;
      case '\r': escape = "\\r"; break;
      default: continue;
    }
    out.append(text, start, i - start);
    out += escape;
    start = i + 1;
  }
  out.append(text, start, text.size() - start);
}

void BlockWriter::Write(std::string_view bytes) {
  buffer_.append(bytes);
  if (buffer_.size() >= kWriterBlock) Flush();
}

bool BlockWriter::Flush() {
  const char* data = buffer_.data();
  size_t size = buffer_.size();
  while (size > 0 && !failed_) {
    ssize_t n = ::write(fd_, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      break;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  buffer_.clear();
  return !failed_;
}

}  // namespace wexholt
