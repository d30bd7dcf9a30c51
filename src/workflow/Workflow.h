// RecoveryWorkflow: the recovery state of the main window and the commands that act on it — Open and
// the scan worker, Stop, showing a tree item, Next and Previous, the CSV export.
//
// It owns the scan lists, the selected item, the page counters and exactly one TableReader, and
// talks to its front end only through FrontEnd. The commands run on the front end's GUI thread; the
// scan runs on a worker thread of its own.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "definitions/TableReader.h"
#include "workflow/BrenmoorApp.h"
#include "workflow/FrontEnd.h"

namespace wexholt {

// Window messages of the main window (the shell maps its signals onto these commands).
constexpr int kMessageShowTreeItem = 1174;
constexpr int kMessagePreviousPage = 1214;
constexpr int kMessageNextPage = 1215;
constexpr int kMessageProgressRange = 1028;
constexpr int kMessageProgressPosition = 1180;
constexpr int kMessageSetPanelText = 1029;
constexpr int kMessageReleaseText = 1030;
constexpr int kMessageErrorBox = 1031;
constexpr int kMessageOutputAndLog = 1207;

// Command IDs.
constexpr int kCommandOpen = 313;
constexpr int kCommandStop = 314;
constexpr int kCommandSave = 315;
constexpr int kCommandHelp = 319;
constexpr int kCommandAbout = 320;
constexpr int kCommandExportCsv = 340;

struct TableEntry {
  int32_t databaseIndex = 0;
  std::string tableName;
};

struct TriggerEntry {
  std::string fileName;
  std::string text;
  std::string folderPath;
};

// Where a checked or named table lives.
struct TableLocation {
  std::string databaseFolder;  // without trailing '/'
  std::string databaseName;
  std::string tableName;
};

class RecoveryWorkflow {
 public:
  RecoveryWorkflow(CBrenmoorApp& app, FrontEnd& frontEnd);
  ~RecoveryWorkflow();  // waits for a running scan worker

  // Open (313): the Select Database File dialog, the log, then the scan worker.
  void Open();
  // Open without the dialog (CLI, tests, --open): paths as the dialog would store them.
  void OpenWithPaths(const RunPaths& paths);
  // Stop (314).
  void Stop();
  // Waits until the scan worker of the last Open has ended.
  void WaitForScan();
  // True from the start of a scan worker until it has ended (also after a confirmed Stop, until the
  // worker has noticed it).
  bool ScanRunning() const { return scanRunning_.load(); }

  // Message 1174: returns 0 when refused because of busy, else 1.
  int ShowTreeItem(TreeItem item);
  // Messages 1215 and 1214.
  int NextPage();
  int PreviousPage();
  // Command 340.
  void ExportGridToCsv();
  // Message 1207: an output line plus a log line.
  void AddOutputAndLogLine(const std::string& text);

  void AddOutputLine(const std::string& text);
  void WriteLog(const std::string& text);

  // Tables behind the checked items of the tree (table items, or containers whose tables are all
  // checked), in tree order.
  std::vector<TableLocation> CheckedTables();

  // ---- State (read by the shell, the CLI and the tests) ----
  CBrenmoorApp& app;
  FrontEnd& ui;
  TableReader reader;

  std::string dataPath;
  std::vector<std::string> databaseFolders;  // without trailing '/'
  std::vector<TableEntry> tableEntries;
  std::vector<std::string> viewPaths;
  std::vector<TriggerEntry> triggerEntries;

  TreeItem selectedItem = kNoTreeItem;
  int32_t selectedItemData = 0;

  ResumePosition currentPageStart;
  int32_t lastPositionCount = 0;
  int64_t pageFirstRow = 0;
  int64_t pageLastRow = 0;
  int64_t rowsRead = 0;

  // What the record grid shows (the CSV export writes it).
  std::vector<GridColumn> gridColumns;
  std::vector<std::vector<std::string>> gridRows;

 private:
  // Open after the dialog: waits for an earlier worker, sets busy, opens the log, starts the worker.
  void StartScan(const RunPaths& paths);
  void ScanWorker();
  void RunScan();
  // Appends every sub-folder of folder (ends with '/') to databaseFolders, sorted by name.
  bool FindDatabaseFolders(const std::string& folder);
  void ScanDatabaseFolder(const std::string& folderPath, TreeItem databaseItem, TreeItem tablesItem,
                          int32_t databaseIndex);
  bool StopSeen() const { return app.stopRequested.load() != 0; }
  // Commands other than Open and Stop refuse while busy or while a stopped worker still runs.
  bool Refused();
  void ShowSchemaGrid(TreeItem keysItem);
  void ShowViewText(int32_t data);
  void ShowTriggerText(int32_t data);
  void LoadTable(int32_t data, const std::string& label);
  void SetGridColumns(std::vector<GridColumn> columns);
  // Puts reader.rowPage into the record grid; returns the number of rows.
  int64_t ShowRowPage();
  void FinishPaging();
  // After the walk of the selected table reached its end: the damaged-pages line into the output
  // list and the log, once per selection of the table.
  void ReportDamagedPages();

  bool damageReported_ = false;  // the damaged-pages line of this selection was written
  int64_t walkedRows_ = 0;       // rows of the table walked so far (a page read again counts no damage)
  std::thread worker_;
  std::atomic<bool> scanRunning_{false};
};

}  // namespace wexholt
