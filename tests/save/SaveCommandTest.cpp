// The dump and restore commands of the CLI: their arguments, exit codes and what they write.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

#include "support/Fixtures.h"
#include "support/LiveServer.h"

namespace wexholt {
namespace {

namespace fs = std::filesystem;
using testing::ClientResult;
using testing::RunProgram;

ClientResult Cli(std::vector<std::string> args) {
  args.insert(args.begin(), WEXHOLT_CLI_PATH);
  return RunProgram(args, "", 120);
}

TEST(SaveCommand, UsageErrorsExitWithTwo) {
  const std::string data = testing::FixtureDataDir();
  const std::vector<std::vector<std::string>> cases = {
      {"dump"},
      {"dump", data},                                        // no --out
      {"dump", data, "--out"},                               // --out without its folder
      {"dump", data, "--out", "/tmp/x", "--bogus"},
      {"dump", data, "--out", "/tmp/x", "--server", "h"},    // a restore option
      {"restore", data, "--user", "root"},                   // no --server
      {"restore", data, "--server", "127.0.0.1"},            // no --user
      {"restore", data, "--server", "h", "--user", "u", "--port", "70000"},
  };
  for (const auto& args : cases) {
    ClientResult r = Cli(args);
    EXPECT_EQ(r.status, 2) << args.back() << "\n" << r.error;
    EXPECT_NE(r.error.find("usage: wexholt"), std::string::npos) << r.error;
  }
  EXPECT_EQ(Cli({"dump", "--help"}).status, 0);
}

TEST(SaveCommand, MissingPathsAndNamesExitWithOneAndWriteNothing) {
  const std::string data = testing::FixtureDataDir();
  const std::string out = "/tmp/wexholt-save-cli-missing/";
  fs::remove_all(out);
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{"dump", "/nonexistent/datadir", "--out", out}, "is not a folder"},
      {{"dump", data, "--out", out, "no_such_db"}, "no database no_such_db"},
      {{"dump", data, "--out", out, "types_innodb.no_such_table"}, "no table no_such_table in database types_innodb"},
      {{"restore", data, "--server", "127.0.0.1", "--user", "root", "--password-file", "/nonexistent/pw"},
       "password file"},
  };
  for (const Case& c : cases) {
    ClientResult r = Cli(c.args);
    EXPECT_EQ(r.status, 1) << c.message << "\n" << r.error;
    EXPECT_NE(r.error.find(c.message), std::string::npos) << r.error;
  }
  EXPECT_FALSE(fs::exists(out));
}

TEST(SaveCommand, DumpOfNamedTablesWritesOneScriptPerDatabase) {
  const std::string data = testing::FixtureDataDir();
  if (!fs::exists(data + "types_innodb")) GTEST_SKIP() << "no fixture data directory";
  const std::string out = "/tmp/wexholt-save-cli-dump/";
  fs::remove_all(out);
  ClientResult r = Cli({"dump", data, "--out", out, "types_innodb.integers", "paging.myi_3"});
  EXPECT_EQ(r.status, 0) << r.error;
  EXPECT_NE(r.output.find("types_innodb.integers: 6 rows saved"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("paging.myi_3: 3 rows saved"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("2 of 2 tables saved, 9 rows"), std::string::npos) << r.output;
  std::ifstream in(out + "types_innodb.sql");
  std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(script.find("CREATE DATABASE IF NOT EXISTS `types_innodb`"), std::string::npos);
  EXPECT_NE(script.find("CREATE TABLE `integers`"), std::string::npos);
  EXPECT_EQ(script.find("CREATE TABLE `floats`"), std::string::npos) << "only the named table";
  EXPECT_TRUE(fs::exists(out + "paging.sql"));
  EXPECT_EQ(r.error.find('\r'), std::string::npos) << "no progress bar when stderr is not a terminal";
  fs::remove_all(out);
}

TEST(SaveCommand, RestoreToAServerThatIsNotThereFails) {
  const std::string data = testing::FixtureDataDir();
  if (!fs::exists(data + "paging")) GTEST_SKIP() << "no fixture data directory";
  ClientResult r = Cli({"restore", data, "--server", "127.0.0.1", "--port", "1", "--user", "root", "paging.myi_3"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("The connection to the server failed"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("paging.myi_3: not saved, no connection"), std::string::npos) << r.output;
}

}  // namespace
}  // namespace wexholt
