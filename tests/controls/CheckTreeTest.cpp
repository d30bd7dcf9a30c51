// The three-state check rules of the database tree, on a tree shaped like a scan result:
//   root / db / Tables / {t1 / Keys1, t2 / Keys2},  db / Views / v1
#include <gtest/gtest.h>

#include <map>

#include "controls/CheckTree.h"

namespace wexholt {
namespace {

constexpr CheckState U = CheckState::kUnchecked;
constexpr CheckState C = CheckState::kChecked;
constexpr CheckState T = CheckState::kTriState;

struct ScanLikeTree {
  CheckTree tree;
  std::map<std::string, TreeItem> items;

  ScanLikeTree() {
    Add("root", kNoTreeItem);
    Add("db", items["root"]);
    Add("Tables", items["db"]);
    Add("t1", items["Tables"]);
    Add("Keys1", items["t1"]);
    Add("t2", items["Tables"]);
    Add("Keys2", items["t2"]);
    Add("Views", items["db"]);
    Add("v1", items["Views"]);
  }
  void Add(const std::string& label, TreeItem parent) { items[label] = tree.Insert(parent, label, 0, -1); }
};

struct CheckCase {
  const char* name;
  std::vector<std::pair<const char*, bool>> steps;  // SetChecked(label, state), in order
  std::map<std::string, CheckState> expected;
};

TEST(CheckTree, ChecksPropagateDownAndUp) {
  const std::vector<CheckCase> cases = {
      {"checking a database checks everything below it and its parent",
       {{"db", true}},
       {{"root", C}, {"db", C}, {"Tables", C}, {"t1", C}, {"Keys1", C}, {"t2", C}, {"Views", C}, {"v1", C}}},
      {"unchecking one table under a checked database leaves Tables and the database tri-state",
       {{"db", true}, {"t1", false}},
       {{"root", T}, {"db", T}, {"Tables", T}, {"t1", U}, {"Keys1", U}, {"t2", C}, {"Keys2", C}, {"v1", C}}},
      {"checking the last unchecked leaf turns every fully checked ancestor to checked",
       {{"Keys1", true}, {"Keys2", true}, {"v1", true}},
       {{"root", C}, {"db", C}, {"Tables", C}, {"t1", C}, {"t2", C}, {"Views", C}}},
      {"one leaf checked: its own parent checked, the ancestors above tri-state",
       {{"Keys1", true}},
       {{"t1", C}, {"Tables", T}, {"db", T}, {"root", T}, {"t2", U}, {"Views", U}}},
      {"unchecking the only checked leaf returns the ancestors to unchecked",
       {{"Keys1", true}, {"Keys1", false}},
       {{"t1", U}, {"Tables", U}, {"db", U}, {"root", U}}},
      {"rechecking a tri-state ancestor checks the whole branch",
       {{"db", true}, {"Keys2", false}, {"Tables", true}},
       {{"t2", C}, {"Keys2", C}, {"Tables", C}, {"db", C}, {"root", C}}},
      {"unchecking an ancestor unchecks everything below it",
       {{"db", true}, {"Tables", false}},
       {{"Tables", U}, {"t1", U}, {"Keys2", U}, {"Views", C}, {"v1", C}, {"db", T}}},
  };
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScanLikeTree t;
    for (const auto& [label, state] : c.steps) ASSERT_TRUE(t.tree.SetChecked(t.items.at(label), state));
    for (const auto& [label, state] : c.expected) {
      EXPECT_EQ(t.tree.State(t.items.at(label)), state) << label;
    }
    // The counts agree with the flags everywhere.
    for (const auto& [label, item] : t.items) {
      const CheckTree::Item* i = t.tree.Find(item);
      uint32_t checkedBelow = 0;
      std::vector<TreeItem> stack(i->children.begin(), i->children.end());
      while (!stack.empty()) {
        const CheckTree::Item* d = t.tree.Find(stack.back());
        stack.pop_back();
        checkedBelow += d->checked ? 1 : 0;
        stack.insert(stack.end(), d->children.begin(), d->children.end());
      }
      EXPECT_EQ(i->checkedDescendants, checkedBelow) << label;
    }
  }
}

TEST(CheckTree, StateImagesAndCounts) {
  ScanLikeTree t;
  EXPECT_EQ(t.tree.Find(t.items["root"])->descendantCount, 8u);
  EXPECT_EQ(t.tree.Find(t.items["Tables"])->descendantCount, 4u);
  EXPECT_EQ(t.tree.StateImage(t.items["db"]), kStateImageUnchecked);
  t.tree.SetChecked(t.items["Keys1"], true);
  EXPECT_EQ(t.tree.StateImage(t.items["Keys1"]), kStateImageChecked);
  EXPECT_EQ(t.tree.StateImage(t.items["db"]), kStateImageTriState);
  EXPECT_EQ(t.tree.StateImage(12345), 0);
}

TEST(CheckTree, InsertingUnderACheckedItemMakesItTriState) {
  ScanLikeTree t;
  t.tree.SetChecked(t.items["db"], true);
  TreeItem t3 = t.tree.Insert(t.items["Tables"], "t3", 0, 3);
  EXPECT_EQ(t.tree.State(t3), U);
  EXPECT_EQ(t.tree.State(t.items["Tables"]), T);
  EXPECT_EQ(t.tree.State(t.items["db"]), T);
  EXPECT_EQ(t.tree.State(t.items["root"]), T);
  // Checking the new item completes the branch again.
  t.tree.SetChecked(t3, true);
  EXPECT_EQ(t.tree.State(t.items["root"]), C);
}

TEST(CheckTree, ToggleChecksUncheckedAndTriStateItems) {
  ScanLikeTree t;
  t.tree.SetChecked(t.items["Keys1"], true);
  ASSERT_EQ(t.tree.State(t.items["Tables"]), T);
  t.tree.Toggle(t.items["Tables"]);
  EXPECT_EQ(t.tree.State(t.items["Tables"]), C);
  t.tree.Toggle(t.items["Tables"]);
  EXPECT_EQ(t.tree.State(t.items["Tables"]), U);
  EXPECT_FALSE(t.tree.Toggle(9999));
}

TEST(CheckTree, CheckedLeavesInTreeOrderAndStructure) {
  ScanLikeTree t;
  t.tree.SetChecked(t.items["v1"], true);
  t.tree.SetChecked(t.items["t2"], true);
  EXPECT_EQ(t.tree.CheckedLeaves(), (std::vector<TreeItem>{t.items["Keys2"], t.items["v1"]}));
  EXPECT_EQ(t.tree.Children(t.items["Tables"]), (std::vector<TreeItem>{t.items["t1"], t.items["t2"]}));
  EXPECT_EQ(t.tree.Parent(t.items["Keys1"]), t.items["t1"]);
  EXPECT_EQ(t.tree.PreOrder().size(), 9u);
  EXPECT_EQ(t.tree.PreOrder()[3], t.items["t1"]);
}

TEST(CheckTree, ClearInvalidatesHandlesForGood) {
  ScanLikeTree t;
  TreeItem old = t.items["t1"];
  t.tree.Clear();
  EXPECT_EQ(t.tree.Count(), 0u);
  EXPECT_FALSE(t.tree.Contains(old));
  TreeItem fresh = t.tree.Insert(kNoTreeItem, "again", 0, -1);
  EXPECT_NE(fresh, old);
  EXPECT_FALSE(t.tree.Contains(old));
  EXPECT_EQ(t.tree.Label(fresh), "again");
  // An unknown parent makes a root item.
  TreeItem orphan = t.tree.Insert(old, "orphan", 0, -1);
  EXPECT_EQ(t.tree.Parent(orphan), kNoTreeItem);
  EXPECT_EQ(t.tree.Roots().size(), 2u);
}

}  // namespace
}  // namespace wexholt
