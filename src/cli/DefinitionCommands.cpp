// scan, schema, view and trigger: the tree, the "Keys" grid and the view and trigger texts, as the
// workflow shows them after a click on the item.
#include <unistd.h>

#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "decoding/Text.h"
#include "workflow/TablePages.h"

namespace wexholt {

namespace {

bool ExpectArguments(const std::vector<std::string>& args, size_t count, const char* usage) {
  if (args.size() == count) return true;
  std::fprintf(stderr, "Usage: wexholt %s\n", usage);
  return false;
}

// The engine named by a table's .frm: its extra segment's engine name when it has one, else the
// engine code of the header.
std::string EngineText(CBrenmoorApp& app, const std::string& folder, const std::string& table) {
  TableReader reader(&app.decoder);
  reader.ReadTableDefinition(ExistingDataFilePath(JoinPath(folder, table), "frm"));
  if (!reader.tableDef.engineName.empty()) return reader.tableDef.engineName;
  switch (reader.tableDef.engineType) {
    case kEngineMyisam: return "MyISAM";
    case kEngineInnodb: return "InnoDB";
    default:
      if (reader.tableDef.columns.empty()) return "definition unreadable";
      return "engine " + std::to_string(reader.tableDef.engineType);
  }
}

void WriteText(const std::string& text) {
  BlockWriter out(STDOUT_FILENO);
  out.Write(text);
  if (!text.empty() && text.back() != '\n') out.Write("\n");
}

}  // namespace

int RunScanCommand(const std::vector<std::string>& args) {
  if (!ExpectArguments(args, 1, "scan DATADIR")) return kExitUsage;
  CliSession session;
  if (int rc = session.Scan(args[0]); rc != kExitOk) return rc;

  const CheckTree& tree = session.ui.tree;
  std::string text;
  std::vector<std::pair<TreeItem, int>> stack;
  for (auto it = tree.Roots().rbegin(); it != tree.Roots().rend(); ++it) stack.push_back({*it, 0});
  while (!stack.empty()) {
    auto [item, depth] = stack.back();
    stack.pop_back();
    const int32_t data = tree.Data(item);
    if (data == kItemKeys) continue;
    text.append(static_cast<size_t>(2 * depth), ' ');
    text += tree.Label(item);
    TreeItem parent = tree.Parent(item);
    if (data >= 1 && parent != kNoTreeItem && tree.Label(parent) == "Tables" &&
        static_cast<size_t>(data - 1) < session.workflow.tableEntries.size()) {
      const TableEntry& entry = session.workflow.tableEntries[static_cast<size_t>(data - 1)];
      text += " (" + EngineText(session.app, session.FolderOf(entry), entry.tableName) + ")";
    }
    text += '\n';
    const std::vector<TreeItem>& children = tree.Children(item);
    for (auto it = children.rbegin(); it != children.rend(); ++it) stack.push_back({*it, depth + 1});
  }
  WriteText(text);
  return kExitOk;
}

int RunSchemaCommand(const std::vector<std::string>& args) {
  if (!ExpectArguments(args, 2, "schema DATADIR DB.TABLE")) return kExitUsage;
  std::string database, table;
  if (!CliSession::SplitQualifiedName(args[1], database, table)) return kExitUsage;
  CliSession session;
  if (int rc = session.Scan(args[0]); rc != kExitOk) return rc;
  TreeItem tableItem = session.TableItem(database, table);
  if (tableItem == kNoTreeItem) return kExitNotFound;
  TreeItem keys = session.ui.FindChild(tableItem, "Keys");
  session.Show(keys);
  if (session.ui.rows.empty()) {
    const TableEntry& entry = session.EntryOf(tableItem);
    PrintError("table definition cannot be read: " +
               ExistingDataFilePath(JoinPath(session.FolderOf(entry), entry.tableName), "frm"));
    return kExitNotFound;
  }
  std::string text;
  for (size_t i = 0; i < session.ui.columns.size(); ++i) {
    if (i > 0) text += '\t';
    AppendTsvCell(text, session.ui.columns[i].heading);
  }
  text += '\n';
  for (const std::vector<std::string>& row : session.ui.rows) {
    for (size_t i = 0; i < row.size(); ++i) {
      if (i > 0) text += '\t';
      AppendTsvCell(text, row[i]);
    }
    text += '\n';
  }
  BlockWriter out(STDOUT_FILENO);
  out.Write(text);
  return out.Flush() ? kExitOk : kExitNotFound;
}

int RunViewCommand(const std::vector<std::string>& args) {
  if (!ExpectArguments(args, 2, "view DATADIR DB.VIEW")) return kExitUsage;
  std::string database, view;
  if (!CliSession::SplitQualifiedName(args[1], database, view)) return kExitUsage;
  CliSession session;
  if (int rc = session.Scan(args[0]); rc != kExitOk) return rc;
  TreeItem item = session.FolderChild(database, "Views", view);
  if (item == kNoTreeItem) return kExitNotFound;
  session.Show(item);
  if (session.ui.textBox.empty()) {
    PrintError("view definition cannot be read: " + database + "." + view);
    return kExitNotFound;
  }
  WriteText(session.ui.textBox);
  return kExitOk;
}

int RunTriggerCommand(const std::vector<std::string>& args) {
  if (!ExpectArguments(args, 2, "trigger DATADIR DB.TABLE")) return kExitUsage;
  std::string database, table;
  if (!CliSession::SplitQualifiedName(args[1], database, table)) return kExitUsage;
  CliSession session;
  if (int rc = session.Scan(args[0]); rc != kExitOk) return rc;
  TreeItem item = session.FolderChild(database, "Trigger", table);
  if (item == kNoTreeItem) return kExitNotFound;
  session.Show(item);
  if (session.ui.textBox.empty()) {
    PrintError("trigger file cannot be read: " + database + "." + table);
    return kExitNotFound;
  }
  WriteText(session.ui.textBox);
  return kExitOk;
}

}  // namespace wexholt
