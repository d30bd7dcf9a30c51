#include "support/LiveServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace wexholt::testing {
namespace {

constexpr const char* kServerBinary = "/usr/sbin/mariadbd";
constexpr int kStartSeconds = 60;
constexpr int kStopSeconds = 30;

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Waits for pid to end, at most seconds; returns its exit status, or -1 when it was killed, could
// not be waited for, or did not end in time (then it is killed).
int WaitWithTimeout(pid_t pid, int seconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  for (;;) {
    int status = 0;
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (done < 0 && errno != EINTR) return -1;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// Starts argv with stdin, stdout and stderr redirected to the given paths ("" = /dev/null).
pid_t Spawn(const std::vector<std::string>& argv, const std::string& stdinPath,
            const std::string& stdoutPath, const std::string& stderrPath) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const char* in = stdinPath.empty() ? "/dev/null" : stdinPath.c_str();
  const char* out = stdoutPath.empty() ? "/dev/null" : stdoutPath.c_str();
  const char* err = stderrPath.empty() ? "/dev/null" : stderrPath.c_str();
  pid_t pid = fork();
  if (pid != 0) return pid;
  // Child: only async-signal-safe calls until exec.
  int fdIn = open(in, O_RDONLY);
  int fdOut = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  int fdErr = open(err, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fdIn < 0 || fdOut < 0 || fdErr < 0) _exit(127);
  dup2(fdIn, 0);
  dup2(fdOut, 1);
  dup2(fdErr, 2);
  execvp(args[0], args.data());
  _exit(127);
}

std::string TempPath(const char* stem) {
  std::string pattern = std::string("/tmp/wexholt-") + stem + "-XXXXXX";
  int fd = mkstemp(pattern.data());
  if (fd < 0) return "";
  close(fd);
  return pattern;
}

// A TCP port on 127.0.0.1 that nothing listens on right now.
int FreeLoopbackPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  int port = 0;
  socklen_t size = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
    port = ntohs(address.sin_port);
  close(fd);
  return port;
}

bool SocketAccepts(const std::string& path) {
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return ok;
}

}  // namespace

ClientResult RunProgram(const std::vector<std::string>& argv, const std::string& stdinPath,
                        int timeoutSeconds) {
  ClientResult result;
  std::string outPath = TempPath("out"), errPath = TempPath("err");
  if (outPath.empty() || errPath.empty()) {
    result.error = "cannot create temporary files";
    return result;
  }
  pid_t pid = Spawn(argv, stdinPath, outPath, errPath);
  if (pid < 0) {
    result.error = "fork failed";
  } else {
    result.status = WaitWithTimeout(pid, timeoutSeconds);
    result.output = ReadFileText(outPath);
    result.error = ReadFileText(errPath);
    if (result.status == 127 && result.error.empty()) result.error = "cannot run " + argv[0];
  }
  unlink(outPath.c_str());
  unlink(errPath.c_str());
  return result;
}

bool ProgramExists(const std::string& program) {
  if (program.find('/') != std::string::npos) return access(program.c_str(), X_OK) == 0;
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  std::stringstream list(dirs);
  std::string dir;
  while (std::getline(list, dir, ':')) {
    if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) return true;
  }
  for (const char* d : {"/usr/sbin", "/sbin"})
    if (access((std::string(d) + "/" + program).c_str(), X_OK) == 0) return true;
  return false;
}

LiveServer::~LiveServer() { Stop(); }

bool LiveServer::Fail(const std::string& why) {
  startError_ = why;
  std::string log = ErrorLog();
  if (!log.empty()) {
    if (log.size() > 4000) log = log.substr(log.size() - 4000);
    startError_ += "\n--- server log ---\n" + log;
  }
  Stop();
  return false;
}

std::string LiveServer::ErrorLog() const {
  return folder_.empty() ? std::string() : ReadFileText(folder_ + "server.log");
}

