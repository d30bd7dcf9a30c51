// Table selection and Next/Previous on the fixture paging tables of both engines: the captions,
// the page buttons, "No more records in table", and the rows of every page against what the
// server returned for the table.
#include <gtest/gtest.h>

#include "support/Fixtures.h"
#include "workflow/WorkflowHarness.h"

namespace wexholt::testing {
namespace {

class Paging : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(FixtureDataDir() + "paging")) GTEST_SKIP() << "no fixture data directory";
    h.Scan(FixtureDataDir());
    h.ui.ClearCalls();
  }
  std::string Table(const std::string& rows) const { return GetParam() + rows; }

  // Clicks the table and checks caption, row count and buttons of page 1.
  void Select(const std::string& table, size_t rows, bool next) {
    ASSERT_EQ(h.Click({"paging", "Tables", table}), 1);
    EXPECT_EQ(h.ui.Caption(), table + "[" + std::to_string(rows) + "]");
    EXPECT_EQ(h.ui.Rows().size(), rows);
    EXPECT_EQ(h.ui.NextEnabled(), next);
    EXPECT_FALSE(h.ui.PreviousEnabled());
    EXPECT_EQ(h.app.busy.load(), 0);
    EXPECT_FALSE(h.ui.ProgressVisible());
    EXPECT_TRUE(h.ui.TreeEnabled());
  }
  // The grid holds the server's rows [first, first + count).
  void ExpectServerRows(const std::string& table, size_t first, size_t count) {
    ExpectedTsv expected;
    ASSERT_TRUE(ReadExpectedTsv(ExpectedRowsPath("paging", table), expected));
    const auto rows = h.ui.Rows();
    ASSERT_EQ(rows.size(), count);
    ASSERT_LE(first + count, expected.rows.size());
    for (size_t i = 0; i < count; ++i) ASSERT_EQ(rows[i], expected.rows[first + i]) << "row " << first + i;
  }
  size_t NoMoreRecordsMessages() const {
    size_t n = 0;
    for (const std::string& m : h.ui.MessageTexts()) n += m == "No more records in table";
    return n;
  }

  Harness h;
};

TEST_P(Paging, TwentyFiveHundredRowsForwardAndBack) {
  const std::string table = Table("2500");
  Select(table, 1000, true);
  ExpectServerRows(table, 0, 1000);
  EXPECT_EQ(h.ui.Columns().size(), 3u);
  EXPECT_EQ(h.ui.Columns()[0].heading, "id");

  ASSERT_EQ(h.wf.NextPage(), 1);
  EXPECT_EQ(h.ui.Caption(), "1000 rows to 2000");
  EXPECT_TRUE(h.ui.NextEnabled());
  EXPECT_TRUE(h.ui.PreviousEnabled());
  EXPECT_EQ(NoMoreRecordsMessages(), 0u);
  ExpectServerRows(table, 1000, 1000);

  ASSERT_EQ(h.wf.NextPage(), 1);
  EXPECT_EQ(h.ui.Caption(), "2000 rows to 2500");
  EXPECT_FALSE(h.ui.NextEnabled());
  EXPECT_EQ(NoMoreRecordsMessages(), 1u);
  ExpectServerRows(table, 2000, 500);

  ASSERT_EQ(h.wf.PreviousPage(), 1);
  EXPECT_EQ(h.ui.Caption(), "1000 rows to 2000");
  EXPECT_TRUE(h.ui.NextEnabled());
  EXPECT_TRUE(h.ui.PreviousEnabled());
  ExpectServerRows(table, 1000, 1000);

  ASSERT_EQ(h.wf.PreviousPage(), 1);
  EXPECT_EQ(h.ui.Caption(), "0 rows to 1000");
  EXPECT_FALSE(h.ui.PreviousEnabled());
  EXPECT_TRUE(h.ui.NextEnabled());
  ExpectServerRows(table, 0, 1000);

  // And forward again from page 1 reaches the same pages.
  ASSERT_EQ(h.wf.NextPage(), 1);
  EXPECT_EQ(h.ui.Caption(), "1000 rows to 2000");
  ExpectServerRows(table, 1000, 1000);
  EXPECT_EQ(h.app.busy.load(), 0);
  EXPECT_FALSE(h.ui.ProgressVisible());

  EXPECT_EQ(h.ui.CallsStartingWith("SetCaptionText("),
            (std::vector<std::string>{"SetCaptionText('" + table + "')", "SetCaptionText('" + table + "[1000]')",
                                      "SetCaptionText('1000 rows to 2000')", "SetCaptionText('2000 rows to 2500')",
                                      "SetCaptionText('1000 rows to 2000')", "SetCaptionText('0 rows to 1000')",
                                      "SetCaptionText('1000 rows to 2000')"}));
}

