// Damaged copies of server-made tablespaces, read page by page as Next does and again backwards as
// Previous does: every record of every leaf page the damage left intact appears exactly once, the
// walk ends by itself, and the damage is counted. The expectation comes from the intact file, read
// one leaf page at a time.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "definitions/Collations.h"
#include "definitions/TableReader.h"
#include "support/Fixtures.h"
#include "workflow/TablePages.h"

namespace wexholt {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void PutBe32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 3; i >= 0; --i, v >>= 8) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v);
}

void Scramble(Bytes& b, size_t from, size_t count, uint32_t seed) {
  std::mt19937 random(seed);
  for (size_t i = from; i < from + count && i < b.size(); ++i) b[i] = static_cast<uint8_t>(random());
}

std::string RowText(const Row& row) {
  std::string text;
  for (const Cell& c : row) text += c.text + '\t';
  return text;
}

std::vector<std::string> PageTexts(const TableReader& reader) {
  std::vector<std::string> texts;
  for (const Row& row : reader.rowPage) texts.push_back(RowText(row));
  return texts;
}

// A temporary database folder that holds copies of fixture files.
class TempDatabase {
 public:
  explicit TempDatabase(const std::string& db) {
    root_ = (fs::temp_directory_path() / ("wexholt-damaged-" + std::to_string(getpid()))).string();
    folder_ = root_ + "/" + db;
    fs::remove_all(root_);
    fs::create_directories(folder_);
  }
  ~TempDatabase() { fs::remove_all(root_); }
  const std::string& Folder() const { return folder_; }
  const std::string& Root() const { return root_; }

 private:
  std::string root_;
  std::string folder_;
};

// Everything one walk of a table gave: the pages of rows in order, and the damage count.
struct Walk {
  std::vector<std::vector<std::string>> pages;
  std::vector<ResumePosition> starts;
  uint64_t damaged = 0;
};

// First page, then Next until no rows follow (bounded, so that a walk that does not end fails).
Walk ReadForward(TableReader& reader, const std::string& folder, const std::string& table) {
  Walk walk;
  LoadTableFirstPage(reader, folder, table);
  if (reader.resumePositions.empty()) return walk;
  walk.starts.push_back(reader.resumePositions.front());
  walk.pages.push_back(PageTexts(reader));
  while (walk.pages.size() < 10000) {
    if (reader.resumePositions.size() <= 1 || IsEndMarker(reader.resumePositions.back()) || !reader.pageFull) break;
    ResumePosition start = reader.resumePositions.back();
    if (!LoadFollowingPage(reader)) break;
    walk.starts.push_back(start);
    walk.pages.push_back(PageTexts(reader));
  }
  walk.damaged = reader.damagedPagesSkipped;
  return walk;
}

// The records of each leaf page of the intact table, read one page at a time along the chain.
std::map<uint64_t, std::vector<std::string>> LeafPageRows(TableReader& reader, const std::string& folder,
                                                           const std::string& table) {
  std::map<uint64_t, std::vector<std::string>> pages;
  LoadTableFirstPage(reader, folder, table);
  if (reader.resumePositions.empty()) return pages;
  const size_t perPage = reader.rowsPerPage;
  reader.rowsPerPage = SIZE_MAX;
  uint64_t p = reader.resumePositions.front().page;
  while (p != kNullPage && pages.size() < 100000) {
    EXPECT_TRUE(reader.ReadPageHeaders(Tablespace::kIbd, p));
    const uint32_t next = reader.lastPageHeader.nextPage;
    reader.ClearRowPage();
    reader.resumeFromPosition = false;
    reader.stopAtLeafPage = next;
    reader.ReadLeafRows(Tablespace::kIbd, p, 0);
    pages[p] = PageTexts(reader);
    p = next;
  }
  reader.stopAtLeafPage = kNullPage;
  reader.rowsPerPage = perPage;
  EXPECT_EQ(reader.damagedPagesSkipped, 0u);
  return pages;
}

struct DamageCase {
  const char* name;
  const char* db;
  const char* table;
  // Damages the copy of the .ibd; adds to lost the leaf pages whose records the damage may take.
  std::function<void(Bytes& ibd, std::set<uint64_t>& lost)> damage;
  bool counted;  // the walk meets the damage (false: the table cannot be reached at all)
  bool exact;    // the damage destroys no record: the rows are exactly the intact ones
};

void LosePagesFrom(uint64_t first, std::set<uint64_t>& lost) {
  for (uint64_t p = first; p < 100000; ++p) lost.insert(p);
}

