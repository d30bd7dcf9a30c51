// A throwaway server starts, answers over the socket and over TCP, and goes away with its folder.
#include <filesystem>
#include <gtest/gtest.h>

#include "support/Fixtures.h"
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

    // The batch escapes the client writes are the ones SplitBatchLine undoes.
    std::vector<std::string> lines = server.Query(
        "SELECT 'tab\\there' AS a, 'line\\nbreak' AS b, 'back\\\\slash' AS c, "
        "CONCAT('nul', CHAR(0), 'x') AS d, NULL AS e, '' AS f");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(SplitBatchLine(lines[0]),
              (std::vector<std::string>{"tab\there", "line\nbreak", "back\\slash",
                                        std::string("nul\0x", 5), "NULL", ""}));
  }
  EXPECT_FALSE(std::filesystem::exists(folder));
}

}  // namespace wexholt::testing