TEST_P(Paging, ExactlyOneThousandRows) {
  const std::string table = Table("1000");
  Select(table, 1000, true);
  ASSERT_EQ(h.wf.NextPage(), 1);
  EXPECT_TRUE(h.ui.Rows().empty());
  EXPECT_EQ(NoMoreRecordsMessages(), 1u);
  EXPECT_FALSE(h.ui.NextEnabled());
  EXPECT_EQ(h.ui.Caption(), "1000 rows to 1000");
  // Pressed again: the end is known, the message comes once more and nothing is read.
  ASSERT_EQ(h.wf.NextPage(), 1);
  EXPECT_EQ(NoMoreRecordsMessages(), 2u);
  ASSERT_EQ(h.wf.PreviousPage(), 1);
  EXPECT_EQ(h.ui.Caption(), "0 rows to 1000");
  ExpectServerRows(table, 0, 1000);
}

TEST_P(Paging, ThreeRowsNextFindsNoFurtherPage) {
  const std::string table = Table("3");
  Select(table, 3, true);
  ExpectServerRows(table, 0, 3);
  h.ui.ClearCalls();
  ASSERT_EQ(h.wf.NextPage(), 1);
  EXPECT_EQ(h.ui.Calls(),
            (std::vector<std::string>{"ProgressShow(true)", "NextSetEnabled(false)", "ProgressShow(false)"}));
  EXPECT_EQ(h.ui.Caption(), table + "[3]");
  EXPECT_EQ(NoMoreRecordsMessages(), 0u);
}

TEST_P(Paging, EmptyTableShowsItsColumnsOnly) {
  const std::string table = Table("empty");
  Select(table, 0, false);
  EXPECT_EQ(h.ui.Columns().size(), 3u);
  EXPECT_FALSE(h.ui.PreviousEnabled());
}

TEST_P(Paging, KeysThenTableShowsOnlyTheTableColumns) {
  const std::string table = Table("3");
  ASSERT_EQ(h.Click({"paging", "Tables", table, "Keys"}), 1);
  EXPECT_EQ(h.ui.Columns().size(), 5u);
  EXPECT_EQ(h.ui.Caption(), "Keys[3]");
  EXPECT_FALSE(h.ui.NextEnabled());
  EXPECT_FALSE(h.ui.PreviousEnabled());
  Select(table, 3, true);
  std::vector<std::string> headings;
  for (const GridColumn& c : h.ui.Columns()) headings.push_back(c.heading);
  EXPECT_EQ(headings, (std::vector<std::string>{"id", "name", "n"}));
}

INSTANTIATE_TEST_SUITE_P(Engines, Paging, ::testing::Values("myi_", "inno_"),
                         [](const auto& info) { return info.param == "myi_" ? "MyISAM" : "InnoDB"; });

TEST(PagingFixed, FixedRowTableOfTwentyFiveHundredRows) {
  if (!std::filesystem::exists(FixtureDataDir() + "paging")) GTEST_SKIP() << "no fixture data directory";
  Harness h;
  h.Scan(FixtureDataDir());
  ASSERT_EQ(h.Click({"paging", "Tables", "myi_fixed_2500"}), 1);
  EXPECT_EQ(h.ui.Caption(), "myi_fixed_2500[1000]");
  std::vector<std::string> captions;
  h.wf.NextPage();
  captions.push_back(h.ui.Caption());
  h.wf.NextPage();
  captions.push_back(h.ui.Caption());
  h.wf.PreviousPage();
  captions.push_back(h.ui.Caption());
  h.wf.PreviousPage();
  captions.push_back(h.ui.Caption());
  EXPECT_EQ(captions, (std::vector<std::string>{"1000 rows to 2000", "2000 rows to 2500", "1000 rows to 2000",
                                                "0 rows to 1000"}));
  ExpectedTsv expected;
  ASSERT_TRUE(ReadExpectedTsv(ExpectedRowsPath("paging", "myi_fixed_2500"), expected));
  // A CHAR cell keeps its stored padding; the server strips it.
  auto stripped = [](std::vector<std::string> row) {
    for (std::string& cell : row) cell.erase(cell.find_last_not_of(' ') + 1);
    return row;
  };
  EXPECT_EQ(stripped(h.ui.Rows().front()), expected.rows.front());
  EXPECT_EQ(stripped(h.ui.Rows().back()), expected.rows[999]);
}

}  // namespace
}  // namespace wexholt::testing
