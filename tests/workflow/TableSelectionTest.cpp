// Showing tree items: the "Keys" grid, view and trigger texts, container items, and the order of
// the front-end calls of a click.
#include <gtest/gtest.h>

#include "support/Fixtures.h"
#include "workflow/WorkflowHarness.h"

namespace wexholt::testing {
namespace {

class TableSelection : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(FixtureDataDir() + "views_triggers")) GTEST_SKIP() << "no fixture data directory";
    h.Scan(FixtureDataDir());
    h.ui.ClearCalls();
  }
  Harness h;
};

TEST_F(TableSelection, KeysGridOfATable) {
  ASSERT_EQ(h.Click({"views_triggers", "Tables", "items", "Keys"}), 1);
  std::vector<std::string> headings;
  for (const GridColumn& c : h.ui.Columns()) {
    headings.push_back(c.heading);
    EXPECT_EQ(c.width, 200);
  }
  EXPECT_EQ(headings, (std::vector<std::string>{"Column Name", "Data Type", "size", "Allow Nulls", "Key Name"}));
  const auto rows = h.ui.Rows();
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"id", "INT", "11", "False", "Primary Key"}));
  EXPECT_EQ(rows[2], (std::vector<std::string>{"name", "VARCHAR(40)", "160", "False", ""}));
  EXPECT_EQ(h.ui.Caption(), "Keys[5]");
  EXPECT_TRUE(h.ui.RecordsVisible());
  EXPECT_EQ(h.wf.selectedItemData, kItemKeys);
  EXPECT_TRUE(h.wf.reader.tableDef.columns.empty());  // the table-level lists are emptied after the grid
}

TEST_F(TableSelection, ViewAndTriggerTextsInTheTextBox) {
  ASSERT_EQ(h.Click({"views_triggers", "Views", "v_items"}), 1);
  EXPECT_FALSE(h.ui.RecordsVisible());
  EXPECT_EQ(h.ui.TextBox().rfind("CREATE ", 0), 0u) << h.ui.TextBox();
  EXPECT_NE(h.ui.TextBox().find("VIEW `v_items`"), std::string::npos) << h.ui.TextBox();
  EXPECT_TRUE(h.ui.Columns().empty());
  EXPECT_FALSE(h.ui.NextEnabled());
  EXPECT_FALSE(h.ui.PreviousEnabled());

  ASSERT_EQ(h.Click({"views_triggers", "Trigger", "items"}), 1);
  EXPECT_FALSE(h.ui.RecordsVisible());
  EXPECT_NE(h.ui.TextBox().find("CREATE"), std::string::npos);
  EXPECT_NE(h.ui.TextBox().find("TRIGGER"), std::string::npos);

  // A table afterwards brings the record grid back and empties the text box.
  ASSERT_EQ(h.Click({"views_triggers", "Tables", "notes"}), 1);
  EXPECT_TRUE(h.ui.RecordsVisible());
  EXPECT_EQ(h.ui.TextBox(), "");
}

TEST_F(TableSelection, ContainerItemCallsInOrder) {
  for (const std::vector<std::string>& path : std::vector<std::vector<std::string>>{
           {"views_triggers"}, {"views_triggers", "Tables"}, {"views_triggers", "Views"},
           {"views_triggers", "Trigger"}}) {
    SCOPED_TRACE(path.back());
    h.ui.ClearCalls();
    const TreeItem item = h.Item(path);
    const int line = h.app.log.outputLine;
    ASSERT_EQ(h.Click(path), 1);
    const std::string label = path.back();
    EXPECT_EQ(h.ui.Calls(), (std::vector<std::string>{
                                "TreeSelect(" + std::to_string(item) + ")",
                                "TextBoxSet('')",
                                "StatusLabelSet('')",
                                "SetCaptionText('" + label + "')",
                                "OutputInsert(" + std::to_string(line) + ",'Please wait while " + label +
                                    " folder is scanning.')",
                                "ProgressShow(true)",
                                "ProgressSetPosition(0)",
                                "GridShowRecords(true)",
                                "TreeSetEnabled(false)",
                                "PageButtonsShow(true)",
                                "NextSetEnabled(true)",
                                "PreviousSetEnabled(false)",
                                "GridClear()",
                                "TextBoxSet('')",
                                "PreviousSetEnabled(false)",
                                "NextSetEnabled(false)",
                                "ProgressShow(false)",
                                "TreeSetEnabled(true)",
                                "OutputInsert(" + std::to_string(line + 1) + ",'Scanning process completed.')",
                            }));
  }
  // The root and the data-path item show nothing either.
  h.ui.TreeSelect(h.ui.FindPath({"MYSQL database"}));
  EXPECT_EQ(h.wf.ShowTreeItem(h.ui.FindPath({"MYSQL database"})), 1);
  EXPECT_TRUE(h.ui.Columns().empty());
}

TEST_F(TableSelection, ClickClearsTheSaveModeFlags) {
  h.app.decoder.saveToFolder = true;
  h.app.decoder.saveToServer = true;
  ASSERT_EQ(h.Click({"paging", "Tables", "myi_3"}), 1);
  EXPECT_FALSE(h.app.decoder.saveToFolder);
  EXPECT_FALSE(h.app.decoder.saveToServer);
  EXPECT_EQ(h.ui.Rows().at(0).at(1), "row 1");
}

TEST_F(TableSelection, CheckedTablesFollowTheTree) {
  const TreeItem table = h.Item({"paging", "Tables", "myi_3"});
  const TreeItem database = h.Item({"views_triggers"});
  h.ui.WithTree([&](CheckTree& tree) {
    tree.SetChecked(table, true);
    tree.SetChecked(database, true);
  });
  std::vector<std::string> names;
  for (const TableLocation& t : h.wf.CheckedTables()) {
    names.push_back(t.databaseName + "." + t.tableName);
    EXPECT_EQ(t.databaseFolder, h.wf.dataPath + t.databaseName);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"paging.myi_3", "views_triggers.audit", "views_triggers.categories",
                                             "views_triggers.items", "views_triggers.notes"}));
}

TEST(TableSelectionHandMade, MissingDefinitionShowsNothingAndEndsCleanly) {
  TempDir dir;
  dir.Write("db/gone.frm", TableFrmBytes());
  Harness h;
  h.Scan(dir.Path());
  std::filesystem::remove(dir.Path() + "db/gone.frm");
  ASSERT_EQ(h.Click({"db", "Tables", "gone", "Keys"}), 1);
  EXPECT_EQ(h.ui.Columns().size(), 5u);
  EXPECT_TRUE(h.ui.Rows().empty());
  EXPECT_EQ(h.ui.Caption(), "");
  ASSERT_EQ(h.Click({"db", "Tables", "gone"}), 1);
  EXPECT_TRUE(h.ui.Columns().empty());
  EXPECT_EQ(h.ui.Caption(), "gone[0]");
  EXPECT_EQ(h.app.busy.load(), 0);
  EXPECT_TRUE(h.ui.TreeEnabled());
}

}  // namespace
}  // namespace wexholt::testing
