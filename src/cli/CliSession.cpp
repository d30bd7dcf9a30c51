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

namespace {

// False when none of the eight bytes at p is below 0x0E or a backslash, so that none of them needs
// an escape (a true answer is settled byte by byte).
bool MayNeedEscape(const char* p) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  uint64_t w;
  std::memcpy(&w, p, 8);
  const uint64_t below = (w - kOnes * 0x0E) & ~w & kHigh;
  const uint64_t x = w ^ (kOnes * static_cast<uint8_t>('\\'));
  const uint64_t backslash = (x - kOnes) & ~x & kHigh;
  return (below | backslash) != 0;
}

bool NeedsEscape(char c) { return c == '\\' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

void AppendTsvCell(std::string& out, std::string_view text) {
  // Most cells hold none of the four escaped characters: runs between them are copied whole, and
  // found eight bytes at a time.
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    const char* run = p;
    for (;;) {
      while (end - p >= 8 && !MayNeedEscape(p)) p += 8;
      const char* stop = end - p >= 8 ? p + 8 : end;
      while (p < stop && !NeedsEscape(*p)) ++p;
      if (p < stop || p == end) break;
    }
    out.append(run, static_cast<size_t>(p - run));
    if (p == end) break;
    out.push_back('\\');
    switch (*p) {
      case '\t': out.push_back('t'); break;
      case '\n': out.push_back('n'); break;
      case '\r': out.push_back('r'); break;
      default: out.push_back('\\'); break;
    }
    ++p;
  }
}

void BlockWriter::Write(std::string_view bytes) {
  if (buffer_.empty() && bytes.size() >= kWriterBlock) {
    // A block of its own size goes out as it is, without a copy.
    WriteAll(bytes.data(), bytes.size());
    return;
  }
  buffer_.append(bytes);
  if (buffer_.size() >= kWriterBlock) Flush();
}

void BlockWriter::WriteAll(const char* data, size_t size) {
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
}

bool BlockWriter::Flush() {
  WriteAll(buffer_.data(), buffer_.size());
  buffer_.clear();
  return !failed_;
}

}  // namespace wexholt
