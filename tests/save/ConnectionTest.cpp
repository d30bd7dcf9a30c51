// The connection string and the connection test against a throwaway server over TCP.
#include <gtest/gtest.h>

#include "save/OdbcConnection.h"
#include "support/LiveServer.h"

namespace wexholt {
namespace {

using testing::LiveServer;

TEST(ConnectionString, NamesDriverServerOptionAndPort) {
  EXPECT_EQ(BuildConnectionString("db1", "3307"),
            "Driver={MySql ODBC 5.1 Driver};Server=db1;Option=16834;Port=3307;");
}

class ConnectionTestOnServer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new LiveServer;
    if (!server_->Start()) {
      skipReason_ = server_->StartError();
      delete server_;
      server_ = nullptr;
      return;
    }
    server_->Exec("CREATE USER 'saver'@'127.0.0.1' IDENTIFIED BY 'pa;ss}word'; "
                  "GRANT ALL ON *.* TO 'saver'@'127.0.0.1';");
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    if (!server_) GTEST_SKIP() << skipReason_;
  }
  static std::string Port() { return std::to_string(server_->Port()); }
  static LiveServer* server_;
  static std::string skipReason_;
};
LiveServer* ConnectionTestOnServer::server_ = nullptr;
std::string ConnectionTestOnServer::skipReason_;

TEST_F(ConnectionTestOnServer, RightPortSucceedsWrongPortGivesDriverText) {
  EXPECT_EQ(ConnectionTest("127.0.0.1", Port(), "root", ""), "Connection is successful");

  // Port 1: nothing listens there, the driver reports the refused connection.
  std::string failed = ConnectionTest("127.0.0.1", "1", "root", "");
  ASSERT_EQ(failed.rfind("Connection is Failed\n", 0), 0u) << failed;
  EXPECT_GT(failed.size(), std::string("Connection is Failed\n").size());
  EXPECT_NE(failed.find("127.0.0.1"), std::string::npos) << failed;
}

TEST_F(ConnectionTestOnServer, UserAndPasswordTravelSeparatelyAndIntact) {
  // The password holds the characters that end or brace a connection-string attribute.
  EXPECT_EQ(ConnectionTest("127.0.0.1", Port(), "saver", "pa;ss}word"), "Connection is successful");
  std::string wrong = ConnectionTest("127.0.0.1", Port(), "saver", "pa;ss");
  EXPECT_EQ(wrong.rfind("Connection is Failed\n", 0), 0u);
  EXPECT_NE(wrong.find("Access denied"), std::string::npos) << wrong;
}

TEST_F(ConnectionTestOnServer, ExecuteReportsServerMessageAndTransactionsHold) {
  OdbcConnection c;
  ASSERT_TRUE(c.Open(BuildConnectionString("127.0.0.1", Port()), "root", "")) << c.LastError();
  ASSERT_TRUE(c.Execute("CREATE DATABASE tx"));
  // The option bits make the server ignore a database qualifier: statements work in the
  // database chosen with USE.
  EXPECT_FALSE(c.Execute("CREATE TABLE tx.t (a INT PRIMARY KEY)"));
  EXPECT_NE(c.LastError().find("No database selected"), std::string::npos) << c.LastError();
  ASSERT_TRUE(c.Execute("USE tx"));
  ASSERT_TRUE(c.Execute("CREATE TABLE t (a INT PRIMARY KEY) ENGINE=InnoDB")) << c.LastError();
  EXPECT_FALSE(c.Execute("INSERT INTO missing VALUES (1)"));
  EXPECT_NE(c.LastError().find("tx.missing"), std::string::npos) << c.LastError();
  EXPECT_EQ(c.LastNativeError(), 1146);

  ASSERT_TRUE(c.SetAutoCommit(false));
  ASSERT_TRUE(c.Execute("INSERT INTO t VALUES (1),(2)"));
  ASSERT_TRUE(c.Rollback());
  ASSERT_TRUE(c.Execute("INSERT INTO t VALUES (3)"));
  ASSERT_TRUE(c.Commit());
  std::vector<std::string> values;
  ASSERT_TRUE(c.QueryColumn("SELECT a FROM t ORDER BY a", values)) << c.LastError();
  EXPECT_EQ(values, std::vector<std::string>{"3"});
  c.Close();
  EXPECT_FALSE(c.Execute("SELECT 1"));
}

}  // namespace
}  // namespace wexholt
