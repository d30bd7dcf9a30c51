// Fuzzes the MyISAM readers: a fixed .frm from the fixtures with a fuzzed .MYI and .MYD, read
// through table selection and up to kMaxPages pages of Next.
//
// Input: byte 0 chooses the fixture table (among those with a .MYI); then the .MYI image as a
// 32-bit little-endian length and its bytes; the rest is the .MYD image.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "FuzzSupport.h"
#include "definitions/Collations.h"
#include "definitions/TableReader.h"
#include "workflow/TablePages.h"

using namespace wexholt;

namespace {
// Pages of Next after the first page, and the rows a page holds: a few short pages walk the page
// loop (resume positions, leaf links, page ends) without decoding a thousand rows each.
constexpr int kMaxPages = 4;
constexpr size_t kPageRows = 3;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<fuzz::FixtureTable> tables = [] {
    auto found = fuzz::FixtureTablesWith(".MYI");
    if (found.empty()) {
      std::fprintf(stderr, "no MyISAM table in %s\n", fuzz::FixtureDataDir().c_str());
      std::abort();
    }
    return found;
  }();
  static const std::string folder = fuzz::ScratchFolder() + "db";
  static DecoderSettings settings = [] {
    std::filesystem::create_directories(folder);
    DecoderSettings s;
    s.collations = &BuiltInCollations();
    return s;
  }();
  if (size < 1) return 0;
  // The fixed .frm is written again only when another table is chosen.
  static size_t written = SIZE_MAX;
  const size_t chosen = data[0] % tables.size();
  const fuzz::FixtureTable& table = tables[chosen];
  auto parts = fuzz::SplitInput(data + 1, size - 1, 2);
  if (chosen != written) {
    fuzz::WriteScratchFile(folder + "/t.frm", table.frm.data(), table.frm.size());
    written = chosen;
  }
  fuzz::WriteScratchFile(folder + "/t.MYI", parts[0].data(), parts[0].size());
  fuzz::WriteScratchFile(folder + "/t.MYD", parts[1].data(), parts[1].size());

  TableReader reader(&settings);
  reader.rowsPerPage = kPageRows;
  LoadTableFirstPage(reader, folder, "t");
  for (int page = 0; page < kMaxPages && LoadFollowingPage(reader); ++page) {
  }
  return 0;
}