const std::vector<DamageCase>& DamageCases() {
  static const std::vector<DamageCase> cases = {
      {"intact", "paging", "inno_2500", [](Bytes&, std::set<uint64_t>&) {}, false, true},
      {"truncated inside leaf page 8", "paging", "inno_2500",
       [](Bytes& b, std::set<uint64_t>& lost) { b.resize(8 * kPageSize + 5000); LosePagesFrom(8, lost); }, true, false},
      {"truncated at the boundary before page 9", "paging", "inno_2500",
       [](Bytes& b, std::set<uint64_t>& lost) { b.resize(9 * kPageSize); LosePagesFrom(9, lost); }, true, false},
      {"truncated before the root", "paging", "inno_2500",
       [](Bytes& b, std::set<uint64_t>& lost) { b.resize(3 * kPageSize); LosePagesFrom(0, lost); }, false, false},
      {"leaf page 6 zeroed", "paging", "inno_2500",
       [](Bytes& b, std::set<uint64_t>& lost) {
         std::fill(b.begin() + 6 * kPageSize, b.begin() + 7 * kPageSize, 0);
         lost.insert(6);
       }, true, false},
      {"leaf pages 10..12 zeroed", "innodb_rows", "wide_rows",
       [](Bytes& b, std::set<uint64_t>& lost) {
         std::fill(b.begin() + 10 * kPageSize, b.begin() + 13 * kPageSize, 0);
         lost.insert({10, 11, 12});
       }, true, false},
      {"random bytes over leaf pages 7, 8 and 20", "innodb_rows", "wide_rows",
       [](Bytes& b, std::set<uint64_t>& lost) {
         Scramble(b, 7 * kPageSize, 2 * kPageSize, 7);
         Scramble(b, 20 * kPageSize, kPageSize, 20);
         lost.insert({7, 8, 20});
       }, true, false},
      {"random bytes over the records of leaf page 6", "paging", "inno_2500",
       [](Bytes& b, std::set<uint64_t>& lost) {
         Scramble(b, 6 * kPageSize + 3000, 2000, 6);
         lost.insert(6);
       }, true, false},
      {"next page number past the end", "paging", "inno_2500",
       [](Bytes& b, std::set<uint64_t>&) { PutBe32(b, 6 * kPageSize + 12, 5000); }, true, true},
      {"next page number looping back", "paging", "inno_2500",
       [](Bytes& b, std::set<uint64_t>&) { PutBe32(b, 7 * kPageSize + 12, 5); }, true, true},
      {"next page number skipping two leaves", "innodb_rows", "wide_rows",
       [](Bytes& b, std::set<uint64_t>&) { PutBe32(b, 5 * kPageSize + 12, 8); }, true, true},
      {"a page of another index in the chain", "paging", "inno_2500",
       [](Bytes& b, std::set<uint64_t>& lost) {
         PutBe32(b, 6 * kPageSize + 66, 0);
         PutBe32(b, 6 * kPageSize + 70, 999);
         lost.insert(6);
       }, true, false},
  };
  return cases;
}

class DamagedTablespace : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
    collations_ = BuiltInCollations();
    settings_.collations = &collations_;
    if (!fs::exists(testing::FixtureDataDir() + "paging/inno_2500.ibd")) GTEST_SKIP() << "no fixture data";
  }
  CollationTable collations_;
  DecoderSettings settings_;
};

