#include "decoding/DataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace wexholt {

std::function<void(const std::string&, int)>& DataFile::OpenObserver() {
  static std::function<void(const std::string&, int)> observer;
  return observer;
}

DataFile::~DataFile() { Close(); }

DataFile::DataFile(DataFile&& other) noexcept : fd_(other.fd_), length_(other.length_), path_(std::move(other.path_)) {
  other.fd_ = -1;
  other.length_ = 0;
}

DataFile& DataFile::operator=(DataFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    length_ = other.length_;
    path_ = std::move(other.path_);
    other.fd_ = -1;
    other.length_ = 0;
  }
  return *this;
}

bool DataFile::Open(const std::string& path) {
  Close();
  const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY;
  if (auto& observer = OpenObserver()) observer(path, flags);
  int fd = ::open(path.c_str(), flags);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  // A write lock held by another process (a live server) makes the file count as missing.
  struct flock probe {};
  probe.l_type = F_RDLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = 0;
  probe.l_len = 0;
  if (::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type == F_WRLCK) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  length_ = static_cast<uint64_t>(st.st_size);
  path_ = path;
  return true;
}

void DataFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  length_ = 0;
  path_.clear();
}

size_t DataFile::ReadAt(uint64_t offset, void* out, size_t count) const {
  if (fd_ < 0 || count == 0) return 0;
  size_t done = 0;
  auto* p = static_cast<uint8_t*>(out);
  while (done < count) {
    ssize_t n = ::pread(fd_, p + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

std::vector<uint8_t> DataFile::Read(uint64_t offset, size_t count) const {
  std::vector<uint8_t> buf(count);
  buf.resize(ReadAt(offset, buf.data(), count));
  return buf;
}

std::vector<uint8_t> DataFile::ReadAll() const { return Read(0, static_cast<size_t>(length_)); }

bool ReadWholeDataFile(const std::string& path, std::vector<uint8_t>& out) {
  DataFile f;
  if (!f.Open(path)) return false;
  out = f.ReadAll();
  return true;
}

}  // namespace wexholt
