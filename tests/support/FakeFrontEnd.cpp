#include "support/FakeFrontEnd.h"

namespace wexholt::testing {

namespace {

const char* IconName(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kNone: return "none";
    case MessageIcon::kInformation: return "information";
    case MessageIcon::kQuestion: return "question";
    case MessageIcon::kError: return "error";
  }
  return "?";
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }
std::string Flag(bool b) { return b ? "true" : "false"; }

}  // namespace

void FakeFrontEnd::Record(std::string call) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(call);
  }
  if (onCall) onCall(call);
}

void FakeFrontEnd::QueueAnswer(MessageAnswer answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_.push_back(answer);
}
void FakeFrontEnd::QueueDatabaseFile(std::optional<RunPaths> paths) {
  std::lock_guard<std::mutex> lock(mutex_);
  databaseFiles_.push_back(std::move(paths));
}
void FakeFrontEnd::QueueOpenFile(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  openFiles_.push_back(path);
}
void FakeFrontEnd::QueueSaveFile(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  saveFiles_.push_back(path);
}

std::vector<std::string> FakeFrontEnd::Calls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}
std::vector<std::string> FakeFrontEnd::CallsStartingWith(const std::string& prefix) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> out;
  for (const std::string& c : calls_) {
    if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
  }
  return out;
}
void FakeFrontEnd::ClearCalls() {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.clear();
}
std::vector<FakeFrontEnd::Message> FakeFrontEnd::Messages() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_;
}
std::vector<std::string> FakeFrontEnd::MessageTexts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> out;
  for (const Message& m : messages_) out.push_back(m.text);
  return out;
}
void FakeFrontEnd::ClearMessages() {
  std::lock_guard<std::mutex> lock(mutex_);
  messages_.clear();
}
std::vector<std::string> FakeFrontEnd::Captions() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return captions_;
}

std::vector<std::string> FakeFrontEnd::Output() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return output_;
}
std::vector<GridColumn> FakeFrontEnd::Columns() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return columns_;
}
std::vector<std::vector<std::string>> FakeFrontEnd::Rows() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return rows_;
}
std::string FakeFrontEnd::TextBox() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return textBox_;
}
std::string FakeFrontEnd::Caption() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return caption_;
}
bool FakeFrontEnd::NextEnabled() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return nextEnabled_;
}
bool FakeFrontEnd::PreviousEnabled() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return previousEnabled_;
}
bool FakeFrontEnd::ProgressVisible() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return progressVisible_;
}
bool FakeFrontEnd::TreeEnabled() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return treeEnabled_;
}
bool FakeFrontEnd::RecordsVisible() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return recordsVisible_;
}

TreeItem FakeFrontEnd::FindPath(const std::vector<std::string>& labels) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::vector<TreeItem>* level = &tree_.Roots();
  TreeItem found = kNoTreeItem;
  for (const std::string& label : labels) {
    found = kNoTreeItem;
    for (TreeItem t : *level) {
      if (tree_.Label(t) == label) {
        found = t;
        break;
      }
    }
    if (found == kNoTreeItem) return kNoTreeItem;
    level = &tree_.Children(found);
  }
  return found;
}

std::vector<std::string> FakeFrontEnd::TreeLines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> out;
  for (TreeItem t : tree_.PreOrder()) {
    int depth = 0;
    for (TreeItem p = tree_.Parent(t); p != kNoTreeItem; p = tree_.Parent(p)) ++depth;
    const CheckTree::Item* item = tree_.Find(t);
    out.push_back(std::string(2 * depth, ' ') + item->label + " [" + std::to_string(item->data) + "] img " +
                  std::to_string(item->image));
  }
  return out;
}

void FakeFrontEnd::WithTree(const std::function<void(CheckTree&)>& f) {
  std::lock_guard<std::mutex> lock(mutex_);
  f(tree_);
}

void FakeFrontEnd::TreeClear() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tree_.Clear();
    selected_ = kNoTreeItem;
  }
  Record("TreeClear()");
}

TreeItem FakeFrontEnd::TreeInsert(TreeItem parent, const std::string& label, int image, int32_t data) {
  TreeItem item;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    item = tree_.Insert(parent, label, image, data);
  }
  Record("TreeInsert(" + std::to_string(parent) + "," + Quoted(label) + "," + std::to_string(image) + "," +
         std::to_string(data) + ")=" + std::to_string(item));
  return item;
}

void FakeFrontEnd::TreeExpand(TreeItem item) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tree_.SetExpanded(item, true);
  }
  Record("TreeExpand(" + std::to_string(item) + ")");
}

void FakeFrontEnd::TreeRedraw() { Record("TreeRedraw()"); }

void FakeFrontEnd::TreeSetEnabled(bool enabled) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    treeEnabled_ = enabled;
  }
  Record("TreeSetEnabled(" + Flag(enabled) + ")");
}

void FakeFrontEnd::TreeSelect(TreeItem item) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    selected_ = tree_.Contains(item) ? item : kNoTreeItem;
  }
  Record("TreeSelect(" + std::to_string(item) + ")");
}

