// Copies of the fixture MyISAM tables, damaged on purpose (random bytes, zeroed bytes, cut-off files,
// a garbled .MYI), read page by page as Next does. Every read ends by itself; on a damaged .MYD
// every row whose record blocks (fixed: whose slot) lie wholly outside the damaged bytes is read
// exactly once, and no row appears more often than in the intact table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "definitions/Collations.h"
#include "definitions/TableReader.h"
#include "support/Fixtures.h"

namespace wexholt {
namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string RowText(const Row& row) {
  std::string text;
  for (const Cell& cell : row) {
    text += std::to_string(static_cast<int>(cell.kind));
    text += ':';
    text += cell.text;
    text += '\t';
  }
  return text;
}

struct Walk {
  std::vector<std::string> rows;
  uint64_t damaged = 0;
  bool ended = false;  // the last page was not full
};

// Reads the table whose .frm, .MYI and .MYD lie at base + extension, page after page.
Walk ReadTable(const std::string& base, size_t rowsPerPage) {
  DecoderSettings settings;
  settings.collations = &BuiltInCollations();
  TableReader reader(&settings);
  Walk walk;
  reader.ReadTableDefinition(base + ".frm");
  if (!reader.ReadMyisamHeader(base + ".MYI") || !reader.OpenMyisamData(base + ".MYD")) {
    walk.ended = true;
    return walk;
  }
  reader.rowsPerPage = rowsPerPage;
  const uint64_t pageLimit = reader.myisamDataFile.Length() + 2;
  reader.resumePositions.push_back({0, 0});
  reader.ReadMyisamPage(0);
  for (uint64_t pages = 0; pages < pageLimit; ++pages) {
    for (const Row& row : reader.rowPage) walk.rows.push_back(RowText(row));
    reader.rowPage.clear();
    if (!reader.pageFull) {
      walk.ended = true;
      break;
    }
    reader.ReadMyisamPage(reader.resumePositions.back().offset);
  }
  walk.damaged = reader.damagedPagesSkipped;
  return walk;
}

// One record of the intact table: the byte ranges its blocks (or its slot) take, and its row.
struct IntactRecord {
  std::vector<std::pair<uint64_t, uint64_t>> ranges;
  std::string row;
};

// The records of the intact table at base, found by reading its .MYD block by block (slot by slot).
std::vector<IntactRecord> IntactRecords(const std::string& base) {
  DecoderSettings settings;
  settings.collations = &BuiltInCollations();
  TableReader reader(&settings);
  reader.ReadTableDefinition(base + ".frm");
  std::vector<IntactRecord> records;
  if (!reader.ReadMyisamHeader(base + ".MYI") || !reader.OpenMyisamData(base + ".MYD")) return records;
  reader.PrepareMyisamPlaces();
  const uint64_t length = reader.myisamDataFile.Length();
  if (reader.rowFormat == kRowFormatFixed) {
    const uint64_t step = reader.MyisamFixedRowStep();
    for (uint64_t pos = 0; step > 0 && pos + step <= length; pos += step) {
      reader.rowPage.clear();
      if (!reader.DecodeFixedRow(pos)) continue;
      records.push_back({{{pos, pos + step}}, RowText(reader.rowPage.back())});
    }
    return records;
  }
  for (uint64_t pos = 0; pos < length;) {
    BlockInfo info;
    const uint32_t flags = reader.ReadBlockHeader(pos, info);
    const uint64_t firstEnd = info.dataPosition + info.blockLength;
    if (firstEnd <= pos) break;  // not expected in an intact file; the test then finds the rows missing
    if (flags & (kBlockDeleted | kBlockOutOfSequence)) {
      pos = firstEnd;
      continue;
    }
    IntactRecord record;
    Bytes data;
    uint64_t remaining = info.recordSize;
    for (uint64_t at = pos;;) {
      record.ranges.push_back({at, info.dataPosition + info.blockLength});
      const ByteView bytes = reader.MyisamDataBytes(info.dataPosition, info.dataLength);
      data.insert(data.end(), bytes.data(), bytes.data() + bytes.size());
      remaining -= std::min<uint64_t>(remaining, info.dataLength);
      if (remaining == 0 || info.dataLength == 0 || record.ranges.size() > length) break;
      at = info.nextPosition;
      reader.ReadBlockHeader(at, info);
    }
    reader.rowPage.clear();
    reader.DecodeDynamicRecord(data.data(), static_cast<uint32_t>(data.size()));
    if (!reader.rowPage.empty()) record.row = RowText(reader.rowPage.back());
    records.push_back(std::move(record));
    pos = firstEnd;
  }
  return records;
}

enum class Damage { kRandom, kZero, kTruncate };

struct TableCase {
  const char* db;
  const char* table;
};

const TableCase kDynamicTables[] = {
    {"paging", "myi_2500"},       {"paging", "myi_1000"},          {"myisam_rows", "dynamic_rows"},
    {"myisam_rows", "dynamic_deleted"}, {"types_myisam", "texts_blobs"}, {"types_myisam", "strings_utf8mb4"},
    {"types_myisam", "unicode"},
};
const TableCase kFixedTables[] = {
    {"paging", "myi_fixed_2500"}, {"myisam_rows", "fixed_plain"}, {"types_myisam", "integers"},
    {"types_myisam", "temporal"},
};

class DamagedMyisam : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
    char pattern[] = "/tmp/wexholt-damaged-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = std::string(pattern) + "/";
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Copies the table's three files into the temp folder; the copy's base path.
  std::string CopyTable(const TableCase& t) {
    const std::string from = testing::FixtureDataDir() + t.db + "/" + t.table;
    const std::string to = dir_ + t.table;
    for (const char* ext : {".frm", ".MYI", ".MYD"})
      fs::copy_file(from + ext, to + ext, fs::copy_options::overwrite_existing);
    return to;
  }

