#include "FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

// AddressSanitizer keeps freed memory aside (the quarantine) to catch later uses of it; at its default
// of 256 MiB every page image and row buffer of an input lands in memory not touched before, and the
// page faults of that cost more than the readers themselves. 16 MiB still holds everything freed
// during several inputs. ASAN_OPTIONS given at run time take precedence.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }

namespace wexholt::fuzz {

namespace fs = std::filesystem;

namespace {

struct Scratch {
  std::string path;
  Scratch() {
    std::string base = fs::is_directory("/dev/shm") ? "/dev/shm/" : "/tmp/";
    path = base + "wexholt-fuzz-" + std::to_string(getpid()) + "/";
    fs::create_directories(path);
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

}  // namespace

const std::string& ScratchFolder() {
  static Scratch scratch;
  return scratch.path;
}

void WriteScratchFile(const std::string& path, const uint8_t* data, size_t size) {
  WriteScratchFileAt(path, 0, data, size);
}

void WriteScratchFileAt(const std::string& path, uint64_t offset, const uint8_t* data, size_t size) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) {
    std::perror(path.c_str());
    std::abort();
  }
  if (offset > 0 && ftruncate(fd, static_cast<off_t>(offset)) != 0) {
    std::perror(path.c_str());
    std::abort();
  }
  size_t done = 0;
  while (done < size) {
    ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(offset + done));
    if (n <= 0) {
      std::perror(path.c_str());
      std::abort();
    }
    done += static_cast<size_t>(n);
  }
  close(fd);
}

void RemoveScratchFile(const std::string& path) { unlink(path.c_str()); }

std::string FixtureDataDir() {
  const char* chosen = std::getenv("WEXHOLT_FUZZ_DATADIR");
  std::string dir = chosen && *chosen ? chosen : WEXHOLT_FIXTURE_DATADIR;
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

std::vector<FixtureTable> FixtureTablesWith(const std::string& extension, size_t limit) {
  std::vector<FixtureTable> tables;
  std::error_code error;
  std::string root = FixtureDataDir();
  for (const auto& database : fs::directory_iterator(root, error)) {
    if (!database.is_directory()) continue;
    for (const auto& file : fs::directory_iterator(database.path(), error)) {
      if (file.path().extension() != extension) continue;
      fs::path frm = file.path();
      frm.replace_extension(".frm");
      FILE* in = std::fopen(frm.c_str(), "rb");
      if (!in) continue;
      FixtureTable table;
      table.database = database.path().filename().string();
      table.table = frm.stem().string();
      uint8_t buffer[65536];
      size_t n;
      while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) table.frm.insert(table.frm.end(), buffer, buffer + n);
      std::fclose(in);
      if (table.frm.size() >= 2 && table.frm[0] == 0xFE && table.frm[1] == 0x01) tables.push_back(std::move(table));
    }
  }
  std::sort(tables.begin(), tables.end(), [](const FixtureTable& a, const FixtureTable& b) {
    return a.database != b.database ? a.database < b.database : a.table < b.table;
  });
  if (tables.size() > limit) tables.resize(limit);
  return tables;
}

std::vector<std::vector<uint8_t>> SplitInput(const uint8_t* data, size_t size, size_t parts) {
  std::vector<std::vector<uint8_t>> out;
  size_t pos = 0;
  for (size_t i = 0; i + 1 < parts; ++i) {
    uint32_t length = 0;
    for (int b = 0; b < 4 && pos < size; ++b, ++pos) length |= uint32_t(data[pos]) << (8 * b);
    size_t take = std::min<size_t>(length, size - pos);
    out.emplace_back(data + pos, data + pos + take);
    pos += take;
  }
  out.emplace_back(data + pos, data + size);
  return out;
}

}  // namespace wexholt::fuzz
