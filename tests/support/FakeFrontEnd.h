// FakeFrontEnd: a scripted front end for tests of the recovery workflow.
//
// It records every call in order as a line of text, answers message boxes and dialogs from script
// queues, and keeps the state a window would show (tree model, output list, grid, text box,
// caption, buttons, progress) so that tests can query it. Calls may come from the scan worker's
// thread; everything is guarded by one mutex. The onCall hook runs after a call was recorded,
// outside the lock, on the calling thread.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "controls/CheckTree.h"
#include "workflow/FrontEnd.h"

namespace wexholt::testing {

class FakeFrontEnd : public FrontEnd {
 public:
  struct Message {
    std::string text;
    MessageIcon icon = MessageIcon::kNone;
    MessageButtons buttons = MessageButtons::kOk;
  };

  // ---- Scripts ----
  // Message boxes take the queued answers in order; when the queue is empty an OK box answers kOk
  // and a Yes/No box answers kNo.
  void QueueAnswer(MessageAnswer answer);
  void QueueDatabaseFile(std::optional<RunPaths> paths);  // empty queue: cancelled
  void QueueOpenFile(const std::string& path);            // empty queue: cancelled
  void QueueSaveFile(const std::string& path);            // empty queue: cancelled

  // ---- Records ----
  std::vector<std::string> Calls() const;
  // Calls whose text starts with prefix (for example "SetCaptionText(").
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
  void ClearCalls();
  std::vector<Message> Messages() const;
  std::vector<std::string> MessageTexts() const;
  void ClearMessages();
  std::vector<std::string> Captions() const;  // every caption text set, in order

  // ---- State ----
  std::vector<std::string> Output() const;
  std::vector<GridColumn> Columns() const;
  std::vector<std::vector<std::string>> Rows() const;
  std::string TextBox() const;
  std::string Caption() const;
  bool NextEnabled() const;
  bool PreviousEnabled() const;
  bool ProgressVisible() const;
  bool TreeEnabled() const;
  bool RecordsVisible() const;
  // The item reached from the roots through the labels given (kNoTreeItem when absent).
  TreeItem FindPath(const std::vector<std::string>& labels) const;
  // The tree as indented lines: "label [data]" with two spaces per level.
  std::vector<std::string> TreeLines() const;
  // Runs f with the tree model under the lock (for checking and reading).
  void WithTree(const std::function<void(CheckTree&)>& f);

  std::function<void(const std::string& call)> onCall;

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
  MessageAnswer MessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
  std::optional<RunPaths> SelectDatabaseFile() override;
  std::string FileOpenDialog() override;
  std::string FileSaveDialog(const std::string& proposedName, const std::string& extension) override;
  void ScanFinished() override;

 private:
  void Record(std::string call);

  mutable std::mutex mutex_;
  std::vector<std::string> calls_;
  std::vector<Message> messages_;
  std::vector<std::string> captions_;
  std::deque<MessageAnswer> answers_;
  std::deque<std::optional<RunPaths>> databaseFiles_;
  std::deque<std::string> openFiles_;
  std::deque<std::string> saveFiles_;

  CheckTree tree_;
  TreeItem selected_ = kNoTreeItem;
  bool treeEnabled_ = true;
  std::vector<std::string> output_;
  std::vector<GridColumn> columns_;
  std::vector<std::vector<std::string>> rows_;
  std::string textBox_;
  std::string statusLabel_;
  std::string caption_;
  bool recordsVisible_ = true;
  bool pageButtonsVisible_ = false;
  bool previousEnabled_ = false;
  bool nextEnabled_ = false;
  bool progressVisible_ = false;
};

}  // namespace wexholt::testing
