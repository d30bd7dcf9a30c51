// A throwaway server starts, answers over the socket and over TCP, and goes away with its folder.
#include <filesystem>
#include <gtest/gtest.h>

#include "support/LiveServer.h"

namespace wexholt::testing {

TEST(LiveServer, StartsAnswersAndCleansUp) {
  std::string folder;
  {
    LiveServer server;
    if (!server.Start()) GTEST_SKIP() << server.StartError();
    folder = server.Folder();
    EXPECT_GT(server.Port(), 0);
    EXPECT_EQ(server.Query("SELECT 1 AS one, 'a\\tb' AS two", "", true),
              (std::vector<std::string>{"one\ttwo", "1\ta\\tb"}));
    EXPECT_EQ(server.Query("SELECT @@time_zone"), std::vector<std::string>{"+00:00"});
    ClientResult tcp = RunProgram({"mariadb", "--no-defaults", "--protocol=TCP",
                                   "--host=127.0.0.1", "--port=" + std::to_string(server.Port()),
                                   "-uroot", "-N", "-e", "SELECT CURRENT_USER()"});
    EXPECT_EQ(tcp.output, "root@127.0.0.1\n") << tcp.error;
    ClientResult bad = server.Exec("SELECT * FROM no_such_db.t");
    EXPECT_NE(bad.status, 0);
    EXPECT_NE(bad.error.find("no_such_db"), std::string::npos) << bad.error;
  }
  EXPECT_FALSE(std::filesystem::exists(folder));
}

}  // namespace wexholt::testing