  std::string dir_;
};

// Damages .MYD copies of each table at the start, middle and end, checks the rows outside the
// damage, and reports rows recovered against rows intact.
void CheckMyd(const std::string& base, const std::string& original, const std::vector<IntactRecord>& intact,
              Damage damage, double where, uint64_t size, uint32_t seed, uint64_t& recovered, uint64_t& outside) {
  Bytes bytes = ReadBytes(original + ".MYD");
  if (bytes.empty()) return;
  const uint64_t length = bytes.size();
  uint64_t from = static_cast<uint64_t>(where * static_cast<double>(length));
  if (from >= length) from = length - 1;
  uint64_t to = std::min(length, from + size);
  std::mt19937 random(seed);
  switch (damage) {
    case Damage::kRandom:
      for (uint64_t i = from; i < to; ++i) bytes[i] = static_cast<uint8_t>(random());
      break;
    case Damage::kZero:
      std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(to), 0);
      break;
    case Damage::kTruncate:
      bytes.resize(from);
      to = UINT64_MAX;
      break;
  }
  WriteBytes(base + ".MYD", bytes);
  const Walk walk = ReadTable(base, 100);
  EXPECT_TRUE(walk.ended);

  std::map<std::string, long> got, expectedAtLeast, expectedAtMost;
  for (const std::string& row : walk.rows) ++got[row];
  for (const IntactRecord& record : intact) {
    ++expectedAtMost[record.row];
    bool untouched = true;
    for (const auto& [start, end] : record.ranges) untouched = untouched && (end <= from || start >= to);
    if (untouched) ++expectedAtLeast[record.row];
  }
  for (const auto& [row, count] : expectedAtLeast) {
    outside += static_cast<uint64_t>(count);
    recovered += static_cast<uint64_t>(std::min(count, got[row]));
    EXPECT_GE(got[row], count) << "row outside the damage lost: " << row.substr(0, 120);
  }
  for (const auto& [row, count] : got) {
    auto it = expectedAtMost.find(row);
    if (it != expectedAtMost.end()) {
      EXPECT_LE(count, it->second) << "row read twice: " << row.substr(0, 120);
    }
  }
}

