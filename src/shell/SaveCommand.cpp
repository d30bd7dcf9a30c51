// The Save command: the checked tables of the tree saved by the save run on a worker thread. The
// run's progress lines reach the output list and the log through queued calls, in order; busy is
// set for the run, so Stop is offered and the other commands wait. The run reads the tables with a
// reader and decoder settings of its own, so nothing it does touches the table on screen.
#include <QMetaObject>

#include "MainWindow.h"
#include "SaveDatabaseDialog.h"
#include "ShellHooks.h"
#include "save/SaveRun.h"

namespace wexholt::shell {
namespace {

class ShellSaveProgress : public SaveProgress {
 public:
  ShellSaveProgress(MainWindow& window, CBrenmoorApp& app) : window_(window), app_(app) {}
  void Line(const std::string& text) override {
    // The call outlives this object: it names only the window.
    MainWindow* window = &window_;
    QMetaObject::invokeMethod(window, [window, text] { window->Workflow().AddOutputAndLogLine(text); }, Qt::QueuedConnection);
  }
  bool StopRequested() override { return app_.stopRequested.load() != 0; }

 private:
  MainWindow& window_;
  CBrenmoorApp& app_;
};

}  // namespace

void MainWindow::Save() {
  if (app_.busy.load() == 1 || workflow_->ScanRunning()) {
    ShowMessage(this, QStringLiteral("Please wait for the running process."), MessageIcon::kInformation);
    return;
  }
  if (TreeCheckedItems().empty()) {
    ShowMessage(this, QStringLiteral("Please select folder to save the database"), MessageIcon::kInformation);
    return;
  }
  if (!SaveDatabaseDialog::Instance(app_, this).Ask()) return;

  // A run that was stopped may still be finishing its last table.
  if (saveWorker_.joinable()) saveWorker_.join();

  const std::vector<TableLocation> tables = workflow_->CheckedTables();
  const SaveOptions options = SaveOptionsFromApp(app_);
  const std::string dataPath = workflow_->dataPath;
  auto settings = std::make_shared<DecoderSettings>(app_.decoder);
  // The table on screen keeps showing display text: the save mode belongs to the run's copy.
  app_.decoder.saveToFolder = false;
  app_.decoder.saveToServer = false;

  app_.stopRequested.store(0);
  app_.busy.store(1);
  UpdateCommandStates();
  ProgressShow(true);
  workflow_->AddOutputAndLogLine(options.toServer ? "Saving the checked tables into the server " + options.server
                                                  : "Saving the checked tables as scripts into " + options.folder);
  saveWorker_ = std::thread([this, tables, options, dataPath, settings] {
    ShellSaveProgress progress(*this, app_);
    SaveSummary summary;
    try {
      summary = RunSave(dataPath, tables, options, *settings, progress);
    } catch (...) {
      progress.Line("The save ended with an error.");
    }
    QMetaObject::invokeMethod(this, [this, summary] {
      const std::string line = "Save completed: " + std::to_string(summary.tablesSaved) + " table(s) saved, " +
                               std::to_string(summary.tablesFailed) + " not saved, " + std::to_string(summary.rowsSaved) +
                               " row(s).";
      workflow_->AddOutputAndLogLine(line);
      app_.busy.store(0);
      ProgressShow(false);
      SetCaptionText(line);
      UpdateCommandStates();
      ShowMessage(this, QString::fromStdString(line), MessageIcon::kInformation);
      emit saveFinished();
    }, Qt::QueuedConnection);
  });
}

}  // namespace wexholt::shell
