// The process log: one UTF-16LE file per run in the log folder, named
// "CorvaltWexholt_log_" + d-m-yyyy-h-m-s + ".txt", starting with the byte order mark FF FE, lines
// ending with CR LF; and the output list's insertion index.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

namespace wexholt {

class FrontEnd;

class ProcessLog {
 public:
  ProcessLog() = default;
  ~ProcessLog();
  ProcessLog(const ProcessLog&) = delete;
  ProcessLog& operator=(const ProcessLog&) = delete;

  // Builds the name from the local time now (or the clock hook), closes the previous file, creates
  // or continues the new one, writes the separator; false when the file cannot be opened (later
  // writes are then dropped).
  bool OpenLog(const std::string& logFolder);
  // Appends the UTF-16LE code units of text (UTF-8 in memory).
  void WriteLog(const std::string& text);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  const std::string& LogFilePath() const { return logFilePath_; }

  // Output list index of the next line.
  int32_t outputLine = 0;

  // Test hook: the clock used for the file name.
  std::function<std::time_t()> clock;

 private:
  int fd_ = -1;
  std::string logFilePath_;
};

}  // namespace wexholt