bool LiveServer::Start() {
  if (Running()) return true;
  startError_.clear();
  for (const char* tool : {kServerBinary, "mariadb-install-db", "mariadb", "mariadb-admin"}) {
    if (!ProgramExists(tool)) {
      startError_ = std::string(tool) + " is not installed";
      return false;
    }
  }
  std::string pattern = "/tmp/wexholt-live-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    startError_ = "cannot create a folder under /tmp";
    return false;
  }
  folder_ = pattern + "/";
  dataDir_ = folder_ + "data/";
  socket_ = folder_ + "mysqld.sock";
  const bool root = geteuid() == 0;

  std::vector<std::string> install = {"mariadb-install-db", "--no-defaults",
                                      "--datadir=" + dataDir_,
                                      "--auth-root-authentication-method=normal",
                                      "--skip-test-db", "--skip-name-resolve"};
  if (root) install.push_back("--user=root");
  ClientResult installed = RunProgram(install, "", 120);
  if (!installed.Ok()) return Fail("mariadb-install-db failed: " + installed.error);

  port_ = FreeLoopbackPort();
  if (port_ == 0) return Fail("no free loopback port");
  std::vector<std::string> server = {kServerBinary,
                                     "--no-defaults",
                                     "--datadir=" + dataDir_,
                                     "--socket=" + socket_,
                                     "--port=" + std::to_string(port_),
                                     "--bind-address=127.0.0.1",
                                     "--pid-file=" + folder_ + "mysqld.pid",
                                     "--tmpdir=" + folder_,
                                     "--log-error=" + folder_ + "server.log",
                                     "--default-time-zone=+00:00",
                                     "--skip-name-resolve",
                                     "--innodb-log-file-size=16M",
                                     "--innodb-buffer-pool-size=64M",
                                     "--character-set-server=utf8mb4",
                                     "--collation-server=utf8mb4_general_ci"};
  if (root) server.push_back("--user=root");
  for (const auto& option : extraOptions_) server.push_back(option);
  pid_ = Spawn(server, "", folder_ + "server.out", folder_ + "server.out");
  if (pid_ < 0) return Fail("cannot start mariadbd");

  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kStartSeconds);
  bool up = false;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return Fail("mariadbd ended during start-up");
    }
    if (SocketAccepts(socket_) && Exec("SELECT 1").Ok()) {
      up = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  if (!up) return Fail("mariadbd did not answer within " + std::to_string(kStartSeconds) + " s");

  ClientResult users = Exec(
      "CREATE USER IF NOT EXISTS 'root'@'127.0.0.1' IDENTIFIED BY '';\n"
      "GRANT ALL PRIVILEGES ON *.* TO 'root'@'127.0.0.1' WITH GRANT OPTION;\n"
      "ALTER USER 'root'@'localhost' IDENTIFIED BY '';\n"
      "FLUSH PRIVILEGES;\n");
  if (!users.Ok()) return Fail("cannot set up root: " + users.error);
  ClientResult tcp = RunClient({"mariadb", "--no-defaults", "--protocol=TCP", "--host=127.0.0.1",
                                "--port=" + std::to_string(port_), "-uroot", "-e", "SELECT 1"},
                               "");
  if (!tcp.Ok()) return Fail("root cannot connect over TCP: " + tcp.error);
  return true;
}

void LiveServer::Stop() {
  if (pid_ > 0) {
    RunProgram({"mariadb-admin", "--no-defaults", "--socket=" + socket_, "-uroot", "shutdown"}, "",
               kStopSeconds);
    WaitWithTimeout(pid_, kStopSeconds);
    pid_ = -1;
  }
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    folder_.clear();
  }
}

ClientResult LiveServer::RunClient(const std::vector<std::string>& args,
                                   const std::string& stdinPath) const {
  return RunProgram(args, stdinPath, 600);
}

ClientResult LiveServer::ExecFile(const std::string& path, const std::string& db) const {
  std::vector<std::string> args = {"mariadb", "--no-defaults", "--socket=" + socket_, "-uroot",
                                   "--default-character-set=utf8mb4", "--batch",
                                   "--init-command=SET time_zone='+00:00'"};
  if (!db.empty()) args.push_back("--database=" + db);
  return RunClient(args, path);
}

ClientResult LiveServer::Exec(const std::string& sql, const std::string& db) const {
  std::string path = TempPath("sql");
  if (path.empty()) return ClientResult{-1, "", "cannot create a temporary file"};
  {
    std::ofstream out(path, std::ios::binary);
    out << sql;
  }
  ClientResult result = ExecFile(path, db);
  unlink(path.c_str());
  return result;
}

std::vector<std::string> LiveServer::Query(const std::string& sql, const std::string& db,
                                           bool withHeader) const {
  std::string text = sql;
  ClientResult result = Exec(text, db);
  std::vector<std::string> lines;
  if (!result.Ok()) return lines;
  std::stringstream in(result.output);
  std::string line;
  bool first = true;
  while (std::getline(in, line)) {
    if (first && !withHeader) {
      first = false;
      continue;
    }
    first = false;
    lines.push_back(line);
  }
  return lines;
}

}  // namespace wexholt::testing
