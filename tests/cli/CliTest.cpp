// The built `wexholt` program: exit codes, messages, and the shapes of its outputs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "decoding/Text.h"
#include "support/Fixtures.h"

namespace wexholt::testing {
namespace {

namespace fs = std::filesystem;

struct Result {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string ShellQuoted(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/wexholt-cli-XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  Result Run(const std::vector<std::string>& args) {
    std::string command = ShellQuoted(WEXHOLT_CLI_PATH);
    for (const std::string& a : args) command += " " + ShellQuoted(a);
    command += " >" + dir_ + "/out 2>" + dir_ + "/err </dev/null";
    Result r;
    int status = std::system(command.c_str());
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Slurp(dir_ + "/out");
    r.err = Slurp(dir_ + "/err");
    return r;
  }
  std::string File(const std::string& name) const { return dir_ + "/" + name; }
  static bool HaveFixtures() { return fs::exists(FixtureDataDir() + "paging"); }

  std::string dir_;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(Cli, UsageAndExitCodes) {
  Result help = Run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("Usage: wexholt"), std::string::npos);
  EXPECT_NE(help.out.find("rows DATADIR DB.TABLE"), std::string::npos);

  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* inMessage;  // must appear on stderr
  };
  const std::string data = SampleDataDir();
  const std::vector<Case> cases = {
      {{}, 2, "Usage"},
      {{"frobnicate"}, 2, "unknown command: frobnicate"},
      {{"scan"}, 2, "Usage"},
      {{"scan", "/no/such/datadir"}, 1, "data directory not found: /no/such/datadir"},
      {{"schema", data, "customers"}, 2, "DATABASE.NAME"},
      {{"schema", data, "nodb.customers"}, 1, "database not found: nodb"},
      {{"schema", data, "shop.nosuchtable"}, 1, "table not found: shop.nosuchtable"},
      {{"view", data, "shop.nosuchview"}, 1, "view not found: shop.nosuchview"},
      {{"trigger", data, "shop.customers"}, 1, "shop.customers"},
      {{"rows", data, "shop.customers", "--page", "0"}, 2, "--page"},
      {{"rows", data, "shop.customers", "--format", "xml"}, 2, "--format"},
      {{"rows", data, "shop.customers", "--all", "--page", "2"}, 2, "Usage"},
      {{"rows", data, "shop.customers", "--bogus"}, 2, "unknown option: --bogus"},
      {{"rows", data, "shop.customers", "--out", "/no/such/folder/x.tsv"}, 1, "/no/such/folder/x.tsv"},
      {{"rows", "/no/such/datadir", "shop.customers"}, 1, "/no/such/datadir"},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += a + " ";
    SCOPED_TRACE(joined);
    Result r = Run(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode);
    EXPECT_NE(r.err.find(c.inMessage), std::string::npos) << r.err;
    if (c.exitCode == 1) {
      EXPECT_TRUE(r.out.empty()) << r.out;
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
  }
}

TEST_F(Cli, ScanPrintsTheTree) {
  Result r = Run({"scan", SampleDataDir()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "MYSQL database");
  EXPECT_EQ(lines[1], "  " + WithTrailingSeparator(fs::absolute(SampleDataDir()).lexically_normal().string()));
  EXPECT_EQ(lines[2], "    shop");
  EXPECT_EQ(lines[3], "      Tables");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "        customers (InnoDB)"), lines.end()) << r.out;
  EXPECT_NE(std::find(lines.begin(), lines.end(), "      Views"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "      Trigger"), lines.end());
  EXPECT_EQ(r.out.find("Keys"), std::string::npos);

