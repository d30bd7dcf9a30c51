// MainWindow: the program's single top-level window — ribbon, caption bar, the tree pane "MySQL
// Database Objects" and the output pane "Output" (dock widgets that can be moved, floated and
// closed), the grid panel in the middle and the status bar with its link, pane and progress
// indicator. It owns the recovery workflow and is its front end: every FrontEnd call made on the
// scan worker's thread is carried over to the GUI thread as a queued call, in the order made; calls
// that answer (message boxes, dialogs, queries) wait for the GUI thread. Tree item handles are given
// out at once from a counter, so TreeInsert returns before the item is drawn.
//
// Commands (ribbon buttons, application menu) arrive as command ids; the workflow's messages
// (show item, previous and next page, the service messages) go through HandleMessage with their
// numbers.
#pragma once

#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMetaObject>
#include <QProgressBar>
#include <QThread>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "CaptionBar.h"
#include "DatabaseTree.h"
#include "GridPanel.h"
#include "Ribbon.h"
#include "workflow/BrenmoorApp.h"
#include "workflow/FrontEnd.h"
#include "workflow/Workflow.h"

namespace wexholt::shell {

// Commands of the main window that no ribbon button sends.
constexpr int kCommandShowCaptionBar = 221;

// Texts of the main window.
inline constexpr const char* kTreePaneTitle = "MySQL Database Objects";
inline constexpr const char* kOutputPaneTitle = "Output";
inline constexpr const char* kInitialCaption = "Select MySQL database file to continue the recovery process.";
inline constexpr const char* kInitialOutputLine = "select database file to continue the recovery process.";
inline constexpr const char* kProductName = "Corvalt Wexholt";

// Exit code of a confirmed Close (-1 as the low byte of an exit status).
constexpr int kCloseExitCode = 255;

struct MainWindowOptions {
  bool showSplash = true;
};

class MainWindow : public QMainWindow, public FrontEnd {
  Q_OBJECT
 public:
  MainWindow(CBrenmoorApp& app, MainWindowOptions options = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  // ---- Parts, for the program and the tests ----
  CBrenmoorApp& App() { return app_; }
  RecoveryWorkflow& Workflow() { return *workflow_; }
  Ribbon* RibbonBar() const { return ribbon_; }
  CaptionBar* Caption() const { return caption_; }
  DatabaseTreeView* Tree() const { return tree_; }
  DatabaseTreeModel* TreeModel() const { return tree_->TreeModel(); }
  QListWidget* Output() const { return output_; }
  GridPanel* Panel() const { return panel_; }
  QProgressBar* Progress() const { return progress_; }
  QDockWidget* TreePane() const { return treeDock_; }
  QDockWidget* OutputPane() const { return outputDock_; }
  int Look() const { return look_; }

  // Open without the dialog: the data path with the dialog's default temporary and log folders
  // (or the ones given).
  void OpenDirectory(const QString& dataPath, const QString& tempPath = {}, const QString& logFolder = {});
  // Selects and shows the item named "database.table" (a table, else a view or trigger file of that
  // database); false when there is none.
  bool SelectByName(const QString& name);
  // The tree item under the data path's database item db with label name, below "Tables", "Views"
  // or "Trigger" (kNoTreeItem when absent).
  TreeItem FindItem(const QString& database, const QString& name) const;

  // ---- FrontEnd ----
  void TreeClear() override;
  TreeItem TreeInsert(TreeItem parent, const std::string& label, int image, int32_t data) override;
  void TreeExpand(TreeItem item) override;
  void TreeRedraw() override;
  void TreeSetEnabled(bool enabled) override;
  void TreeSelect(TreeItem item) override;
  TreeItem TreeSelectedItem() override;
  std::string TreeItemLabel(TreeItem item) override;
  int32_t TreeItemData(TreeItem item) override;
  TreeItem TreeItemParent(TreeItem item) override;
  size_t TreeItemCount() override;
  std::vector<TreeItem> TreeCheckedItems() override;
  void OutputClear() override;
  void OutputInsert(int index, const std::string& line) override;
  void GridSetColumns(const std::vector<GridColumn>& columns) override;
  void GridSetRows(const std::vector<std::vector<std::string>>& rows) override;
  void GridClear() override;
  void GridShowRecords(bool recordsVisible) override;
  void TextBoxSet(const std::string& text) override;
  void StatusLabelSet(const std::string& text) override;
  void PageButtonsShow(bool visible) override;
  void PreviousSetEnabled(bool enabled) override;
  void NextSetEnabled(bool enabled) override;
  void SetCaptionText(const std::string& text) override;
  void ProgressShow(bool visible) override;
  void ProgressSetRange(int low, int high) override;
  void ProgressSetPosition(int position) override;
  MessageAnswer MessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons = MessageButtons::kOk) override;
  std::optional<RunPaths> SelectDatabaseFile() override;
  std::string FileOpenDialog() override;
  std::string FileSaveDialog(const std::string& proposedName, const std::string& extension) override;
  void ScanFinished() override;
  void PumpWhileWaiting() override;

 public slots:
  void OnCommand(int commandId);
  // The window messages: 1174 (wParam hit flags, lParam tree item), 1214, 1215, 1028 (low, high),
  // 1180 (position), 1029 and 1030 (text), 1031 (text), 1207 (text). Returns the handler's result.
  qint64 HandleMessage(int message, qint64 wParam = 0, qint64 lParam = 0, const QString& text = {});
  void ApplyLook(int look);
  // Close: refused while busy; Yes ends the process with kCloseExitCode.
  void RequestClose();

 signals:
  // The scan worker of the last Open ended (emitted on the GUI thread).
  void scanFinished();
  // The save run of the Save command ended.
  void saveFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildStatusBar();
  void BuildPanes();
  void BuildApplicationMenu();
  void UpdateCommandStates();
  void PlaceProgress();
  void Help();
  void About();
  void Save();

  bool OnGuiThread() const { return QThread::currentThread() == thread(); }
  // Runs f on the GUI thread: now when called there, else queued behind every earlier call.
  template <typename F>
  void Apply(F&& f) {
    if (OnGuiThread()) {
      f();
    } else {
      QMetaObject::invokeMethod(this, std::forward<F>(f), Qt::QueuedConnection);
    }
  }
  // Runs f on the GUI thread and waits for its result.
  template <typename R, typename F>
  R Ask(F&& f) {
    if (OnGuiThread()) return f();
    R result{};
    QMetaObject::invokeMethod(this, [&result, &f] { result = f(); }, Qt::BlockingQueuedConnection);
    return result;
  }

  CBrenmoorApp& app_;
  std::unique_ptr<RecoveryWorkflow> workflow_;
  Ribbon* ribbon_ = nullptr;
  CaptionBar* caption_ = nullptr;
  QDockWidget* treeDock_ = nullptr;
  QDockWidget* outputDock_ = nullptr;
  DatabaseTreeView* tree_ = nullptr;
  QListWidget* output_ = nullptr;
  GridPanel* panel_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* link_ = nullptr;
  QLabel* pane_ = nullptr;
  QTimer commandTimer_;
  QTimer progressTimer_;
  int look_ = 215;
  std::thread saveWorker_;
};

}  // namespace wexholt::shell
