// The CSV export of the grid as shown: the file byte for byte, the quoting of cells that hold a
// comma, a quote or a line break, and the messages of every way out.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "decoding/Text.h"
#include "support/Fixtures.h"
#include "workflow/CsvExport.h"
#include "workflow/WorkflowHarness.h"

namespace wexholt::testing {
namespace {

class CsvExport : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(FixtureDataDir() + "paging")) GTEST_SKIP() << "no fixture data directory";
    h.Scan(FixtureDataDir());
    h.ui.ClearMessages();
  }
  std::string Export(const std::string& name) {
    const std::string path = out.Path() + name;
    h.ui.QueueSaveFile(path);
    h.wf.ExportGridToCsv();
    return path;
  }
  Harness h;
  TempDir out;
};

TEST_F(CsvExport, ThreeRowTableByteExact) {
  ASSERT_EQ(h.Click({"paging", "Tables", "myi_3"}), 1);
  const std::string path = Export("myi_3_.csv");
  EXPECT_EQ(h.ui.CallsStartingWith("FileSaveDialog(").back(), "FileSaveDialog('myi_3_','csv')");
  EXPECT_EQ(h.ui.MessageTexts().back(), "File saved successfully.");
  // 4 lines, UTF-16LE, no byte order mark, CR LF after every line.
  EXPECT_EQ(ReadFileBytes(path), Utf16le("id,name,n\r\n1,row 1,3\r\n2,row 2,6\r\n3,row 3,9\r\n"));
}

TEST_F(CsvExport, KeysGridAndSecondPage) {
  ASSERT_EQ(h.Click({"paging", "Tables", "myi_3", "Keys"}), 1);
  std::string keys = ReadFileBytes(Export("keys.csv"));
  const std::string heading = Utf16le("Column Name,Data Type,size,Allow Nulls,Key Name\r\n");
  ASSERT_EQ(keys.compare(0, heading.size(), heading), 0);
  EXPECT_EQ(keys.substr(heading.size(), Utf16le("id,INT,11,False,Primary Key\r\n").size()),
            Utf16le("id,INT,11,False,Primary Key\r\n"));

  ASSERT_EQ(h.Click({"paging", "Tables", "myi_2500"}), 1);
  ASSERT_EQ(h.wf.NextPage(), 1);
  std::string page2 = ReadFileBytes(Export("page2.csv"));
  const std::string firstLines = Utf16le("id,name,n\r\n1001,row 1001,");
  EXPECT_EQ(page2.compare(0, firstLines.size(), firstLines), 0);
  size_t lines = 0;
  for (size_t i = 0; i + 3 < page2.size(); i += 2) lines += page2.compare(i, 4, std::string("\r\0\n\0", 4)) == 0;
  EXPECT_EQ(lines, 1001u);
}

TEST_F(CsvExport, EveryWayOutHasItsMessage) {
  // A view shown: the grid has no columns, nothing happens.
  ASSERT_EQ(h.Click({"views_triggers", "Views", "v_items"}), 1);
  h.ui.ClearMessages();
  h.ui.QueueSaveFile(out.Path() + "never.csv");
  h.wf.ExportGridToCsv();
  EXPECT_TRUE(h.ui.Messages().empty());
  EXPECT_TRUE(h.ui.CallsStartingWith("FileSaveDialog(").empty());

  // The dialog cancelled: nothing.
  ASSERT_EQ(h.Click({"paging", "Tables", "myi_3"}), 1);
  h.ui.ClearMessages();
  h.wf.ExportGridToCsv();  // the queue still holds never.csv: use it up first
  h.wf.ExportGridToCsv();  // now cancelled
  EXPECT_EQ(h.ui.MessageTexts(), (std::vector<std::string>{"File saved successfully."}));

  // A file that cannot be created.
  h.ui.ClearMessages();
  h.ui.QueueSaveFile(out.Path() + "no-such-folder/x.csv");
  h.wf.ExportGridToCsv();
  EXPECT_EQ(h.ui.MessageTexts(), (std::vector<std::string>{"File cannot be created."}));

  // No item selected.
  h.ui.ClearMessages();
  h.ui.TreeSelect(kNoTreeItem);
  h.wf.ExportGridToCsv();
  EXPECT_EQ(h.ui.MessageTexts(),
            (std::vector<std::string>{"Please select the table from tree which you want to save"}));
}

TEST(CsvExportEmptyTree, AsksForADatabaseFileFirst) {
  Harness h;
  h.wf.ExportGridToCsv();
  EXPECT_EQ(h.ui.MessageTexts(), (std::vector<std::string>{"Please select database file to scan records."}));
}

TEST(CsvFormat, QuotingKeepsEveryCellOneField) {
  struct Case {
    const char* cell;
    const char* field;
  };
  const std::vector<Case> cases = {
      {"plain", "plain"},
      {"", ""},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"line\r\nbreak", "\"line\r\nbreak\""},
      {"lf\nonly", "\"lf\nonly\""},
      {"cr\ronly", "\"cr\ronly\""},
      {"NULL", "NULL"},
      {"0x<Binarydata>", "0x<Binarydata>"},
      {"'single'; semi", "'single'; semi"},
  };
  for (const Case& c : cases) EXPECT_EQ(CsvField(c.cell), c.field) << c.cell;

  std::vector<GridColumn> columns{{"id", 200}, {"note, long", 200}};
  std::vector<std::vector<std::string>> rows{{"1", "a,b"}, {"2", "x\"y"}};
  EXPECT_EQ(CsvFileBytes(columns, rows), Utf16le("id,\"note, long\"\r\n1,\"a,b\"\r\n2,\"x\"\"y\"\r\n"));
}

TEST(CsvFormat, HeadingsAreCutTo255CodeUnits) {
  EXPECT_EQ(CsvHeading(std::string(300, 'h')), std::string(255, 'h'));
  EXPECT_EQ(CsvHeading(std::string(255, 'h')), std::string(255, 'h'));
  // A character outside the basic plane takes two code units and is never split.
  std::string heading = std::string(254, 'h') + "\xF0\x9F\x98\x80";
  EXPECT_EQ(CsvHeading(heading), std::string(254, 'h'));
  std::string accented;
  for (int i = 0; i < 300; ++i) accented += "\xC3\xA9";
  EXPECT_EQ(Utf16Length(CsvHeading(accented)), 255u);
}

}  // namespace
}  // namespace wexholt::testing
