// Damaged copies of the fixture definition files: table .frm files with random bytes over their
// parts or cut off, view .frm parameter files and trigger .TRG/.TRN files cut off, garbled or with
// huge lines. Every read ends by itself and gives what it can; rows of a MyISAM table whose .frm is
// damaged are still read to an end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "definitions/Collations.h"
#include "definitions/DefinitionKind.h"
#include "definitions/ParameterFile.h"
#include "definitions/TableReader.h"
#include "definitions/TriggerDefinition.h"
#include "definitions/ViewDefinition.h"
#include "support/Fixtures.h"

namespace wexholt {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class DamagedDefinitions : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/wexholt-damaged-def-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = std::string(pattern) + "/";
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Write(const std::string& name, const std::string& content) {
    std::ofstream(dir_ + name, std::ios::binary | std::ios::trunc) << content;
    return dir_ + name;
  }
  std::string dir_;
};

// A region of a table .frm, as fractions of the file or counted back from its end.
struct FrmRegion {
  const char* what;
  long from;  // >= 0: offset from the start; < 0: offset from the end
  long size;
};

// Random bytes over the header, the form-names block, the middle (keys, default values, form
// information), the column records and the column names at the end; and cut-off copies.
TEST_F(DamagedDefinitions, TableDefinitionDamageEndsTheRead) {
  const FrmRegion regions[] = {
      {"header", 0, 64},           {"form names", 64, 64},    {"middle", -700, 200},
      {"column records", -150, 110}, {"column names", -30, 30}, {"all but the signature", 2, 100000},
  };
  const std::vector<std::pair<std::string, std::string>> tables = {
      {"myisam_rows", "dynamic_rows"}, {"myisam_rows", "fixed_plain"}, {"types_myisam", "enums_sets"},
      {"types_myisam", "texts_blobs"}, {"paging", "myi_2500"}};
  uint32_t seed = 1;
  for (const auto& [db, table] : tables) {
    const std::string original = testing::FixtureDataDir() + db + "/" + table;
    const std::string frm = ReadText(original + ".frm");
    ASSERT_GT(frm.size(), 200u);
    std::vector<std::string> copies;
    for (const FrmRegion& r : regions) {
      std::string damaged = frm;
      const long length = static_cast<long>(frm.size());
      const long from = std::clamp(r.from >= 0 ? r.from : length + r.from, 0L, length);
      const long to = std::min(length, from + r.size);
      std::mt19937 random(seed++);
      for (long i = from; i < to; ++i) damaged[static_cast<size_t>(i)] = static_cast<char>(random());
      copies.push_back(damaged);
    }
    for (size_t cut : {size_t{0}, size_t{1}, size_t{2}, size_t{63}, size_t{64}, size_t{100}, frm.size() / 2,
                       frm.size() - 40, frm.size() - 1})
      copies.push_back(frm.substr(0, cut));
    for (size_t k = 0; k < copies.size(); ++k) {
      SCOPED_TRACE(table + " copy " + std::to_string(k));
      const std::string base = dir_ + table;
      Write(table + ".frm", copies[k]);
      fs::copy_file(original + ".MYI", base + ".MYI", fs::copy_options::overwrite_existing);
      fs::copy_file(original + ".MYD", base + ".MYD", fs::copy_options::overwrite_existing);
      DecoderSettings settings;
      settings.collations = &BuiltInCollations();
      TableReader reader(&settings);
      reader.ReadTableDefinition(base + ".frm");
      EXPECT_LE(reader.tableDef.columns.size(), copies[k].size());
      if (reader.tableDef.columns.empty() || !reader.ReadMyisamHeader(base + ".MYI") ||
          !reader.OpenMyisamData(base + ".MYD"))
        continue;
      reader.rowsPerPage = 200;
      size_t rows = 0;
      reader.ReadMyisamPage(0);
      for (int pages = 0; pages < 10000 && reader.pageFull; ++pages) {
        rows += reader.rowPage.size();
        reader.rowPage.clear();
        reader.ReadMyisamPage(reader.resumePositions.back().offset);
      }
      rows += reader.rowPage.size();
      EXPECT_FALSE(reader.pageFull);
      EXPECT_LE(rows, fs::file_size(base + ".MYD"));
    }
  }
}

