// Hand-built InnoDB pages for the reader tests: COMPACT-family index pages with chosen record
// headers, REDUNDANT dictionary pages, off-page value pages, and a tablespace file made of them.
#pragma once

#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "definitions/TableReader.h"

namespace wexholt::testing {

using Bytes = std::vector<uint8_t>;

inline void PutBe(Bytes& b, size_t at, uint64_t v, size_t width) {
  for (size_t i = 0; i < width; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * (width - 1 - i)));
}
inline Bytes Be(uint64_t v, size_t width) {
  Bytes b(width);
  PutBe(b, 0, v, width);
  return b;
}
inline Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
// DB_TRX_ID and DB_ROLL_PTR of a record: 13 bytes.
inline Bytes SystemFields() { return Bytes(13, 0x11); }

inline void PutFilHeader(Bytes& page, uint32_t number, uint32_t previous, uint32_t next, uint16_t type) {
  PutBe(page, 4, number, 4);
  PutBe(page, 8, previous, 4);
  PutBe(page, 12, next, 4);
  PutBe(page, 24, type, 2);
}

// One COMPACT record: below[0] is the byte at origin-6, below[1] at origin-7 and so on (null
// bitmap, then length bytes); data starts at the origin.
struct CompactRecord {
  Bytes below;
  Bytes data;
  uint8_t info = 0;    // 0x20 delete mark, 0x10 minimum record
  uint8_t status = 0;  // 0 ordinary, 1 node pointer
};

// A COMPACT index page; records are laid out from byte 120 on and chained in the order added
// (or in the order given to Chain).
class CompactPage {
 public:
  explicit CompactPage(uint32_t number, uint32_t previous = kNullPage, uint32_t next = kNullPage, uint16_t level = 0,
                       uint16_t type = kIndexPageType)
      : image_(kPageSize, 0) {
    PutFilHeader(image_, number, previous, next, type);
    PutBe(image_, 64, level, 2);
    // infimum (origin 99) and supremum (origin 112)
    image_[94] = 0x01;
    PutBe(image_, 95, (0 << 3) | 2, 2);
    std::memcpy(&image_[99], "infimum\0", 8);
    image_[107] = 0x01;
    PutBe(image_, 108, (1 << 3) | 3, 2);
    std::memcpy(&image_[112], "supremum", 8);
  }

  size_t Add(const CompactRecord& r) {
    size_t origin = top_ + r.below.size() + 5;
    for (size_t i = 0; i < r.below.size(); ++i) image_[origin - 6 - i] = r.below[i];
    image_[origin - 5] = r.info;
    PutBe(image_, origin - 4, ((origins_.size() + 2) << 3) | r.status, 2);
    std::copy(r.data.begin(), r.data.end(), image_.begin() + origin);
    top_ = origin + r.data.size();
    origins_.push_back(origin);
    return origin;
  }

  // Links infimum -> order... -> supremum.
  void Chain(const std::vector<size_t>& order) {
    size_t previous = 99;
    for (size_t o : order) {
      Link(previous, o);
      previous = o;
    }
    Link(previous, 112);
  }
  void Link(size_t from, size_t to) { PutBe(image_, from - 2, (to - from) & 0xFFFF, 2); }

  Bytes& Finish() {
    if (!chained_) Chain(origins_);
    chained_ = true;
    PutBe(image_, 40, top_, 2);
    PutBe(image_, 42, 0x8000 | (origins_.size() + 2), 2);
    PutBe(image_, 54, origins_.size(), 2);
    return image_;
  }
  void SetHeapRecords(uint16_t n) { PutBe(image_, 42, 0x8000 | n, 2); }
  void SetChained() { chained_ = true; }
  Bytes& Image() { return image_; }
  const std::vector<size_t>& Origins() const { return origins_; }

 private:
  Bytes image_;
  size_t top_ = 120;
  std::vector<size_t> origins_;
  bool chained_ = false;
};

// A REDUNDANT dictionary page (records chained in the order added).
class RedundantPage {
 public:
  explicit RedundantPage(uint32_t number, uint32_t next = kNullPage, uint16_t level = 0) : image_(kPageSize, 0) {
    PutFilHeader(image_, number, kNullPage, next, kIndexPageType);
    PutBe(image_, 64, level, 2);
    std::memcpy(&image_[101], "infimum\0", 8);
    std::memcpy(&image_[116], "supremum\0", 9);
    previousNext_ = 99;
  }

  // fields: each field's bytes; deleted sets the delete mark.
  void Add(const std::vector<Bytes>& fields, bool deleted = false) {
    size_t n = fields.size();
    size_t origin = top_ + 2 * n + 6;
    size_t end = 0;
    for (size_t i = 0; i < n; ++i) {
      end += fields[i].size();
      PutBe(image_, origin - 6 - 2 * (i + 1), end, 2);
      std::copy(fields[i].begin(), fields[i].end(), image_.begin() + origin + end - fields[i].size());
    }
    image_[origin - 6] = deleted ? 0x20 : 0;
    PutBe(image_, origin - 5, (count_ + 2) << 11 | (n << 1) | 0, 3);
    PutBe(image_, previousNext_, origin, 2);
    previousNext_ = origin - 2;
    top_ = origin + end;
    ++count_;
  }

  Bytes& Finish() {
    PutBe(image_, previousNext_, 116, 2);
    PutBe(image_, 42, count_ + 2, 2);
    return image_;
  }

 private:
  Bytes image_;
  size_t top_ = 125;
  size_t previousNext_;
  uint32_t count_ = 0;
};

// A tablespace file of pageCount pages (zero pages where none is given), removed on destruction.
class TablespaceFile {
 public:
  TablespaceFile(const std::map<uint32_t, Bytes>& pages, uint32_t pageCount) {
    static int counter = 0;
    path_ = (std::filesystem::temp_directory_path() /
             ("inno-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".ibd"))
                .string();
    // Pages not given stay holes of zero bytes, so a file beyond 4 GiB costs little disk.
    int fd = ::open(path_.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    if (fd < 0) return;
    for (const auto& [number, bytes] : pages) {
      if (number >= pageCount) continue;
      ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(number) * static_cast<off_t>(kPageSize));
      (void)written;
    }
    int resized = ::ftruncate(fd, static_cast<off_t>(pageCount) * static_cast<off_t>(kPageSize));
    (void)resized;
    ::close(fd);
  }
  ~TablespaceFile() { std::filesystem::remove(path_); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// An off-page part: part length, next page, the bytes, at byte position of page.
inline Bytes ExternalPage(uint32_t number, size_t position, uint32_t partLength, uint32_t next, const Bytes& bytes) {
  Bytes page(kPageSize, 0);
  PutFilHeader(page, number, kNullPage, kNullPage, 10);
  PutBe(page, position, partLength, 4);
  PutBe(page, position + 4, next, 4);
  std::copy(bytes.begin(), bytes.begin() + std::min(bytes.size(), kPageSize - position - 8), page.begin() + position + 8);
  return page;
}

// The 20-byte reference at the end of an off-page column's local bytes.
inline Bytes ExternalReference(uint32_t page, uint32_t position, uint64_t length) {
  return Cat({Be(1, 4), Be(page, 4), Be(position, 4), Be(length, 8)});
}

}  // namespace wexholt::testing
