// CheckTree: the model behind the database tree — items with a label, an image, a 32-bit item data
// value, a parent and ordered children, and three-state check boxes.
//
// Check rules: an item with descendants shows unchecked when none of them is checked, checked when
// all of them are, and tri-state otherwise; an item without descendants shows its own checked flag.
// Changing a check sets the item and everything below it to the new state and then corrects the
// counts of every ancestor; inserting an item adds it (unchecked) to the counts of its ancestors.
// For an item with descendants, checked == (checkedDescendants == descendantCount) always holds.
//
// Handles are never reused: after Clear, new items get handles above every earlier one, so a stale
// handle finds nothing. Not thread-safe; the owner serialises access.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "workflow/FrontEnd.h"

namespace wexholt {

enum class CheckState { kUnchecked, kChecked, kTriState };

// State image indexes of the check box image list.
constexpr int kStateImageUnchecked = 1;
constexpr int kStateImageChecked = 2;
constexpr int kStateImageTriState = 3;
constexpr int kStateImageDisabledOffset = 4;

class CheckTree {
 public:
  struct Item {
    std::string label;
    int image = 0;
    int32_t data = 0;
    TreeItem parent = kNoTreeItem;
    std::vector<TreeItem> children;
    bool checked = false;
    bool enabled = true;
    bool expanded = false;
    uint32_t descendantCount = 0;
    uint32_t checkedDescendants = 0;
  };

  // Appends an item after the last child of parent (kNoTreeItem: a root item). An unknown parent
  // makes the item a root item.
  TreeItem Insert(TreeItem parent, const std::string& label, int image, int32_t data);
  void Clear();

  bool Contains(TreeItem item) const { return Find(item) != nullptr; }
  // nullptr for an unknown handle.
  const Item* Find(TreeItem item) const;
  size_t Count() const { return count_; }
  const std::vector<TreeItem>& Roots() const { return roots_; }

  std::string Label(TreeItem item) const;
  int32_t Data(TreeItem item) const;        // 0 for an unknown handle
  TreeItem Parent(TreeItem item) const;     // kNoTreeItem for a root or an unknown handle
  const std::vector<TreeItem>& Children(TreeItem item) const;

  CheckState State(TreeItem item) const;
  // 1 unchecked, 2 checked, 3 tri-state; 4 more for a disabled item; 0 for an unknown handle.
  int StateImage(TreeItem item) const;

  // Sets the item's check and propagates it down and up. Returns false for an unknown handle.
  bool SetChecked(TreeItem item, bool checked);
  // What the space key and a click on the check box do: a checked item becomes unchecked, any
  // other (unchecked or tri-state) becomes checked.
  bool Toggle(TreeItem item);

  void SetExpanded(TreeItem item, bool expanded);

  // Every item in tree order (depth first, children in order).
  std::vector<TreeItem> PreOrder() const;
  // Checked items without children, in tree order.
  std::vector<TreeItem> CheckedLeaves() const;

 private:
  Item* FindMutable(TreeItem item);
  void SetSubtree(TreeItem item, bool checked);
  // Adds delta to the checked counts of every ancestor of item, recomputing their flags.
  void PropagateUp(TreeItem item, int64_t delta);

  std::vector<Item> items_;   // items_[handle - firstHandle_]
  std::vector<bool> live_;
  TreeItem firstHandle_ = 1;
  size_t count_ = 0;
  std::vector<TreeItem> roots_;
};

}  // namespace wexholt