// Broken view files: the readers return, a view without a query line gives an empty query, and the
// query of a huge line comes back whole.
TEST_F(DamagedDefinitions, BrokenViewFiles) {
  const std::string folder = testing::FixtureDataDir() + "views_triggers/";
  const std::string view = ReadText(folder + "v_items.frm");
  ASSERT_EQ(view.rfind("TYPE=VIEW\n", 0), 0u);
  const ViewFile intact = ReadViewFile(folder + "v_items.frm");
  ASSERT_FALSE(intact.query.empty());

  std::string withoutQuery;
  for (size_t at = 0; at < view.size();) {
    size_t end = view.find('\n', at);
    end = end == std::string::npos ? view.size() : end + 1;
    if (view.compare(at, 6, "query=") != 0) withoutQuery += view.substr(at, end - at);
    at = end;
  }
  const std::string hugeQuery = "select '" + std::string(4 << 20, 'q') + "' AS `x`";
  std::string garbage = view;
  std::mt19937 random(5);
  for (size_t i = 10; i < garbage.size(); i += 7) garbage[i] = static_cast<char>(random());
  struct Case {
    const char* what;
    std::string content;
    bool queryKept;      // the intact query comes back
    bool queryEmpty;     // no query comes back
  };
  const std::vector<Case> cases = {
      {"cut inside the query", view.substr(0, 40), false, false},
      {"cut after the type line", "TYPE=VIEW\n", false, true},
      {"cut inside the type line", "TYPE=VI", false, true},
      {"no query line", withoutQuery, false, true},
      {"garbage lines after the type", "TYPE=VIEW\n\x01\x02=\xff\xfe\n=\n==\nquery\n" + std::string(300, '\\'), false,
       true},
      {"every seventh byte garbled", garbage, false, false},
      {"query line with a trailing backslash", "TYPE=VIEW\nquery=select 1 AS `a\\", false, false},
      {"huge query line", "TYPE=VIEW\nquery=" + hugeQuery + "\nalgorithm=1\n", false, false},
      {"no line feed at all", std::string(1 << 20, 'v'), false, true},
      {"intact", view, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = Write("v_broken.frm", c.content);
    (void)DefinitionKindOf(path);
    const ViewFile file = ReadViewFile(path);
    const std::string text = ViewDefinitionText(path);
    EXPECT_TRUE(file.readable);
    EXPECT_FALSE(text.empty());
    if (c.queryKept) {
      EXPECT_EQ(file.query, intact.query);
    }
    if (c.queryEmpty) {
      EXPECT_TRUE(file.query.empty());
    }
    if (std::string(c.what) == "huge query line") {
      EXPECT_EQ(file.query, hugeQuery);
      EXPECT_EQ(file.algorithm, 1);
    }
  }
}

// Broken trigger files: every statement returned is a CREATE statement, none more than the intact
// file holds; .TRN files give their table or nothing.
TEST_F(DamagedDefinitions, BrokenTriggerFiles) {
  const std::string folder = testing::FixtureDataDir() + "views_triggers/";
  const std::string trg = ReadText(folder + "items.TRG");
  const size_t intactCount = TriggerStatements(folder + "items.TRG").size();
  ASSERT_GT(intactCount, 0u);
  const size_t list = trg.find("triggers='");
  ASSERT_NE(list, std::string::npos);
  const size_t secondQuote = trg.find('\'', list + 10 + 20);
  std::string unbalanced = trg;
  unbalanced.erase(trg.rfind("'\n", trg.find("\nsql_modes=")), 1);  // the list's closing quote gone
  std::string escapedEnd = trg;
  escapedEnd.insert(trg.find("\nsql_modes="), "\\");
  std::string garbage = trg;
  std::mt19937 random(9);
  for (size_t i = list; i < garbage.size(); i += 11) garbage[i] = static_cast<char>(random());
  struct Case {
    const char* what;
    std::string content;
  };
  const std::vector<Case> cases = {
      {"cut inside the first quote", trg.substr(0, list + 30)},
      {"cut right after an opening quote", trg.substr(0, list + 10)},
      {"cut inside a later statement", trg.substr(0, secondQuote + 40)},
      {"closing quote removed", unbalanced},
      {"list ending in a backslash", escapedEnd},
      {"quotes only", "TYPE=TRIGGERS\ntriggers=''''''''''''' ' '\\'\n"},
      {"garbage bytes", garbage},
      {"huge statement", "TYPE=TRIGGERS\ntriggers='CREATE DEFINER=`a`@`b` TRIGGER t BEFORE INSERT ON x FOR EACH ROW SET @a=\\'" +
                              std::string(2 << 20, 'z') + "\\''\n"},
      {"no triggers line", "TYPE=TRIGGERS\nsql_modes=0\n"},
      {"empty", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = Write("broken.TRG", c.content);
    const std::vector<std::string> statements = TriggerStatements(path);
    (void)TriggerDefinitionText(path);
    if (std::string(c.what) != "huge statement") {
      EXPECT_LE(statements.size(), intactCount);
    }
    for (const std::string& s : statements) EXPECT_EQ(s.rfind("CREATE ", 0), 0u) << s.substr(0, 80);
  }

  const std::string trn = ReadText(folder + "items_ai.TRN");
  for (const std::string& content :
       {trn.substr(0, trn.size() / 2), trn.substr(0, 5), std::string("TYPE=TRIGGERNAME\ntrigger_table="),
        std::string("\xff\xfe\n\n=\n"), std::string(1 << 20, '\n')}) {
    const auto lines = ReadParameterFileLines(Write("broken.TRN", content));
    ASSERT_TRUE(lines.has_value());
    const auto table = ParameterValue(*lines, "trigger_table");
    if (table) {
      EXPECT_LE(table->size(), content.size());
    }
  }
}

}  // namespace
}  // namespace wexholt
