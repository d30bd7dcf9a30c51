// What every reading command of the CLI shares: a scan of the data directory through the recovery
// workflow, finding a database, table, view or trigger file in its result, the cell escapes of the
// text formats, and one buffered writer for the output.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/ConsoleFrontEnd.h"
#include "workflow/BrenmoorApp.h"
#include "workflow/Workflow.h"

namespace wexholt {

// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitNotFound = 1;  // a path, database or table missing or unreadable
constexpr int kExitUsage = 2;

// Prints "wexholt: " + text on stderr.
void PrintError(const std::string& text);

class CliSession {
 public:
  CliSession();

  // Scans the data directory (made absolute, ending with '/'); prints the error and returns
  // kExitNotFound when it is not a readable folder.
  int Scan(const std::string& dataDirectory);

  // Splits "DB.NAME" at its first '.'; false (usage error printed) when it has no '.'.
  static bool SplitQualifiedName(const std::string& qualified, std::string& database, std::string& name);

  // The database item of database; prints the error and gives kNoTreeItem when absent.
  TreeItem DatabaseItem(const std::string& database);
  // The table item database.table (exact name, or the one name that matches without regard to
  // case); prints the error and gives kNoTreeItem when absent.
  TreeItem TableItem(const std::string& database, const std::string& table);
  // The child of the database's "Views" or "Trigger" folder labelled name.
  TreeItem FolderChild(const std::string& database, const std::string& folder, const std::string& name);

  // The tableEntries position behind a table item.
  const TableEntry& EntryOf(TreeItem tableItem);
  std::string FolderOf(const TableEntry& entry) const;

  // Selects the item as a click on its label does and shows it.
  void Show(TreeItem item);

  CBrenmoorApp app;
  ConsoleFrontEnd ui;
  RecoveryWorkflow workflow;
  std::string dataPath;  // absolute, ends with '/'
};

// A cell for the TSV output: backslash, TAB, LF and CR written as \\ \t \n \r.
void AppendTsvCell(std::string& out, std::string_view text);

// Writes to a file descriptor in large blocks.
class BlockWriter {
 public:
  explicit BlockWriter(int fd) : fd_(fd) {}
  ~BlockWriter() { Flush(); }
  void Write(std::string_view bytes);
  bool Flush();
  bool Failed() const { return failed_; }

 private:
  void WriteAll(const char* data, size_t size);

  int fd_;
  std::string buffer_;
  bool failed_ = false;
};

}  // namespace wexholt