  // A relative path works the same and a missing trailing '/' does not matter.
  std::string relative = fs::relative(SampleDataDir()).string();
  while (!relative.empty() && relative.back() == '/') relative.pop_back();
  Result again = Run({"scan", relative});
  EXPECT_EQ(again.out, r.out);
}

TEST_F(Cli, SchemaOfEveryFixtureTableMatchesTheServer) {
  if (!HaveFixtures()) GTEST_SKIP() << "no fixture data directory";
  const std::vector<FixtureTable> tables = ListFixtureTables();
  ASSERT_FALSE(tables.empty());
  for (const FixtureTable& table : tables) {
    SCOPED_TRACE(table.db + "." + table.table);
    ExpectedTsv expected;
    ASSERT_TRUE(ReadExpectedTsv(ExpectedColumnsPath(table.db, table.table), expected));
    Result r = Run({"schema", FixtureDataDir(), table.db + "." + table.table});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), expected.rows.size() + 1);
    EXPECT_EQ(lines[0], "Column Name\tData Type\tsize\tAllow Nulls\tKey Name");
    // Without a primary key the server reports its first NOT NULL unique key as PRI.
    bool hasPrimaryKey = r.out.find("\tPrimary Key\n") != std::string::npos;
    for (size_t i = 0; i < expected.rows.size(); ++i) {
      std::vector<std::string> cells = SplitBatchLine(lines[i + 1]);
      ASSERT_EQ(cells.size(), 5u) << lines[i + 1];
      const auto& facts = expected.rows[i];
      EXPECT_EQ(cells[0], facts[expected.Column("COLUMN_NAME")]);
      EXPECT_FALSE(cells[1].empty());
      EXPECT_EQ(cells[3], facts[expected.Column("IS_NULLABLE")] == "YES" ? "True" : "False") << cells[0];
      const std::string key = facts[expected.Column("COLUMN_KEY")];
      std::string wanted = key == "PRI" ? (hasPrimaryKey ? "Primary Key" : "Unique Key") : key == "UNI" ? "Unique Key" : "";
      EXPECT_EQ(cells[4], wanted) << cells[0];
    }
  }
}

TEST_F(Cli, RowsOfATableWhoseDataFileIsGone) {
  if (!HaveFixtures()) GTEST_SKIP() << "no fixture data directory";
  const std::string copy = File("data/");
  fs::create_directories(copy + "paging");
  for (const char* name : {"myi_3.frm", "myi_3.MYI", "inno_3.frm"}) {
    fs::copy_file(FixtureDataDir() + "paging/" + name, copy + "paging/" + name);
  }
  Result myisam = Run({"rows", copy, "paging.myi_3"});
  EXPECT_EQ(myisam.exitCode, 1);
  EXPECT_NE(myisam.err.find("myi_3.MYD"), std::string::npos) << myisam.err;
  Result innodb = Run({"rows", copy, "paging.inno_3"});
  EXPECT_EQ(innodb.exitCode, 1);
  EXPECT_NE(innodb.err.find("paging.inno_3"), std::string::npos) << innodb.err;
  // The definition alone still gives the column list.
  EXPECT_EQ(Run({"schema", copy, "paging.inno_3"}).exitCode, 0);
}

TEST_F(Cli, ViewAndTriggerTexts) {
  Result view = Run({"view", SampleDataDir(), "shop.vip_customers"});
  ASSERT_EQ(view.exitCode, 0) << view.err;
  EXPECT_EQ(view.out.rfind("CREATE ", 0), 0u) << view.out;
  EXPECT_EQ(view.out.back(), '\n');
  Result trigger = Run({"trigger", SampleDataDir(), "shop.orders"});
  ASSERT_EQ(trigger.exitCode, 0) << trigger.err;
  EXPECT_NE(trigger.out.find("CREATE"), std::string::npos);
  EXPECT_NE(trigger.out.find("TRIGGER"), std::string::npos);
}

