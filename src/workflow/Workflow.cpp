// The recovery state of the main window and its small services: output and log lines, the busy
// test of the commands, and the tables behind the checked tree items.
#include "workflow/Workflow.h"

#include <chrono>
#include <set>

#include "decoding/Text.h"

namespace wexholt {

RecoveryWorkflow::RecoveryWorkflow(CBrenmoorApp& application, FrontEnd& frontEnd)
    : app(application), ui(frontEnd), reader(&application.decoder) {}

RecoveryWorkflow::~RecoveryWorkflow() { WaitForScan(); }

void RecoveryWorkflow::WaitForScan() {
  if (!worker_.joinable()) return;
  while (scanRunning_.load()) {
    ui.PumpWhileWaiting();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  worker_.join();
}

void RecoveryWorkflow::AddOutputLine(const std::string& text) {
  ui.OutputInsert(app.log.outputLine, text);
  app.log.outputLine += 1;
}

void RecoveryWorkflow::WriteLog(const std::string& text) { app.log.WriteLog(text); }

void RecoveryWorkflow::AddOutputAndLogLine(const std::string& text) {
  AddOutputLine(text);
  WriteLog(text);
  WriteLog("\r\n");
}

bool RecoveryWorkflow::Refused() {
  if (app.busy.load() == 1 || scanRunning_.load()) {
    ui.MessageBox("Please wait for the running process.", MessageIcon::kInformation);
    return true;
  }
  return false;
}

std::vector<TableLocation> RecoveryWorkflow::CheckedTables() {
  std::vector<TableLocation> out;
  std::set<int32_t> seen;
  for (TreeItem item : ui.TreeCheckedItems()) {
    // A checked table shows up as its checked "Keys" leaf, or as itself when it has no children.
    TreeItem table = item;
    if (ui.TreeItemData(item) == kItemKeys) table = ui.TreeItemParent(item);
    int32_t d = ui.TreeItemData(table);
    TreeItem parent = ui.TreeItemParent(table);
    if (d < 1 || parent == kNoTreeItem || ui.TreeItemData(parent) != kItemContainer) continue;
    if (static_cast<size_t>(d - 1) >= tableEntries.size() || !seen.insert(d).second) continue;
    const TableEntry& entry = tableEntries[static_cast<size_t>(d - 1)];
    if (entry.databaseIndex < 0 || static_cast<size_t>(entry.databaseIndex) >= databaseFolders.size()) continue;
    TableLocation location;
    location.databaseFolder = databaseFolders[static_cast<size_t>(entry.databaseIndex)];
    location.databaseName = LastPathComponent(location.databaseFolder);
    location.tableName = entry.tableName;
    out.push_back(std::move(location));
  }
  return out;
}

}  // namespace wexholt