TreeItem FakeFrontEnd::TreeSelectedItem() {
  std::lock_guard<std::mutex> lock(mutex_);
  return selected_;
}
std::string FakeFrontEnd::TreeItemLabel(TreeItem item) {
  std::lock_guard<std::mutex> lock(mutex_);
  return tree_.Label(item);
}
int32_t FakeFrontEnd::TreeItemData(TreeItem item) {
  std::lock_guard<std::mutex> lock(mutex_);
  return tree_.Data(item);
}
TreeItem FakeFrontEnd::TreeItemParent(TreeItem item) {
  std::lock_guard<std::mutex> lock(mutex_);
  return tree_.Parent(item);
}
size_t FakeFrontEnd::TreeItemCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return tree_.Count();
}
std::vector<TreeItem> FakeFrontEnd::TreeCheckedItems() {
  std::lock_guard<std::mutex> lock(mutex_);
  return tree_.CheckedLeaves();
}

void FakeFrontEnd::OutputClear() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    output_.clear();
  }
  Record("OutputClear()");
}

void FakeFrontEnd::OutputInsert(int index, const std::string& line) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t at = index < 0 ? 0 : static_cast<size_t>(index);
    if (at > output_.size()) at = output_.size();
    output_.insert(output_.begin() + static_cast<std::ptrdiff_t>(at), line);
  }
  Record("OutputInsert(" + std::to_string(index) + "," + Quoted(line) + ")");
}

void FakeFrontEnd::GridSetColumns(const std::vector<GridColumn>& columns) {
  std::string names;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    columns_ = columns;
    rows_.clear();
    for (const GridColumn& c : columns) names += (names.empty() ? "" : ",") + c.heading;
  }
  Record("GridSetColumns(" + names + ")");
}

void FakeFrontEnd::GridSetRows(const std::vector<std::vector<std::string>>& rows) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    rows_ = rows;
  }
  Record("GridSetRows(" + std::to_string(rows.size()) + ")");
}

void FakeFrontEnd::GridClear() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    rows_.clear();
    columns_.clear();
  }
  Record("GridClear()");
}

void FakeFrontEnd::GridShowRecords(bool recordsVisible) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    recordsVisible_ = recordsVisible;
  }
  Record("GridShowRecords(" + Flag(recordsVisible) + ")");
}

void FakeFrontEnd::TextBoxSet(const std::string& text) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    textBox_ = text;
  }
  Record("TextBoxSet(" + Quoted(text) + ")");
}

void FakeFrontEnd::StatusLabelSet(const std::string& text) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    statusLabel_ = text;
  }
  Record("StatusLabelSet(" + Quoted(text) + ")");
}

void FakeFrontEnd::PageButtonsShow(bool visible) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pageButtonsVisible_ = visible;
  }
  Record("PageButtonsShow(" + Flag(visible) + ")");
}

void FakeFrontEnd::PreviousSetEnabled(bool enabled) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    previousEnabled_ = enabled;
  }
  Record("PreviousSetEnabled(" + Flag(enabled) + ")");
}

void FakeFrontEnd::NextSetEnabled(bool enabled) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    nextEnabled_ = enabled;
  }
  Record("NextSetEnabled(" + Flag(enabled) + ")");
}

void FakeFrontEnd::SetCaptionText(const std::string& text) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    caption_ = text;
    captions_.push_back(text);
  }
  Record("SetCaptionText(" + Quoted(text) + ")");
}

void FakeFrontEnd::ProgressShow(bool visible) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    progressVisible_ = visible;
  }
  Record("ProgressShow(" + Flag(visible) + ")");
}

void FakeFrontEnd::ProgressSetRange(int low, int high) {
  Record("ProgressSetRange(" + std::to_string(low) + "," + std::to_string(high) + ")");
}

void FakeFrontEnd::ProgressSetPosition(int position) {
  Record("ProgressSetPosition(" + std::to_string(position) + ")");
}

MessageAnswer FakeFrontEnd::MessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons) {
  MessageAnswer answer;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back({text, icon, buttons});
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    } else {
      answer = buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kOk;
    }
  }
  Record(std::string("MessageBox(") + Quoted(text) + "," + IconName(icon) + "," +
         (buttons == MessageButtons::kYesNo ? "yesno" : "ok") + ")");
  return answer;
}

std::optional<RunPaths> FakeFrontEnd::SelectDatabaseFile() {
  std::optional<RunPaths> paths;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!databaseFiles_.empty()) {
      paths = databaseFiles_.front();
      databaseFiles_.pop_front();
    }
  }
  Record("SelectDatabaseFile()");
  return paths;
}

std::string FakeFrontEnd::FileOpenDialog() {
  std::string path;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!openFiles_.empty()) {
      path = openFiles_.front();
      openFiles_.pop_front();
    }
  }
  Record("FileOpenDialog()");
  return path;
}

std::string FakeFrontEnd::FileSaveDialog(const std::string& proposedName, const std::string& extension) {
  std::string path;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!saveFiles_.empty()) {
      path = saveFiles_.front();
      saveFiles_.pop_front();
    }
  }
  Record("FileSaveDialog(" + Quoted(proposedName) + "," + Quoted(extension) + ")");
  return path;
}

void FakeFrontEnd::ScanFinished() { Record("ScanFinished()"); }

}  // namespace wexholt::testing
