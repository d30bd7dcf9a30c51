// The process log file: UTF-16LE code units, a byte order mark FF FE at the start of a new file, CR
// LF line ends written by the callers, a run separator "\r\n" + 80 '*' + "\r\n" at every OpenLog.
//
// The file name carries the local time of the Open to the second, so two Opens within one second
// continue the same file: it is opened at its end and gets no second byte order mark. A log that
// cannot be created or opened is simply not written: every later write is dropped, and nothing that
// writes to the log fails because of it.
#include "workflow/ProcessLog.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "decoding/Text.h"

namespace wexholt {

namespace {

constexpr const char* kLogFilePrefix = "CorvaltWexholt_log_";

// "%d-%d-%d-%d-%d-%d": day of month, month 1..12, four-digit year, hour, minute, second, without
// leading zeros. When the time cannot be converted, every number is 0.
std::string LogTimestamp(std::time_t now) {
  std::tm local{};
  int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
  if (localtime_r(&now, &local) != nullptr) {
    day = local.tm_mday;
    month = local.tm_mon + 1;
    year = local.tm_year + 1900;
    hour = local.tm_hour;
    minute = local.tm_min;
    second = local.tm_sec;
  }
  char text[80];
  std::snprintf(text, sizeof text, "%d-%d-%d-%d-%d-%d", day, month, year, hour, minute, second);
  return text;
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

ProcessLog::~ProcessLog() { Close(); }

bool ProcessLog::OpenLog(const std::string& logFolder) {
  std::time_t now = clock ? clock() : std::time(nullptr);
  Close();
  if (logFolder.empty()) {
    // No folder chosen (a command-line run without a log): nothing is written.
    logFilePath_.clear();
    return false;
  }
  logFilePath_ = JoinPath(logFolder, kLogFilePrefix + LogTimestamp(now) + ".txt");

  struct stat st{};
  bool exists = ::stat(logFilePath_.c_str(), &st) == 0;
  if (exists) {
    fd_ = ::open(logFilePath_.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
  } else {
    fd_ = ::open(logFilePath_.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ >= 0) {
      static const char kBom[2] = {'\xFF', '\xFE'};
      WriteAll(fd_, kBom, sizeof kBom);
    }
  }
  if (fd_ < 0) return false;
  WriteLog("\r\n" + std::string(80, '*') + "\r\n");
  return true;
}

void ProcessLog::WriteLog(const std::string& text) {
  if (fd_ < 0 || text.empty()) return;
  std::string units = Utf16le(text);
  WriteAll(fd_, units.data(), units.size());
}

void ProcessLog::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

}  // namespace wexholt
