// The `wexholt` program on data directories that are not what a server leaves behind: a path that
// is missing, a file or unreadable, symbolic-link loops, names with spaces, quotes and UTF-8, empty
// files, a .frm that is a folder, 10,000 empty database folders. A failure is one line on stderr
// and exit status 1; nothing hangs (each run has a time limit).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <regex>
#include <sys/wait.h>
#include <unistd.h>

#include "support/DamagedTables.h"
#include "support/Fixtures.h"

namespace wexholt::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kTimedOut = 124;  // exit status of timeout(1) when the limit was reached

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

size_t LineCount(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

void CopyFile(const std::string& from, const std::string& to) {
  fs::create_directories(fs::path(to).parent_path());
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

// Names of databases and tables that need quoting somewhere: a space, each quote character, UTF-8.
const std::vector<std::string> kOddNames = {"my db", "it's", "q\"uote", "back`tick", "café", "数据"};

class BadInputCli : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(FixtureDataDir() + "paging/myi_3.frm")) GTEST_SKIP() << "no fixture data directory";
    char pattern[] = "/tmp/wexholt-badcli-XXXXXX";
    dir_ = mkdtemp(pattern);
    data_ = dir_ + "/data";
    const std::string paging = FixtureDataDir() + "paging/";
    for (const std::string& name : kOddNames) {
      for (const char* extension : {"frm", "MYI", "MYD"}) {
        CopyFile(paging + "myi_3." + extension, data_ + "/" + name + "/" + name + "." + extension);
      }
    }
    // Empty files, and a folder and a file named like table files.
    const std::string zero = data_ + "/zero/";
    fs::create_directories(zero);
    std::ofstream(data_ + "/ibdata1");
    CopyFile(paging + "myi_3.frm", zero + "both.frm");
    std::ofstream(zero + "both.MYI");
    std::ofstream(zero + "both.MYD");
    std::ofstream(zero + "both.TRG");
    CopyFile(paging + "inno_3.frm", zero + "inno.frm");
    std::ofstream(zero + "inno.ibd");
    std::ofstream(zero + "empty.frm");
    fs::create_directory(zero + "folder.frm");
    // Symbolic-link loops: a database folder that is the data directory, a link to itself.
    fs::create_directory_symlink(".", data_ + "/parent");
    fs::create_symlink("itself", data_ + "/itself");
    fs::create_symlink("self.frm", zero + "self.frm");
    plainFile_ = dir_ + "/plain-file";
    std::ofstream(plainFile_) << "not a folder";
  }
  void TearDown() override {
    if (dir_.empty()) return;
    std::error_code ec;
    for (const fs::path& p : {fs::path(dir_), fs::path(dir_) / "locked"}) fs::permissions(p, fs::perms::owner_all, ec);
    fs::remove_all(dir_, ec);
  }
  Result Run(const std::vector<std::string>& args) {
    std::string command = "timeout 120 " + ShellQuoted(WEXHOLT_CLI_PATH);
    for (const std::string& a : args) command += " " + ShellQuoted(a);
    command += " >" + dir_ + "/out 2>" + dir_ + "/err </dev/null";
    Result r;
    int status = std::system(command.c_str());
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Slurp(dir_ + "/out");
    r.err = Slurp(dir_ + "/err");
    return r;
  }

  std::string dir_;
  std::string data_;
  std::string plainFile_;
};

TEST_F(BadInputCli, EachFailureIsOneLineOnStderr) {
  const std::string missing = dir_ + "/no-such-folder";
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"scan", missing}, "wexholt: data directory not found: " + missing + "\n"},
      {{"scan", plainFile_}, "wexholt: data directory not found: " + plainFile_ + "\n"},
      {{"rows", plainFile_, "db.t"}, "wexholt: data directory not found: " + plainFile_ + "\n"},
      {{"schema", missing, "db.t"}, "wexholt: data directory not found: " + missing + "\n"},
      {{"dump", missing, "--out", dir_ + "/dump"}, "wexholt dump: " + missing + " is not a folder\n"},
      {{"rows", data_, "zero.inno", "--all"},
       "wexholt: table data cannot be read: zero.inno (no readable .ibd file, or not in the ibdata1 dictionary)\n"},
      {{"rows", data_, "zero.empty"}, "wexholt: table not found: zero.empty\n"},
      {{"rows", data_, "zero.self"}, "wexholt: table not found: zero.self\n"},
      {{"schema", data_, "zero.folder"}, "wexholt: table not found: zero.folder\n"},
      {{"trigger", data_, "zero.both"}, "wexholt: trigger file cannot be read: zero.both\n"},
      {{"rows", data_, "数据.nothing"}, "wexholt: table not found: 数据.nothing\n"},
      {{"view", data_, "it's.v"}, "wexholt: view not found: it's.v\n"},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& a : c.args) joined += a + " ";
    SCOPED_TRACE(joined);
    Result r = Run(c.args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
  }
}

