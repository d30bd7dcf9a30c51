// A table walk divided among several readers must give exactly the rows of the one-reader walk, in
// the same order: every fixture table with the smallest runs (so that most .MYD boundaries fall
// inside records and must be walked again), damaged copies, and an output that fails.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "definitions/Collations.h"
#include "definitions/TableReader.h"
#include "support/Fixtures.h"
#include "workflow/ParallelRows.h"
#include "workflow/TablePages.h"

namespace wexholt {
namespace {

namespace fs = std::filesystem;

void AppendRowText(const Cell* const* cells, size_t count, std::string& text) {
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) text.push_back('\t');
    text += cells[i]->text;
    text.push_back(static_cast<char>('0' + static_cast<int>(cells[i]->kind)));
  }
  text.push_back('\n');
}

struct Walk {
  std::string text;
  uint64_t damaged = 0;
  bool divided = false;
};

DecoderSettings Settings() {
  DecoderSettings s;
  s.collations = &BuiltInCollations();
  return s;
}

// The rows of folder/table read page by page with one reader, as Next does.
Walk OneReader(const std::string& folder, const std::string& table, bool withDictionary) {
  DecoderSettings settings = Settings();
  TableReader reader(&settings);
  if (withDictionary) reader.LoadSystemTablespace(testing::FixtureDataDir() + "ibdata1");
  LoadTableFirstPage(reader, folder, table);
  Walk walk;
  do {
    for (const Row& row : reader.rowPage) {
      std::vector<const Cell*> cells;
      for (const Cell& cell : row) cells.push_back(&cell);
      AppendRowText(cells.data(), cells.size(), walk.text);
    }
  } while (LoadFollowingPage(reader));
  walk.damaged = reader.damagedPagesSkipped;
  return walk;
}

Walk Divided(const std::string& folder, const std::string& table, bool withDictionary,
             const ParallelRowOptions& options) {
  DecoderSettings settings = Settings();
  TableReader reader(&settings);
  if (withDictionary) reader.LoadSystemTablespace(testing::FixtureDataDir() + "ibdata1");
  LoadTableFirstPage(reader, folder, table);
  Walk walk;
  auto makeFormatter = [] { return RowTextFormatter(AppendRowText); };
  auto write = [&walk](std::string_view text) {
    walk.text.append(text);
    return true;
  };
  walk.divided = WriteAllRowsDivided(reader, folder, table, makeFormatter, write, options) == ParallelRowsResult::kDone;
  walk.damaged = reader.damagedPagesSkipped;
  return walk;
}

ParallelRowOptions SmallRuns(unsigned readers) {
  ParallelRowOptions options;
  options.readers = readers;
  options.leafPagesPerRun = 1;
  options.bytesPerRun = 64;
  options.runsAhead = 3;
  return options;
}

TEST(ParallelRowsTest, EveryFixtureTableGivesTheOneReaderRows) {
  int dividedTables = 0;
  for (const auto& t : testing::ListFixtureTables()) {
    const std::string folder = testing::FixtureDataDir() + t.db;
    for (bool dictionary : {false, true}) {
      SCOPED_TRACE(t.db + "." + t.table + (dictionary ? " (dictionary)" : ""));
      Walk one = OneReader(folder, t.table, dictionary);
      for (unsigned readers : {2u, 3u}) {
        Walk divided = Divided(folder, t.table, dictionary, SmallRuns(readers));
        if (!divided.divided) continue;
        ++dividedTables;
        EXPECT_EQ(divided.text, one.text) << readers << " readers";
        EXPECT_EQ(divided.damaged, one.damaged);
      }
    }
  }
  // The paging and row tables are large enough to be divided.
  EXPECT_GT(dividedTables, 10);
}

class ParallelRowsDamageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("wexholt-parallel-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "paging");
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string Copy(const std::string& table, const std::vector<std::string>& extensions) {
    for (const std::string& ext : extensions) {
      fs::copy_file(testing::FixtureDataDir() + "paging/" + table + ext, folder_ / "paging" / (table + ext));
    }
    return (folder_ / "paging").string();
  }
  void Overwrite(const std::string& path, uint64_t offset, const std::string& bytes) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(static_cast<std::streamoff>(offset));
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  fs::path folder_;
};

TEST_F(ParallelRowsDamageTest, DamagedCopiesGiveTheOneReaderRows) {
  struct Case {
    const char* name;
    const char* table;
    std::vector<std::string> extensions;
    const char* file;
    uint64_t offset;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"zeroed leaf page", "inno_2500", {".frm", ".ibd"}, ".ibd", 6 * 16384, std::string(16384, '\0')},
      {"next page past the end", "inno_2500", {".frm", ".ibd"}, ".ibd", 5 * 16384 + 12, std::string("\x00\x00\x7f\xff", 4)},
      {"garbage in a leaf page", "inno_2500", {".frm", ".ibd"}, ".ibd", 7 * 16384 + 200, std::string(3000, '\x5a')},
      {"garbage in dynamic rows", "myi_2500", {".frm", ".MYI", ".MYD"}, ".MYD", 20000, std::string(700, '\xee')},
      {"zeroed dynamic rows", "myi_2500", {".frm", ".MYI", ".MYD"}, ".MYD", 30001, std::string(333, '\0')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    const std::string folder = Copy(c.table, c.extensions);
    Overwrite(folder + "/" + c.table + c.file, c.offset, c.bytes);
    Walk one = OneReader(folder, c.table, false);
    Walk divided = Divided(folder, c.table, false, SmallRuns(2));
    EXPECT_TRUE(divided.divided);
    EXPECT_EQ(divided.text, one.text);
    EXPECT_EQ(divided.damaged, one.damaged);
  }
}

TEST(ParallelRowsTest, AFailingOutputEndsTheWalk) {
  const std::string folder = testing::FixtureDataDir() + "paging";
  DecoderSettings settings = Settings();
  TableReader reader(&settings);
  LoadTableFirstPage(reader, folder, "inno_2500");
  int writes = 0;
  auto makeFormatter = [] { return RowTextFormatter(AppendRowText); };
  auto write = [&writes](std::string_view) { return ++writes < 2; };
  EXPECT_EQ(WriteAllRowsDivided(reader, folder, "inno_2500", makeFormatter, write, SmallRuns(2)),
            ParallelRowsResult::kDone);
  EXPECT_EQ(writes, 2);
}

TEST(ParallelRowsTest, OneReaderOrASmallTableIsNotDivided) {
  const std::string folder = testing::FixtureDataDir() + "paging";
  DecoderSettings settings = Settings();
  TableReader reader(&settings);
  auto makeFormatter = [] { return RowTextFormatter(AppendRowText); };
  auto write = [](std::string_view) { return true; };
  LoadTableFirstPage(reader, folder, "inno_2500");
  EXPECT_EQ(WriteAllRowsDivided(reader, folder, "inno_2500", makeFormatter, write, SmallRuns(1)),
            ParallelRowsResult::kNotDivided);
  LoadTableFirstPage(reader, folder, "inno_3");
  EXPECT_EQ(WriteAllRowsDivided(reader, folder, "inno_3", makeFormatter, write, SmallRuns(2)),
            ParallelRowsResult::kNotDivided);
}

}  // namespace
}  // namespace wexholt
