// Open, the scan worker and Stop: a data path becomes the lists of database folders, tables, views
// and trigger files and the tree that shows them; then ibdata1 is loaded for the InnoDB dictionary.
//
// What the scan reads: directory listings one level deep (the data path, then each database folder)
// and the first 10 bytes of every .frm file. A table definition starts with FE 01; a view
// definition is a text file starting with "TYPE=VIEW"; anything else is left out. Trigger files are
// the files whose extension is "trg" in any case; their content is read only when shown. Listings
// are taken in name order, so that the tree and the list positions do not depend on the order the
// file system returns its entries in.
//
// The worker polls app.stopRequested between folders and between files; after a confirmed Stop it
// skips what is left (ibdata1 included) and ends with the usual completion lines, busy cleared and
// the progress indicator hidden.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "decoding/Text.h"
#include "definitions/DefinitionKind.h"
#include "workflow/Workflow.h"

namespace wexholt {

namespace fs = std::filesystem;

namespace {

// Names of the entries of folder, in byte order of their names; directories or files only.
std::vector<std::string> ListFolder(const std::string& folder, bool directories) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? std::string(".") : folder, ec);
  if (ec) return names;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    std::error_code typeError;
    bool isDirectory = it->is_directory(typeError);  // follows a symbolic link to a folder
    if (typeError) isDirectory = false;
    if (isDirectory != directories) continue;
    std::string name = it->path().filename().string();
    if (name == "." || name == "..") continue;
    names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string StripTrailingSeparators(std::string path) {
  while (!path.empty() && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

void RecoveryWorkflow::Open() {
  if (app.busy.load() == 1) {
    ui.MessageBox("Please wait for the running process.", MessageIcon::kInformation);
    return;
  }
  std::optional<RunPaths> paths = ui.SelectDatabaseFile();
  if (!paths) return;
  StartScan(*paths);
}

void RecoveryWorkflow::OpenWithPaths(const RunPaths& paths) {
  if (app.busy.load() == 1) {
    ui.MessageBox("Please wait for the running process.", MessageIcon::kInformation);
    return;
  }
  StartScan(paths);
}

void RecoveryWorkflow::StartScan(const RunPaths& paths) {
  // A worker that was stopped may still be finishing; it owns the lists and the reader until it ends.
  WaitForScan();

  app.databasePath = WithTrailingSeparator(paths.databasePath);
  app.tempPath = WithTrailingSeparator(paths.tempPath);
  app.logFolder = WithTrailingSeparator(paths.logFolder);
  app.stopRequested.store(0);
  app.busy.store(1);
  dataPath = app.databasePath;

  ui.TreeClear();
  ui.TextBoxSet("");
  ui.StatusLabelSet("");
  ui.PreviousSetEnabled(false);
  ui.NextSetEnabled(false);

  ui.SetCaptionText(app.databasePath);
  ui.ProgressShow(true);

  app.log.OpenLog(app.logFolder);
  AddOutputAndLogLine(app.databasePath + " File is selected for recovery....");

  scanRunning_.store(true);
  try {
    worker_ = std::thread([this] { ScanWorker(); });
  } catch (...) {
    // No thread: run the scan here, so that busy is cleared and the scan still reports.
    ScanWorker();
  }
}

void RecoveryWorkflow::ScanWorker() {
  try {
    RunScan();
  } catch (...) {
    // A failure inside a reader must not leave the program busy.
    app.busy.store(0);
    ui.ProgressShow(false);
  }
  scanRunning_.store(false);
  ui.ScanFinished();
}

void RecoveryWorkflow::RunScan() {
  // 1. Reset.
  ui.OutputClear();
  app.log.outputLine = 0;
  tableEntries.clear();
  databaseFolders.clear();
  triggerEntries.clear();
  viewPaths.clear();
  ui.TreeClear();
  reader.ResetAll();
  gridColumns.clear();
  gridRows.clear();
  ui.GridClear();
  ui.TextBoxSet("");
  selectedItem = kNoTreeItem;
  selectedItemData = 0;

  // 2, 3.
  dataPath = app.databasePath;
  const std::string systemTablespacePath = dataPath + "ibdata1";
  if (!dataPath.empty()) WriteLog("MySql database File Path:\t" + dataPath + "\r\n");

  // 4, 5.
  TreeItem root = ui.TreeInsert(kNoTreeItem, "MYSQL database", kTreeImageFolder, kItemContainer);
  TreeItem pathItem = ui.TreeInsert(root, dataPath, kTreeImageFolder, kItemContainer);
  AddOutputLine("Finding Database and tables");

  // 6-8.
  FindDatabaseFolders(dataPath);
  if (databaseFolders.empty()) {
    // The data path itself is the one database.
    std::string folder = StripTrailingSeparators(dataPath);
    size_t slash = folder.rfind('/');
    if (slash != std::string::npos && !StopSeen()) {
      databaseFolders.push_back(folder);
      TreeItem databaseItem =
          ui.TreeInsert(pathItem, folder.substr(slash + 1), kTreeImageFolder, kItemContainer);
      TreeItem tablesItem = ui.TreeInsert(databaseItem, "Tables", kTreeImageFolder, kItemContainer);
      ScanDatabaseFolder(folder, databaseItem, tablesItem, 0);
    }
  } else {
    for (size_t k = 0; k < databaseFolders.size() && !StopSeen(); ++k) {
      const std::string folder = databaseFolders[k];
      size_t slash = folder.rfind('/');
      if (slash == std::string::npos) continue;
      TreeItem databaseItem =
          ui.TreeInsert(pathItem, folder.substr(slash + 1), kTreeImageFolder, kItemContainer);
      TreeItem tablesItem = ui.TreeInsert(databaseItem, "Tables", kTreeImageFolder, kItemContainer);
      ScanDatabaseFolder(folder, databaseItem, tablesItem, static_cast<int32_t>(k));
    }
  }

  // 9.
  ui.TreeExpand(root);
  ui.TreeExpand(pathItem);

  // 10, 11.
  if (!StopSeen()) {
    AddOutputLine("Processing ibdata1 File");
    WriteLog("Processing ibdata1 File\r\n");
    if (!reader.LoadSystemTablespace(systemTablespacePath)) {
      WriteLog("ibdata1 File cannot be open\r\n");
      MessageAnswer answer =
          ui.MessageBox("Ibdata1File Cannot be opened.Do you want to browse ibdata1 File Manually?",
                        MessageIcon::kNone, MessageButtons::kYesNo);
      if (answer == MessageAnswer::kYes) {
        std::string chosen = ui.FileOpenDialog();
        if (!chosen.empty() && !reader.LoadSystemTablespace(chosen)) {
          WriteLog("Manually browse ibdata1 File cannot be open\r\n");
        }
      }
    }
  } else {
    AddOutputAndLogLine("Scanning stopped.");
  }

  // 12-16.
  app.busy.store(0);
  ui.TreeRedraw();
  AddOutputLine("scanning completed.");
  ui.MessageBox("Scanning completed for selected database file(s)", MessageIcon::kInformation);
  ui.ProgressShow(false);
  const std::string completed = "Scanning completed for selected database file(s).\r\n";
  ui.SetCaptionText(completed);
  WriteLog(completed);
}

bool RecoveryWorkflow::FindDatabaseFolders(const std::string& folder) {
  for (const std::string& name : ListFolder(folder, /*directories=*/true)) {
    databaseFolders.push_back(JoinPath(folder, name));
  }
  return true;
}

void RecoveryWorkflow::ScanDatabaseFolder(const std::string& folderPath, TreeItem databaseItem,
                                          TreeItem tablesItem, int32_t databaseIndex) {
  const std::string folder = CollapseDoubleSeparators(WithTrailingSeparator(folderPath));
  TreeItem viewsItem = kNoTreeItem;
  TreeItem triggerItem = kNoTreeItem;

  for (const std::string& name : ListFolder(folder, /*directories=*/false)) {
    if (StopSeen()) return;
    size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : ToLowerAscii(name.substr(dot + 1));

    if (extension == "frm") {
      std::string path = JoinPath(folderPath, name);
      const DefinitionKind kind = DefinitionKindOf(path);
      if (kind == DefinitionKind::kTable) {
        tableEntries.push_back({databaseIndex, name.substr(0, name.size() - 4)});
        TreeItem tableItem = ui.TreeInsert(tablesItem, tableEntries.back().tableName, kTreeImageFolder,
                                           static_cast<int32_t>(tableEntries.size()));
        ui.TreeInsert(tableItem, "Keys", kTreeImageKeys, kItemKeys);
      } else if (kind == DefinitionKind::kView) {
        if (viewsItem == kNoTreeItem) {
          viewsItem = ui.TreeInsert(databaseItem, "Views", kTreeImageViews, kItemViewsFolder);
        }
        viewPaths.push_back(path);
        ui.TreeInsert(viewsItem, name.substr(0, name.size() - 4), kTreeImageFolder,
                      static_cast<int32_t>(viewPaths.size()));
      }
    } else if (extension == "trg") {
      if (triggerItem == kNoTreeItem) {
        triggerItem = ui.TreeInsert(databaseItem, "Trigger", kTreeImageTrigger, kItemTriggerFolder);
      }
      triggerEntries.push_back({name, std::string(), folderPath});
      ui.TreeInsert(triggerItem, name.substr(0, dot), kTreeImageFolder,
                    static_cast<int32_t>(triggerEntries.size()));
    }
  }
}

void RecoveryWorkflow::Stop() {
  if (app.busy.load() != 1) return;
  MessageAnswer answer = ui.MessageBox("Are you sure to stop the running process?", MessageIcon::kInformation,
                                       MessageButtons::kYesNo);
  if (answer == MessageAnswer::kYes) {
    app.stopRequested.store(1);
    app.busy.store(0);
  }
}

}  // namespace wexholt