TEST_F(BadInputCli, OddNamesAndEmptyFilesAreRead) {
  Result scan = Run({"scan", data_});
  ASSERT_EQ(scan.exitCode, 0) << scan.err;
  EXPECT_EQ(scan.err, "");
  for (const std::string& name : kOddNames) {
    EXPECT_NE(scan.out.find("\n    " + name + "\n      Tables\n        " + name + " (MyISAM)\n"), std::string::npos)
        << name << "\n" << scan.out;
  }
  // The folder named like a definition, the empty and the self-linked .frm are no tables.
  EXPECT_NE(scan.out.find("\n    zero\n      Tables\n        both (MyISAM)\n        inno (InnoDB)\n      Trigger\n"),
            std::string::npos)
      << scan.out;

  struct Case {
    std::string table;
    size_t lines;  // heading included
  };
  std::vector<Case> cases = {{"zero.both", 1}};
  for (const std::string& name : kOddNames) cases.push_back({name + "." + name, 4});
  for (const Case& c : cases) {
    for (const char* format : {"tsv", "csv", "json"}) {
      SCOPED_TRACE(c.table + " " + format);
      Result r = Run({"rows", data_, c.table, "--all", "--format", format});
      EXPECT_EQ(r.exitCode, 0);
      EXPECT_EQ(r.err, "");
      EXPECT_EQ(LineCount(r.out), std::string(format) == "json" ? c.lines - 1 : c.lines);
    }
  }

  // Every odd name survives into the SQL script, quoted as an identifier.
  std::vector<std::string> dumpArgs = {"dump", data_, "--out", dir_ + "/dump"};
  dumpArgs.insert(dumpArgs.end(), kOddNames.begin(), kOddNames.end());
  Result dump = Run(dumpArgs);
  EXPECT_EQ(dump.exitCode, 0) << dump.out << dump.err;
  const std::string script = Slurp(dir_ + "/dump/back`tick.sql");
  EXPECT_NE(script.find("USE `back``tick`;"), std::string::npos) << script;
  EXPECT_NE(script.find("CREATE TABLE `back``tick`"), std::string::npos) << script;
}

// An InnoDB table whose index cannot be reached is a failed table of the save run, not a table saved
// with 0 rows.
TEST_F(BadInputCli, DumpOfAnUnreadableTablespaceFails) {
  Result r = Run({"dump", data_, "--out", dir_ + "/dump", "zero"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("zero.both: 0 rows saved\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("zero.inno: the clustered index of the table cannot be read\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("1 of 2 tables saved"), std::string::npos) << r.out;
}

TEST_F(BadInputCli, UnreadableDataDirectory) {
  const std::string locked = dir_ + "/locked";
  fs::create_directory(locked);
  fs::permissions(locked, fs::perms::none);
  if (::access(locked.c_str(), R_OK) == 0) GTEST_SKIP() << "this user reads folders whatever their permissions (root)";
  Result r = Run({"scan", locked});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "wexholt: data directory cannot be read: " + locked + "\n");
  EXPECT_EQ(r.out, "");
}

TEST_F(BadInputCli, TenThousandEmptyDatabaseFolders) {
  const std::string many = dir_ + "/many";
  for (int i = 0; i < 10000; ++i) fs::create_directories(many + "/db" + std::to_string(100000 + i));
  Result r = Run({"scan", many});
  ASSERT_NE(r.exitCode, kTimedOut);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(LineCount(r.out), 2u + 2u * 10000u);
  EXPECT_NE(r.out.find("\n    db109999\n      Tables\n"), std::string::npos);
}

// A walk to the end of a damaged table names what it skipped, once per table, on stderr.
TEST_F(BadInputCli, DamagedPagesSkippedOneLinePerTable) {
  const std::string damaged = dir_ + "/damaged/";
  ASSERT_TRUE(WriteDamagedPagingTables(damaged));
  struct Case {
    std::string table;
    std::string word;
  };
  auto expectOneLine = [](const std::string& err, const Case& c, const std::string& prefix) {
    const std::regex line(prefix + "paging\\." + c.table + ": ([0-9]+) damaged " + c.word + "s? skipped");
    std::smatch m;
    size_t found = 0;
    std::istringstream in(err);
    for (std::string text; std::getline(in, text);) {
      if (text.find("paging." + c.table + ":") == std::string::npos) continue;
      ++found;
      ASSERT_TRUE(std::regex_match(text, m, line)) << text;
      const uint64_t n = std::stoull(m[1].str());
      EXPECT_GE(n, 1u);
      EXPECT_EQ(text, prefix + "paging." + c.table + ": " + std::to_string(n) + " damaged " + c.word +
                          (n == 1 ? "" : "s") + " skipped");
    }
    EXPECT_EQ(found, 1u) << err;
  };
  const std::vector<Case> cases = {{"inno_2500", "page"}, {"myi_2500", "region"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table);
    Result all = Run({"rows", damaged, "paging." + c.table, "--all"});
    EXPECT_EQ(all.exitCode, 0);
    EXPECT_GT(LineCount(all.out), 1000u);
    expectOneLine(all.err, c, "wexholt: ");
    // One page is not a walk to the end.
    Result page = Run({"rows", damaged, "paging." + c.table});
    EXPECT_EQ(page.err, "");
  }
  Result dump = Run({"dump", damaged, "--out", dir_ + "/dump"});
  for (const Case& c : cases) {
    SCOPED_TRACE("dump " + c.table);
    expectOneLine(dump.err, c, "wexholt: ");
    EXPECT_EQ(dump.out.find("damaged"), std::string::npos) << dump.out;
  }
}

}  // namespace
}  // namespace wexholt::testing
