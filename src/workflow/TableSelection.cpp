// Showing a tree item: the column list of a table ("Keys"), the first page of a table's rows, or
// the SQL text of a view or of a table's trigger file. Everything is read again from the data
// files on each click; only the scan lists and the InnoDB dictionary are kept between clicks.
//
// Whatever happens inside a reader, the click ends the same way: the grid as far as it was filled,
// the progress indicator hidden, busy cleared, the tree enabled again.
#include <cinttypes>
#include <cstdio>

#include "decoding/Text.h"
#include "definitions/ColumnTypeText.h"
#include "definitions/TriggerDefinition.h"
#include "definitions/ViewDefinition.h"
#include "workflow/TablePages.h"
#include "workflow/Workflow.h"

namespace wexholt {

namespace {

constexpr int kGridColumnWidth = 200;

const CollationTable& CollationsOf(const CBrenmoorApp& app) {
  return app.decoder.collations != nullptr ? *app.decoder.collations : app.collationTable;
}

}  // namespace

void RecoveryWorkflow::SetGridColumns(std::vector<GridColumn> columns) {
  gridColumns = std::move(columns);
  gridRows.clear();
  ui.GridSetColumns(gridColumns);
}

int64_t RecoveryWorkflow::ShowRowPage() {
  gridRows.clear();
  gridRows.reserve(reader.rowPage.size());
  for (const Row& row : reader.rowPage) {
    std::vector<std::string> cells;
    cells.reserve(row.size());
    for (const Cell& cell : row) cells.push_back(cell.text);
    gridRows.push_back(std::move(cells));
  }
  ui.GridSetRows(gridRows);
  return static_cast<int64_t>(gridRows.size());
}

int RecoveryWorkflow::ShowTreeItem(TreeItem item) {
  // 1.
  if (app.busy.load() == 1 || ScanRunning()) {
    ui.TreeSelect(selectedItem);
    ui.MessageBox("Please wait for the running process.", MessageIcon::kInformation);
    return 0;
  }
  // 2-8.
  app.busy.store(1);
  selectedItem = item;
  ui.TextBoxSet("");
  ui.StatusLabelSet("");

  const std::string label = ui.TreeItemLabel(item);
  ui.SetCaptionText(label);
  AddOutputAndLogLine("Please wait while " + label + " folder is scanning.");

  ui.ProgressShow(true);
  ui.ProgressSetPosition(0);
  ui.GridShowRecords(true);
  app.decoder.saveToFolder = false;
  app.decoder.saveToServer = false;
  ui.TreeSetEnabled(false);

  reader.myisamDataFile.Close();
  reader.ibdFile.Close();
  reader.resumePositions.clear();

  ui.PageButtonsShow(true);
  ui.NextSetEnabled(true);
  ui.PreviousSetEnabled(false);
  rowsRead = 0;
  reader.suppressPositions = false;
  currentPageStart = {0, 0};
  lastPositionCount = 0;
  pageFirstRow = 0;
  pageLastRow = 0;
  damageReported_ = false;
  walkedRows_ = 0;

  try {
    // 9, 10.
    // The tree selects an item before it reports the click; a caller that did not, gets it
    // selected here, so that the export and a later refusal see the item shown.
    TreeItem selected = ui.TreeSelectedItem();
    if (selected != item) {
      ui.TreeSelect(item);
      selected = item;
    }
    const int32_t d = ui.TreeItemData(selected);
    gridColumns.clear();
    gridRows.clear();
    ui.GridClear();
    ui.TextBoxSet("");

    // 11.
    if (d == kItemKeys) ShowSchemaGrid(selected);

    // 12.
    selectedItemData = d;
    reader.ResetTable();

    // 13.
    TreeItem parent = ui.TreeItemParent(selected);
    const int32_t p = parent == kNoTreeItem ? kItemContainer : ui.TreeItemData(parent);
    if (p == kItemTriggerFolder) {
      ShowTriggerText(d);
    } else if (p == kItemViewsFolder) {
      ShowViewText(d);
    } else if (d >= 1 && static_cast<size_t>(d - 1) < tableEntries.size()) {
      LoadTable(d, ui.TreeItemLabel(selected));
    }
  } catch (...) {
    // A reader failed: the item ends with what was shown so far.
  }

  // 14-16. Pages exist only for a table's rows: after a "Keys" grid (rows, but no page of rows)
  // both buttons end disabled as well.
  if (gridRows.empty() || reader.rowPage.empty()) {
    ui.PreviousSetEnabled(false);
    ui.NextSetEnabled(false);
  }
  ui.ProgressShow(false);
  app.busy.store(0);
  ui.TreeSetEnabled(true);
  AddOutputAndLogLine("Scanning process completed.");
  return 1;
}

void RecoveryWorkflow::ShowSchemaGrid(TreeItem keysItem) {
  reader.tableDef.columns.clear();
  reader.tableDef.enumValues.clear();

  TreeItem tableItem = ui.TreeItemParent(keysItem);
  const int32_t n = tableItem == kNoTreeItem ? 0 : ui.TreeItemData(tableItem);
  if (n >= 1 && static_cast<size_t>(n - 1) < tableEntries.size()) {
    const TableEntry& entry = tableEntries[static_cast<size_t>(n - 1)];
    if (entry.databaseIndex >= 0 && static_cast<size_t>(entry.databaseIndex) < databaseFolders.size()) {
      std::string base = JoinPath(databaseFolders[static_cast<size_t>(entry.databaseIndex)], entry.tableName);
      reader.ReadTableDefinition(ExistingDataFilePath(base, "frm"));
    }
  }

  std::vector<GridColumn> columns;
  for (const char* heading : {"Column Name", "Data Type", "size", "Allow Nulls", "Key Name"}) {
    columns.push_back({heading, kGridColumnWidth});
  }
  SetGridColumns(std::move(columns));

  const CollationTable& collations = CollationsOf(app);
  for (const ColumnDef& column : reader.tableDef.columns) {
    std::vector<std::string> row;
    row.push_back(column.name);
    row.push_back(ColumnTypeText(column, reader.tableDef, collations));
    row.push_back(std::to_string(column.length));
    row.push_back(column.nullable == 1 ? "True" : "False");
    row.push_back(column.inPrimaryKey == 1 ? "Primary Key" : column.inUniqueKey == 1 ? "Unique Key" : "");
    gridRows.push_back(std::move(row));
  }
  ui.GridSetRows(gridRows);

  if (gridRows.size() > 1) {
    char caption[64];
    std::snprintf(caption, sizeof caption, "[%d]", static_cast<int>(gridRows.size()));
    ui.SetCaptionText(ui.TreeItemLabel(keysItem) + caption);
  } else {
    ui.SetCaptionText("");
  }
}

void RecoveryWorkflow::ShowViewText(int32_t data) {
  const int64_t index = data >= 1 ? static_cast<int64_t>(data) - 1 : data;
  if (index < 0 || static_cast<size_t>(index) >= viewPaths.size()) return;
  std::string text = ViewDefinitionText(viewPaths[static_cast<size_t>(index)]);
  ui.GridShowRecords(false);
  ui.TextBoxSet(text);
}

void RecoveryWorkflow::ShowTriggerText(int32_t data) {
  const int64_t index = static_cast<int64_t>(data) - 1;
  if (index < 0 || static_cast<size_t>(index) >= triggerEntries.size()) return;
  const TriggerEntry& entry = triggerEntries[static_cast<size_t>(index)];
  std::string text = TriggerDefinitionText(JoinPath(entry.folderPath, entry.fileName));
  ui.GridShowRecords(false);
  ui.TextBoxSet(text);
}

void RecoveryWorkflow::LoadTable(int32_t data, const std::string& label) {
  const TableEntry& entry = tableEntries[static_cast<size_t>(data - 1)];
  if (entry.databaseIndex < 0 || static_cast<size_t>(entry.databaseIndex) >= databaseFolders.size()) return;
  const std::string folder = databaseFolders[static_cast<size_t>(entry.databaseIndex)];

  try {
    LoadTableFirstPage(reader, folder, entry.tableName);
  } catch (...) {
    // A reader failed inside the first page: the rows read so far stay, no next start is kept.
    if (!reader.resumePositions.empty()) reader.resumePositions.resize(1);
  }

  std::vector<GridColumn> columns;
  columns.reserve(reader.tableDef.columns.size());
  for (const ColumnDef& column : reader.tableDef.columns) columns.push_back({column.name, kGridColumnWidth});
  SetGridColumns(std::move(columns));

  const int64_t n = ShowRowPage();
  pageFirstRow = 0;
  pageLastRow = n;
  rowsRead = n;
  walkedRows_ = n;
  // No start of a further page: page 1 is the whole table.
  if (reader.resumePositions.size() <= 1) ReportDamagedPages();

  char count[32];
  std::snprintf(count, sizeof count, "[%" PRId64 "]", n);
  ui.SetCaptionText(label + count);
}

}  // namespace wexholt
