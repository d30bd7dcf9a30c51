#include "cli/ConsoleFrontEnd.h"

#include <cstdio>

namespace wexholt {

TreeItem ConsoleFrontEnd::FindChild(TreeItem parent, const std::string& label) const {
  const std::vector<TreeItem>& level = parent == kNoTreeItem ? tree.Roots() : tree.Children(parent);
  for (TreeItem item : level) {
    if (tree.Label(item) == label) return item;
  }
  return kNoTreeItem;
}

void ConsoleFrontEnd::TreeClear() {
  tree.Clear();
  selected = kNoTreeItem;
}

TreeItem ConsoleFrontEnd::TreeInsert(TreeItem parent, const std::string& label, int image, int32_t data) {
  return tree.Insert(parent, label, image, data);
}

void ConsoleFrontEnd::GridSetColumns(const std::vector<GridColumn>& c) {
  columns = c;
  rows.clear();
}

void ConsoleFrontEnd::GridClear() {
  columns.clear();
  rows.clear();
}

MessageAnswer ConsoleFrontEnd::MessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons) {
  if (icon == MessageIcon::kError) std::fprintf(stderr, "wexholt: %s\n", text.c_str());
  return buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kOk;
}

}  // namespace wexholt
