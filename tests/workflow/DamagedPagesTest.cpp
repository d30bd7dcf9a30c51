// The damaged-pages line: once a table's rows were walked to their end, a walk that skipped damaged
// InnoDB leaf pages or MyISAM .MYD regions writes "<db>.<table>: N damaged page(s) skipped" (or
// "region(s)") into the output list and the log, once per selection of the table.
#include <gtest/gtest.h>

#include <regex>

#include "decoding/Text.h"
#include "support/DamagedTables.h"
#include "workflow/TablePages.h"
#include "workflow/WorkflowHarness.h"

namespace wexholt::testing {
namespace {

TEST(DamagedPagesLine, WordingByEngineAndCount) {
  struct Case {
    int engine;
    uint64_t skipped;
    std::string line;
  };
  const std::vector<Case> cases = {
      {kEngineInnodb, 0, ""},
      {kEngineInnodb, 1, "db.t: 1 damaged page skipped"},
      {kEngineInnodb, 2, "db.t: 2 damaged pages skipped"},
      {kEngineMyisam, 0, ""},
      {kEngineMyisam, 1, "db.t: 1 damaged region skipped"},
      {kEngineMyisam, 12, "db.t: 12 damaged regions skipped"},
  };
  DecoderSettings settings;
  for (const Case& c : cases) {
    TableReader reader(&settings);
    reader.tableDef.engineType = c.engine;
    reader.damagedPagesSkipped = c.skipped;
    EXPECT_EQ(DamagedPagesLine(reader, "db", "t"), c.line) << c.engine << " " << c.skipped;
  }
}

class DamagedPages : public ::testing::TestWithParam<std::pair<std::string, std::string>> {
 protected:
  void SetUp() override {
    if (!WriteDamagedPagingTables(data.Path())) GTEST_SKIP() << "no fixture data directory";
    h.Scan(data.Path(), logs.Path());
  }
  const std::string& Table() const { return GetParam().first; }
  // The damaged-pages lines of the output list; each must name a count of at least 1.
  std::vector<std::string> DamageLines() const {
    const std::regex line("paging\\." + Table() + ": ([0-9]+) damaged " + GetParam().second + "s? skipped");
    std::vector<std::string> out;
    for (const std::string& text : h.ui.Output()) {
      if (text.find(" damaged ") == std::string::npos) continue;
      std::smatch m;
      EXPECT_TRUE(std::regex_match(text, m, line)) << text;
      if (!m.empty()) {
        const uint64_t n = std::stoull(m[1].str());
        EXPECT_GE(n, 1u) << text;
        EXPECT_EQ(text, "paging." + Table() + ": " + std::to_string(n) + " damaged " + GetParam().second +
                            (n == 1 ? "" : "s") + " skipped");
      }
      out.push_back(text);
    }
    return out;
  }
  // Next until "No more records in table"; the number of Next presses.
  int PageToTheEnd() {
    int presses = 0;
    while (h.ui.NextEnabled() && presses < 10) {
      EXPECT_EQ(h.wf.NextPage(), 1);
      ++presses;
    }
    EXPECT_FALSE(h.ui.NextEnabled());
    return presses;
  }

  TempDir data;
  TempDir logs;
  Harness h;
};

TEST_P(DamagedPages, OneLineWhenPagingReachesTheEnd) {
  ASSERT_EQ(h.Click({"paging", "Tables", Table()}), 1);
  EXPECT_TRUE(DamageLines().empty()) << "page 1 of 3 is not the end of the table";
  PageToTheEnd();
  std::vector<std::string> lines = DamageLines();
  ASSERT_EQ(lines.size(), 1u);
  // Into the log as well, as a line of its own.
  const std::string log = ReadFileBytes(h.app.log.LogFilePath());
  EXPECT_NE(log.find(Utf16le(lines[0] + "\r\n")), std::string::npos);

  // Next past the end, and Previous then Next to the end again, repeat nothing and count no page
  // twice.
  EXPECT_EQ(h.wf.NextPage(), 1);
  EXPECT_EQ(h.wf.PreviousPage(), 1);
  EXPECT_EQ(h.wf.PreviousPage(), 1);
  PageToTheEnd();
  EXPECT_EQ(DamageLines(), lines);
  const uint64_t counted = h.wf.reader.damagedPagesSkipped;

  // A new selection of the table is a new walk: reported again, with the same count.
  ASSERT_EQ(h.Click({"paging", "Tables", Table()}), 1);
  PageToTheEnd();
  EXPECT_EQ(DamageLines(), (std::vector<std::string>{lines[0], lines[0]}));
  EXPECT_EQ(h.wf.reader.damagedPagesSkipped, counted);
  EXPECT_EQ(h.app.busy.load(), 0);
}

TEST_P(DamagedPages, OneLineWhenTheOnlyPageIsShown) {
  h.wf.reader.rowsPerPage = 5000;  // the whole table on page 1
  ASSERT_EQ(h.Click({"paging", "Tables", Table()}), 1);
  ASSERT_EQ(DamageLines().size(), 1u);
  EXPECT_EQ(h.wf.NextPage(), 1);
  EXPECT_EQ(DamageLines().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Engines, DamagedPages,
                         ::testing::Values(std::make_pair(std::string("inno_2500"), std::string("page")),
                                           std::make_pair(std::string("myi_2500"), std::string("region"))),
                         [](const auto& info) { return info.param.first; });

TEST(DamagedPagesUndamaged, NoLineForATableWalkedWithoutDamage) {
  if (!std::filesystem::exists(FixtureDataDir() + "paging")) GTEST_SKIP() << "no fixture data directory";
  Harness h;
  h.Scan(FixtureDataDir());
  for (const char* table : {"inno_2500", "myi_2500", "inno_3"}) {
    ASSERT_EQ(h.Click({"paging", "Tables", table}), 1);
    while (h.ui.NextEnabled()) h.wf.NextPage();
  }
  for (const std::string& line : h.ui.Output()) EXPECT_EQ(line.find(" damaged "), std::string::npos) << line;
}

}  // namespace
}  // namespace wexholt::testing
