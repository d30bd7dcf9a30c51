// DataFile: the one place where this program opens the files it recovers from.
//
// Data files (.frm, view and trigger files, .MYI, .MYD, .ibd, ibdata1, the collation file) are
// opened read-only and are never written, so that a recovery from read-only media works and the
// evidence stays unchanged. A file that another process holds locked for writing (a running server
// locks ibdata1 and its tablespaces) counts as missing, as a file held open without sharing would.
//
// Reads are positioned (pread), so one DataFile can be read at any 64-bit offset without seeking.
// A short read at the end of the file is not an error: the caller gets the bytes that exist.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace wexholt {

class DataFile {
 public:
  DataFile() = default;
  ~DataFile();
  DataFile(const DataFile&) = delete;
  DataFile& operator=(const DataFile&) = delete;
  DataFile(DataFile&& other) noexcept;
  DataFile& operator=(DataFile&& other) noexcept;

  // Opens path read-only. False when it does not exist, is not a regular file, cannot be read, or
  // another process holds a write lock on it. Closes a file opened earlier first.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }

  // Length in bytes at the time of opening (0 when closed).
  uint64_t Length() const { return length_; }

  // Reads up to count bytes at offset into out; returns the number read (0 at or past the end, or on
  // a read error).
  size_t ReadAt(uint64_t offset, void* out, size_t count) const;

  // Reads up to count bytes at offset; the vector holds what was read.
  std::vector<uint8_t> Read(uint64_t offset, size_t count) const;

  // Reads the whole file (for small files: definitions, views, triggers).
  std::vector<uint8_t> ReadAll() const;

  // Test hook: called with the path and the open(2) flags of every data file opened.
  static std::function<void(const std::string& path, int flags)>& OpenObserver();

 private:
  int fd_ = -1;
  uint64_t length_ = 0;
  std::string path_;
};

// Reads a whole small data file; false when it cannot be opened.
bool ReadWholeDataFile(const std::string& path, std::vector<uint8_t>& out);

}  // namespace wexholt
