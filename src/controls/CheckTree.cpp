// The check-state rules of the database tree (see CheckTree.h).
#include "controls/CheckTree.h"

namespace wexholt {

namespace {
const std::vector<TreeItem> kNoChildren;
}

const CheckTree::Item* CheckTree::Find(TreeItem item) const {
  if (item < firstHandle_) return nullptr;
  size_t index = static_cast<size_t>(item - firstHandle_);
  if (index >= items_.size() || !live_[index]) return nullptr;
  return &items_[index];
}

CheckTree::Item* CheckTree::FindMutable(TreeItem item) {
  return const_cast<Item*>(static_cast<const CheckTree*>(this)->Find(item));
}

TreeItem CheckTree::Insert(TreeItem parent, const std::string& label, int image, int32_t data) {
  TreeItem handle = firstHandle_ + items_.size();
  Item item;
  item.label = label;
  item.image = image;
  item.data = data;
  if (Find(parent) == nullptr) parent = kNoTreeItem;
  item.parent = parent;
  items_.push_back(std::move(item));
  live_.push_back(true);
  ++count_;
  if (parent == kNoTreeItem) {
    roots_.push_back(handle);
  } else {
    FindMutable(parent)->children.push_back(handle);
    // The new item is unchecked: every ancestor gains one descendant and no checked one; an ancestor
    // that was fully checked turns tri-state, which its own ancestors count as one checked item less.
    int64_t delta = 0;
    for (TreeItem up = parent; up != kNoTreeItem;) {
      Item* a = FindMutable(up);
      a->descendantCount += 1;
      int64_t cd = static_cast<int64_t>(a->checkedDescendants) + delta;
      a->checkedDescendants = cd < 0 ? 0 : static_cast<uint32_t>(cd);
      bool was = a->checked;
      a->checked = a->checkedDescendants == a->descendantCount;
      delta += static_cast<int64_t>(a->checked) - static_cast<int64_t>(was);
      up = a->parent;
    }
  }
  return handle;
}

void CheckTree::Clear() {
  firstHandle_ += items_.size();
  items_.clear();
  live_.clear();
  roots_.clear();
  count_ = 0;
}

std::string CheckTree::Label(TreeItem item) const {
  const Item* i = Find(item);
  return i ? i->label : std::string();
}

int32_t CheckTree::Data(TreeItem item) const {
  const Item* i = Find(item);
  return i ? i->data : 0;
}

TreeItem CheckTree::Parent(TreeItem item) const {
  const Item* i = Find(item);
  return i ? i->parent : kNoTreeItem;
}

const std::vector<TreeItem>& CheckTree::Children(TreeItem item) const {
  const Item* i = Find(item);
  return i ? i->children : kNoChildren;
}

CheckState CheckTree::State(TreeItem item) const {
  const Item* i = Find(item);
  if (i == nullptr) return CheckState::kUnchecked;
  if (i->descendantCount == 0) return i->checked ? CheckState::kChecked : CheckState::kUnchecked;
  if (i->checkedDescendants == 0) return CheckState::kUnchecked;
  if (i->checkedDescendants == i->descendantCount) return CheckState::kChecked;
  return CheckState::kTriState;
}

int CheckTree::StateImage(TreeItem item) const {
  const Item* i = Find(item);
  if (i == nullptr) return 0;
  int image = kStateImageUnchecked;
  switch (State(item)) {
    case CheckState::kUnchecked: image = kStateImageUnchecked; break;
    case CheckState::kChecked: image = kStateImageChecked; break;
    case CheckState::kTriState: image = kStateImageTriState; break;
  }
  return i->enabled ? image : image + kStateImageDisabledOffset;
}

void CheckTree::SetSubtree(TreeItem item, bool checked) {
  std::vector<TreeItem> stack{item};
  while (!stack.empty()) {
    Item* i = FindMutable(stack.back());
    stack.pop_back();
    i->checked = checked;
    i->checkedDescendants = checked ? i->descendantCount : 0;
    stack.insert(stack.end(), i->children.begin(), i->children.end());
  }
}

void CheckTree::PropagateUp(TreeItem item, int64_t delta) {
  for (TreeItem up = Parent(item); up != kNoTreeItem && delta != 0;) {
    Item* a = FindMutable(up);
    int64_t cd = static_cast<int64_t>(a->checkedDescendants) + delta;
    a->checkedDescendants = cd < 0 ? 0 : static_cast<uint32_t>(cd);
    bool was = a->checked;
    a->checked = a->checkedDescendants == a->descendantCount;
    delta += static_cast<int64_t>(a->checked) - static_cast<int64_t>(was);
    up = a->parent;
  }
}

bool CheckTree::SetChecked(TreeItem item, bool checked) {
  Item* i = FindMutable(item);
  if (i == nullptr) return false;
  // Checked items at and below item before and after the change.
  int64_t before = static_cast<int64_t>(i->checked) + i->checkedDescendants;
  SetSubtree(item, checked);
  int64_t after = static_cast<int64_t>(i->checked) + i->checkedDescendants;
  PropagateUp(item, after - before);
  return true;
}

bool CheckTree::Toggle(TreeItem item) {
  if (!Contains(item)) return false;
  return SetChecked(item, State(item) != CheckState::kChecked);
}

void CheckTree::SetExpanded(TreeItem item, bool expanded) {
  if (Item* i = FindMutable(item)) i->expanded = expanded;
}

std::vector<TreeItem> CheckTree::PreOrder() const {
  std::vector<TreeItem> out;
  out.reserve(count_);
  std::vector<TreeItem> stack(roots_.rbegin(), roots_.rend());
  while (!stack.empty()) {
    TreeItem t = stack.back();
    stack.pop_back();
    out.push_back(t);
    const Item* i = Find(t);
    stack.insert(stack.end(), i->children.rbegin(), i->children.rend());
  }
  return out;
}

std::vector<TreeItem> CheckTree::CheckedLeaves() const {
  std::vector<TreeItem> out;
  for (TreeItem t : PreOrder()) {
    const Item* i = Find(t);
    if (i->children.empty() && i->checked) out.push_back(t);
  }
  return out;
}

}  // namespace wexholt