TEST_F(DamagedMyisam, DataFileDamageLosesOnlyTheRecordsItTouches) {
  struct DamageCase {
    Damage damage;
    double where;
    uint64_t size;
  };
  const DamageCase damages[] = {
      {Damage::kRandom, 0.0, 64},   {Damage::kRandom, 0.5, 37},  {Damage::kRandom, 0.5, 700},
      {Damage::kRandom, 0.97, 4096}, {Damage::kZero, 0.5, 256},   {Damage::kZero, 0.0, 21},
      {Damage::kTruncate, 0.25, 0}, {Damage::kTruncate, 0.5, 0}, {Damage::kTruncate, 0.999, 0},
  };
  uint64_t recovered = 0, outside = 0;
  for (const auto& tables : {std::vector<TableCase>(std::begin(kDynamicTables), std::end(kDynamicTables)),
                             std::vector<TableCase>(std::begin(kFixedTables), std::end(kFixedTables))}) {
    for (const TableCase& t : tables) {
      const std::string original = testing::FixtureDataDir() + t.db + "/" + t.table;
      const std::vector<IntactRecord> intact = IntactRecords(original);
      ASSERT_FALSE(intact.empty()) << t.table;
      const Walk whole = ReadTable(original, 100);
      ASSERT_EQ(whole.rows.size(), intact.size()) << t.table;
      EXPECT_EQ(whole.damaged, 0u) << t.table;
      const std::string base = CopyTable(t);
      uint32_t seed = 1;
      for (const DamageCase& d : damages) {
        SCOPED_TRACE(std::string(t.table) + " damage " + std::to_string(static_cast<int>(d.damage)) + " at " +
                     std::to_string(d.where) + " size " + std::to_string(d.size));
        CheckMyd(base, original, intact, d.damage, d.where, d.size, seed++, recovered, outside);
      }
    }
  }
  std::printf("rows outside the damage recovered: %llu of %llu\n", static_cast<unsigned long long>(recovered),
              static_cast<unsigned long long>(outside));
}

// Random bytes over every part of a fixed .MYD keep the slot count: rows stay rows, values may be garbled.
TEST_F(DamagedMyisam, GarbageOverAFixedDataFileKeepsItsRows) {
  const TableCase t{"paging", "myi_fixed_2500"};
  const std::string original = testing::FixtureDataDir() + t.db + "/" + t.table;
  const size_t intactRows = ReadTable(original, 1000).rows.size();
  const std::string base = CopyTable(t);
  Bytes bytes = ReadBytes(original + ".MYD");
  std::mt19937 random(7);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random() | 1);  // the first bit of a slot stays set
  WriteBytes(base + ".MYD", bytes);
  const Walk walk = ReadTable(base, 1000);
  EXPECT_TRUE(walk.ended);
  EXPECT_EQ(walk.rows.size(), intactRows);
}

// Random bytes over the regions of the .MYI (state header, base information, key and column
// entries), and cut-off .MYI files: the read ends, with no more rows than the .MYD could hold.
TEST_F(DamagedMyisam, IndexFileDamageEndsTheRead) {
  struct Region {
    uint64_t from, size;
  };
  const Region regions[] = {{0, 24}, {24, 100}, {100, 200}, {300, 400}, {0, 1024}};
  const std::vector<TableCase> tables = {{"paging", "myi_2500"}, {"myisam_rows", "dynamic_rows"},
                                         {"myisam_rows", "fixed_plain"}, {"types_myisam", "texts_blobs"}};
  uint32_t seed = 100;
  for (const TableCase& t : tables) {
    const std::string original = testing::FixtureDataDir() + t.db + "/" + t.table;
    const Bytes myi = ReadBytes(original + ".MYI");
    const uint64_t mydLength = fs::file_size(original + ".MYD");
    const std::string base = CopyTable(t);
    for (const Region& r : regions) {
      for (bool truncate : {false, true}) {
        SCOPED_TRACE(std::string(t.table) + " .MYI from " + std::to_string(r.from) + (truncate ? " cut" : ""));
        Bytes damaged = myi;
        std::mt19937 random(seed++);
        if (truncate)
          damaged.resize(std::min<uint64_t>(r.from + r.size / 2, damaged.size()));
        else
          for (uint64_t i = r.from; i < r.from + r.size && i < damaged.size(); ++i)
            damaged[i] = static_cast<uint8_t>(random());
        WriteBytes(base + ".MYI", damaged);
        const Walk walk = ReadTable(base, 100);
        EXPECT_TRUE(walk.ended);
        EXPECT_LE(walk.rows.size(), mydLength);
      }
    }
  }
}

}  // namespace
}  // namespace wexholt
