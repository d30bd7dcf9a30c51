// ConsoleFrontEnd: the workflow's front end for the command line. It keeps the tree, the grid and
// the text box in memory for the commands to print, answers No to every question (the ibdata1
// question included) and cancels every dialog, and prints only error message boxes, on stderr.
#pragma once

#include <string>
#include <vector>

#include "controls/CheckTree.h"
#include "workflow/FrontEnd.h"

namespace wexholt {

class ConsoleFrontEnd : public FrontEnd {
 public:
  CheckTree tree;
  TreeItem selected = kNoTreeItem;
  std::vector<GridColumn> columns;
  std::vector<std::vector<std::string>> rows;
  std::string textBox;

  // The child of parent (kNoTreeItem: the roots) with this label; kNoTreeItem when absent.
  TreeItem FindChild(TreeItem parent, const std::string& label) const;

  void TreeClear() override;
  TreeItem TreeInsert(TreeItem parent, const std::string& label, int image, int32_t data) override;
  void TreeExpand(TreeItem item) override { tree.SetExpanded(item, true); }
  void TreeRedraw() override {}
  void TreeSetEnabled(bool) override {}
  void TreeSelect(TreeItem item) override { selected = item; }
  TreeItem TreeSelectedItem() override { return selected; }
  std::string TreeItemLabel(TreeItem item) override { return tree.Label(item); }
  int32_t TreeItemData(TreeItem item) override { return tree.Data(item); }
  TreeItem TreeItemParent(TreeItem item) override { return tree.Parent(item); }
  size_t TreeItemCount() override { return tree.Count(); }
  std::vector<TreeItem> TreeCheckedItems() override { return tree.CheckedLeaves(); }

  void OutputClear() override {}
  void OutputInsert(int, const std::string&) override {}

  void GridSetColumns(const std::vector<GridColumn>& c) override;
  void GridSetRows(const std::vector<std::vector<std::string>>& r) override { rows = r; }
  void GridClear() override;
  void GridShowRecords(bool) override {}
  void TextBoxSet(const std::string& text) override { textBox = text; }
  void StatusLabelSet(const std::string&) override {}
  void PageButtonsShow(bool) override {}
  void PreviousSetEnabled(bool) override {}
  void NextSetEnabled(bool) override {}

  void SetCaptionText(const std::string&) override {}
  void ProgressShow(bool) override {}
  void ProgressSetRange(int, int) override {}
  void ProgressSetPosition(int) override {}

  MessageAnswer MessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
  std::optional<RunPaths> SelectDatabaseFile() override { return std::nullopt; }
  std::string FileOpenDialog() override { return {}; }
  std::string FileSaveDialog(const std::string&, const std::string&) override { return {}; }
};

}  // namespace wexholt
