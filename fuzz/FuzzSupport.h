// Shared pieces of the fuzz harnesses: a scratch folder in memory-backed storage where each input
// is written out as the data files a reader opens, and the fixture files that stay fixed while the
// others are fuzzed.
//
// Readers only take paths (every data file goes through DataFile), so a harness writes the input
// to files first. The folder is /dev/shm/wexholt-fuzz-<pid>/ when /dev/shm exists, else under
// /tmp; it is removed when the process ends normally.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace wexholt::fuzz {

// The scratch folder of this process, ending with '/'; created on first use.
const std::string& ScratchFolder();

// Writes size bytes to path (created or truncated). Aborts when the file cannot be written: a
// harness that cannot write its input would otherwise report nothing.
void WriteScratchFile(const std::string& path, const uint8_t* data, size_t size);
// The same with the bytes placed at offset: the file is offset + size bytes long and reads as zero
// before offset (a hole, which costs no writing).
void WriteScratchFileAt(const std::string& path, uint64_t offset, const uint8_t* data, size_t size);
void RemoveScratchFile(const std::string& path);

// The fixture data directory (ends with '/'): $WEXHOLT_FUZZ_DATADIR, else the fixture directory of
// the source tree.
std::string FixtureDataDir();

// A fixed definition file taken from the fixtures, with the data files of its table.
struct FixtureTable {
  std::string database;
  std::string table;
  std::vector<uint8_t> frm;
};

// Tables of the fixture data directory whose folder holds <table>.frm next to a file with the given
// extension (".MYI" or ".ibd"), sorted by database and table; at most limit of them.
std::vector<FixtureTable> FixtureTablesWith(const std::string& extension, size_t limit = 64);

// Splits an input into length-prefixed parts: each part but the last is a 32-bit little-endian
// length followed by that many bytes (cut short by the end of the input); the last takes the rest.
std::vector<std::vector<uint8_t>> SplitInput(const uint8_t* data, size_t size, size_t parts);

}  // namespace wexholt::fuzz
