// LiveServer: a throwaway MariaDB server for tests.
//
// Start() makes a fresh data directory in a new folder under /tmp (mariadb-install-db --no-defaults),
// starts /usr/sbin/mariadbd --no-defaults on that directory with a unix socket in the folder and a TCP
// port on 127.0.0.1 only (a free port found by binding port 0), time zone +00:00, and waits until it
// answers (at most about 60 seconds). root has an empty password and is reachable as root@localhost
// (socket) and root@127.0.0.1 (TCP). The destructor shuts the server down (mariadb-admin shutdown,
// SIGKILL when it does not end in time) and removes the folder.
//
// Statements run through the `mariadb` client over the socket, with utf8mb4 as the connection
// character set and the session time zone +00:00.
//
// When mariadbd or the client tools are absent, Start() returns false and StartError() says why;
// tests then skip:  LiveServer server; if (!server.Start()) GTEST_SKIP() << server.StartError();
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace wexholt::testing {

struct ClientResult {
  int status = -1;     // exit status of the client; -1 when it could not run or was killed
  std::string output;  // what it wrote on stdout
  std::string error;   // what it wrote on stderr
  bool Ok() const { return status == 0; }
};

class LiveServer {
 public:
  LiveServer() = default;
  ~LiveServer();
  LiveServer(const LiveServer&) = delete;
  LiveServer& operator=(const LiveServer&) = delete;

  // Extra mariadbd options, added after the built-in ones; set before Start().
  void AddServerOption(const std::string& option) { extraOptions_.push_back(option); }

  // True when the server is up and root can run statements over the socket and over TCP.
  bool Start();
  // Shuts the server down and removes its folder; called by the destructor.
  void Stop();
  bool Running() const { return pid_ > 0; }
  const std::string& StartError() const { return startError_; }

  // Runs sql (any number of statements) with the mariadb client, optionally in database db.
  ClientResult Exec(const std::string& sql, const std::string& db = "") const;
  // Runs the statements of a file, as `mariadb < path`.
  ClientResult ExecFile(const std::string& path, const std::string& db = "") const;
  // Runs a query in batch mode and returns its output lines (tab-separated, batch escapes kept);
  // the heading line of column names comes first when withHeader is true. Empty on failure.
  std::vector<std::string> Query(const std::string& sql, const std::string& db = "",
                                 bool withHeader = false) const;

  int Port() const { return port_; }
  const std::string& Socket() const { return socket_; }
  // The server's data directory, ending with '/'.
  const std::string& DataDir() const { return dataDir_; }
  // The folder holding the data directory, socket and logs, ending with '/'.
  const std::string& Folder() const { return folder_; }
  // The server's error log (for failure messages).
  std::string ErrorLog() const;

 private:
  ClientResult RunClient(const std::vector<std::string>& args, const std::string& stdinPath) const;
  bool Fail(const std::string& why);

  std::vector<std::string> extraOptions_;
  std::string folder_, dataDir_, socket_, startError_;
  int port_ = 0;
  pid_t pid_ = -1;
};

// Runs a program (argv[0] is searched on PATH) with stdin from stdinPath ("" for /dev/null), waiting
// at most timeoutSeconds before killing it. Captures stdout and stderr.
ClientResult RunProgram(const std::vector<std::string>& argv, const std::string& stdinPath = "",
                        int timeoutSeconds = 300);

// True when path names an executable file, or a program found on PATH.
bool ProgramExists(const std::string& program);

}  // namespace wexholt::testing
