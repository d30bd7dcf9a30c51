// RecoveryWorkflow: the recovery state of the main window and the commands that act on it — Open and
// the scan worker, Stop, showing a tree item, Next and Previous, the CSV export.
//
// It owns the scan lists, the selected item, the page counters and exactly one TableReader, and
// talks to its front end only through FrontEnd. The commands run on the front end's GUI thread; the
// scan runs on a worker thread of its own.
#pragma once

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
  void ScanWorker();
  std::thread worker_;
};

}  // namespace wexholt