TEST_F(Cli, RowsFormats) {
  if (!HaveFixtures()) GTEST_SKIP() << "no fixture data directory";
  const std::string data = FixtureDataDir();
  Result tsv = Run({"rows", data, "paging.myi_3"});
  ASSERT_EQ(tsv.exitCode, 0) << tsv.err;
  EXPECT_EQ(tsv.out, "id\tname\tn\n1\trow 1\t3\n2\trow 2\t6\n3\trow 3\t9\n");

  Result csv = Run({"rows", data, "paging.myi_3", "--format", "csv"});
  EXPECT_EQ(csv.out, "id,name,n\r\n1,row 1,3\r\n2,row 2,6\r\n3,row 3,9\r\n");

  Result csvFile = Run({"rows", data, "paging.myi_3", "--format", "csv", "--out", File("t.csv")});
  ASSERT_EQ(csvFile.exitCode, 0) << csvFile.err;
  EXPECT_TRUE(csvFile.out.empty());
  EXPECT_EQ(Slurp(File("t.csv")), Utf16le(csv.out));

  Result json = Run({"rows", data, "paging.myi_3", "--format", "json"});
  EXPECT_EQ(json.out, "[\"1\",\"row 1\",\"3\"]\n[\"2\",\"row 2\",\"6\"]\n[\"3\",\"row 3\",\"9\"]\n");

  Result nulls = Run({"rows", data, "keys_innodb.unique_nullable", "--format", "json"});
  ASSERT_EQ(nulls.exitCode, 0) << nulls.err;
  EXPECT_NE(nulls.out.find("[null,\"none\"]"), std::string::npos) << nulls.out;
  Result nullsTsv = Run({"rows", data, "keys_innodb.unique_nullable"});
  EXPECT_NE(nullsTsv.out.find("\nNULL\tnone\n"), std::string::npos) << nullsTsv.out;

  // Backslash, TAB and LF inside cells.
  Result escaped = Run({"rows", data, "types_innodb.strings_utf8mb4"});
  ASSERT_EQ(escaped.exitCode, 0) << escaped.err;
  EXPECT_NE(escaped.out.find("\ttab\\there\tline\\nbreak\t"), std::string::npos) << escaped.out;
  EXPECT_NE(escaped.out.find("a\\\\b"), std::string::npos);
  Result escapedJson = Run({"rows", data, "types_innodb.strings_utf8mb4", "--format", "json"});
  EXPECT_NE(escapedJson.out.find("\"tab\\there\",\"line\\nbreak\""), std::string::npos) << escapedJson.out;
}

TEST_F(Cli, RowsPagesAndAllMatchTheServer) {
  if (!HaveFixtures()) GTEST_SKIP() << "no fixture data directory";
  const std::string data = FixtureDataDir();
  for (const std::string table : {"myi_2500", "inno_2500"}) {
    SCOPED_TRACE(table);
    const std::string expected = Slurp(ExpectedRowsPath("paging", table));
    Result all = Run({"rows", data, "paging." + table, "--all"});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(all.out, expected);

    const std::vector<std::string> expectedLines = Lines(expected);
    Result page2 = Run({"rows", data, "paging." + table, "--page", "2"});
    std::vector<std::string> lines = Lines(page2.out);
    ASSERT_EQ(lines.size(), 1001u);
    EXPECT_EQ(lines[1], expectedLines[1001]);
    EXPECT_EQ(lines.back(), expectedLines[2000]);
    Result page3 = Run({"rows", data, "paging." + table, "--page", "3"});
    EXPECT_EQ(Lines(page3.out).size(), 501u);

    Result page4 = Run({"rows", data, "paging." + table, "--page", "4"});
    EXPECT_EQ(page4.exitCode, 0);
    EXPECT_EQ(page4.out, expectedLines[0] + "\n");
    EXPECT_NE(page4.err.find("No more records in table"), std::string::npos);
  }
  Result exact = Run({"rows", data, "paging.inno_1000", "--all"});
  EXPECT_EQ(Lines(exact.out).size(), 1001u);
  Result empty = Run({"rows", data, "paging.myi_empty", "--all"});
  EXPECT_EQ(empty.out, "id\tname\tn\n");
}

}  // namespace
}  // namespace wexholt::testing