TEST_F(DamagedTablespace, EveryRecordOfEveryIntactLeafPageOnce) {
  for (const DamageCase& c : DamageCases()) {
    SCOPED_TRACE(c.name);
    TempDatabase temp(c.db);
    const std::string source = testing::FixtureDataDir() + c.db + "/" + c.table;
    const std::string copy = temp.Folder() + "/" + c.table;
    fs::copy_file(source + ".frm", copy + ".frm");
    Bytes ibd = ReadBytes(source + ".ibd");
    std::set<uint64_t> lost;
    c.damage(ibd, lost);
    WriteBytes(copy + ".ibd", ibd);

    TableReader intactReader(&settings_);
    std::map<uint64_t, std::vector<std::string>> leafRows = LeafPageRows(intactReader, testing::FixtureDataDir() + c.db, c.table);
    ASSERT_FALSE(leafRows.empty());
    std::map<std::string, int> wanted;
    size_t allRows = 0;
    for (const auto& [page, rows] : leafRows) {
      allRows += rows.size();
      if (lost.count(page)) continue;
      for (const std::string& r : rows) wanted[r] = 0;
    }

    TableReader reader(&settings_);
    reader.rowsPerPage = 170;  // many pages of rows, their starts inside and between leaf pages
    Walk forward = ReadForward(reader, temp.Folder(), c.table);
    size_t got = 0;
    for (const auto& page : forward.pages) {
      for (const std::string& r : page) {
        ++got;
        auto it = wanted.find(r);
        if (it != wanted.end()) ++it->second;
      }
    }
    size_t missing = 0, repeated = 0;
    for (const auto& [row, seen] : wanted) {
      if (seen == 0) ++missing;
      if (seen > 1) ++repeated;
    }
    EXPECT_EQ(missing, 0u) << "of " << wanted.size() << " intact rows";
    EXPECT_EQ(repeated, 0u);
    if (c.exact) {
      EXPECT_EQ(got, allRows);
    }
    std::printf("[ figures  ] %s: %zu rows read, %zu of %zu rows on intact leaf pages, %llu damaged\n", c.name, got,
                wanted.size() - missing, allRows, static_cast<unsigned long long>(forward.damaged));
    if (c.counted) {
      EXPECT_GT(forward.damaged, 0u);
    } else if (lost.empty()) {
      EXPECT_EQ(forward.damaged, 0u);
    }

    // The same table read again gives the same pages and the same count.
    Walk again = ReadForward(reader, temp.Folder(), c.table);
    EXPECT_EQ(again.pages, forward.pages);
    EXPECT_EQ(again.damaged, forward.damaged);

    // Previous: each page re-read from its stored start, last to first, gives the page Next gave.
    for (size_t i = again.starts.size(); i-- > 0;) {
      SCOPED_TRACE("page " + std::to_string(i + 1));
      reader.suppressPositions = true;
      reader.resumeFromPosition = true;
      ReadPageAt(reader, again.starts[i]);
      EXPECT_EQ(PageTexts(reader), again.pages[i]);
    }
    reader.suppressPositions = false;
    EXPECT_EQ(reader.damagedPagesSkipped, forward.damaged);

    // A reader that resumes at a page start it never walked (as the one reader that takes over a
    // divided walk does) goes on with the pages the whole walk has from there.
    if (forward.starts.size() > 2) {
      const size_t k = forward.starts.size() / 2;
      TableReader late(&settings_);
      late.rowsPerPage = reader.rowsPerPage;
      LoadTableFirstPage(late, temp.Folder(), c.table);
      late.resumePositions = {late.resumePositions.front(), forward.starts[k]};
      std::vector<std::vector<std::string>> tail;
      while (tail.size() < 10000 && late.resumePositions.size() > 1 && !IsEndMarker(late.resumePositions.back()) &&
             LoadFollowingPage(late)) {
        tail.push_back(PageTexts(late));
        if (!late.pageFull) break;
      }
      EXPECT_EQ(tail, std::vector<std::vector<std::string>>(forward.pages.begin() + static_cast<std::ptrdiff_t>(k),
                                                            forward.pages.end()));
    }
  }
}

TEST_F(DamagedTablespace, DamagedDictionaryColumnsStillLoadAndEnd) {
  const std::string ibdata = testing::FixtureDataDir() + "ibdata1";
  std::vector<testing::FixtureTable> tables = testing::ListFixtureTables("InnoDB");
  if (tables.empty()) GTEST_SKIP() << "no fixture tables";
  // The SYS_COLUMNS leaf pages of the intact file.
  std::vector<uint64_t> leaves;
  {
    TableReader reader(&settings_);
    ASSERT_TRUE(reader.LoadSystemTablespace(ibdata));
    ASSERT_FALSE(reader.sysColumns.empty());
    uint64_t p = reader.DescendDictionary(10);
    while (p != 0 && p != kNullPage && leaves.size() < 1000 && reader.ReadPageHeaders(Tablespace::kSystem, p)) {
      leaves.push_back(p);
      p = reader.lastPageHeader.nextPage;
    }
  }
  ASSERT_FALSE(leaves.empty());
  struct Case {
    const char* name;
    size_t from;   // first byte scrambled in each leaf page
    size_t count;
  };
  const Case cases[] = {
      {"records of the SYS_COLUMNS leaves", 200, 6000},
      {"SYS_COLUMNS leaves whole", 0, kPageSize},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDatabase temp("dictionary");
    Bytes bytes = ReadBytes(ibdata);
    for (uint64_t leaf : leaves) Scramble(bytes, leaf * kPageSize + c.from, c.count, static_cast<uint32_t>(leaf));
    const std::string copy = temp.Root() + "/ibdata1";
    WriteBytes(copy, bytes);
    TableReader reader(&settings_);
    ASSERT_TRUE(reader.LoadSystemTablespace(copy));  // SYS_TABLES is intact
    EXPECT_FALSE(reader.sysTables.empty());
    EXPECT_FALSE(reader.sysIndexes.empty());
    for (const testing::FixtureTable& t : tables) {
      SCOPED_TRACE(t.db + "." + t.table);
      reader.rowsPerPage = 500;
      Walk walk = ReadForward(reader, testing::FixtureDataDir() + t.db, t.table);
      EXPECT_LT(walk.pages.size(), 10000u);           // the walk ended by itself
      EXPECT_FALSE(reader.tableDef.columns.empty());  // the .frm still gives the columns
    }
  }
}

}  // namespace
}  // namespace wexholt
