// FrontEnd: everything the recovery workflow asks of the program's face — the database tree, the
// output list, the record grid and its text box, the caption bar, the progress indicator, the page
// buttons, message boxes and dialogs.
//
// The Qt shell implements it over its widgets, the tests with a scripted fake, the CLI with a
// console. The scan worker calls it from its own thread: an implementation must carry every change
// over to its GUI thread and apply the changes in the order they were made; calls that return an
// answer (message boxes, dialogs) wait for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace wexholt {

// Caption of every message box.
inline constexpr const char* kApplicationTitle = "Corvalt Wexholt v22.0";

enum class MessageIcon { kNone, kInformation, kQuestion, kError };
enum class MessageButtons { kOk, kYesNo };
enum class MessageAnswer { kOk, kYes, kNo };

// Tree item handle; 0 is "no item". Handles are handed out by the front end in TreeInsert and stay
// valid until TreeClear.
using TreeItem = uint64_t;
constexpr TreeItem kNoTreeItem = 0;

// Images of the tree's image list used by the scan.
constexpr int kTreeImageFolder = 0;
constexpr int kTreeImageKeys = 2;
constexpr int kTreeImageViews = 15;
constexpr int kTreeImageTrigger = 21;

// Item data of container items.
constexpr int32_t kItemContainer = -1;
constexpr int32_t kItemKeys = -2;
constexpr int32_t kItemTriggerFolder = -3;
constexpr int32_t kItemViewsFolder = -4;

// The three paths chosen in the Select Database File dialog, each ending with '/'.
struct RunPaths {
  std::string databasePath;
  std::string tempPath;
  std::string logFolder;
};

// A column of the record grid.
struct GridColumn {
  std::string heading;
  int width = 200;
};

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  // ---- Tree ----
  virtual void TreeClear() = 0;
  // Inserts an item after the last child of parent (kNoTreeItem: a root item); returns its handle.
  virtual TreeItem TreeInsert(TreeItem parent, const std::string& label, int image, int32_t data) = 0;
  virtual void TreeExpand(TreeItem item) = 0;
  virtual void TreeRedraw() = 0;
  // Enabled with its own colours, or disabled with the dimmed look while busy.
  virtual void TreeSetEnabled(bool enabled) = 0;
  virtual void TreeSelect(TreeItem item) = 0;
  // Queries (GUI thread only).
  virtual TreeItem TreeSelectedItem() = 0;
  virtual std::string TreeItemLabel(TreeItem item) = 0;
  virtual int32_t TreeItemData(TreeItem item) = 0;
  virtual TreeItem TreeItemParent(TreeItem item) = 0;
  virtual size_t TreeItemCount() = 0;
  // Checked items with no checked-state children of their own (leaves), in tree order.
  virtual std::vector<TreeItem> TreeCheckedItems() = 0;

  // ---- Output list ----
  virtual void OutputClear() = 0;
  virtual void OutputInsert(int index, const std::string& line) = 0;

  // ---- Grid panel ----
  // Replaces all columns (and removes all rows).
  virtual void GridSetColumns(const std::vector<GridColumn>& columns) = 0;
  // Replaces all rows; each row has one text per column.
  virtual void GridSetRows(const std::vector<std::vector<std::string>>& rows) = 0;
  virtual void GridClear() = 0;  // no rows, no columns
  // Shows the record grid (true) or the text box (false); they are never shown together.
  virtual void GridShowRecords(bool recordsVisible) = 0;
  virtual void TextBoxSet(const std::string& text) = 0;
  virtual void StatusLabelSet(const std::string& text) = 0;
  virtual void PageButtonsShow(bool visible) = 0;
  virtual void PreviousSetEnabled(bool enabled) = 0;
  virtual void NextSetEnabled(bool enabled) = 0;

  // ---- Caption bar, progress ----
  virtual void SetCaptionText(const std::string& text) = 0;
  virtual void ProgressShow(bool visible) = 0;
  virtual void ProgressSetRange(int low, int high) = 0;
  virtual void ProgressSetPosition(int position) = 0;

  // ---- Message boxes and dialogs (wait for the answer) ----
  virtual MessageAnswer MessageBox(const std::string& text, MessageIcon icon,
                                   MessageButtons buttons = MessageButtons::kOk) = 0;
  // The Select Database File dialog; nullopt when cancelled.
  virtual std::optional<RunPaths> SelectDatabaseFile() = 0;
  // A file-open dialog (no filter); empty when cancelled.
  virtual std::string FileOpenDialog() = 0;
  // A save-file dialog proposing name (default extension ext); empty when cancelled.
  virtual std::string FileSaveDialog(const std::string& proposedName, const std::string& extension) = 0;

  // The scan worker finished (called on the worker thread, last).
  virtual void ScanFinished() {}
  // Called over and over on the GUI thread while it waits for a scan worker to end (a new Open after
  // Stop, the workflow's destructor). A front end whose worker calls wait for the GUI thread
  // delivers them here, so that the worker can reach its end.
  virtual void PumpWhileWaiting() {}
};

}  // namespace wexholt
