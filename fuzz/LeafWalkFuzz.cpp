// Fuzzes the InnoDB index walk and record decoding over a tablespace image: a fixed .frm from the
// fixtures with a fuzzed .ibd and no ibdata1 (the column layout comes from the definition), read
// through table selection and up to kMaxPages pages of Next.
//
// Input: byte 0 chooses the fixture table (among those with an .ibd); the rest is the .ibd image.
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
    auto found = fuzz::FixtureTablesWith(".ibd");
    if (found.empty()) {
      std::fprintf(stderr, "no InnoDB table in %s\n", fuzz::FixtureDataDir().c_str());
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
  if (chosen != written) {
    fuzz::WriteScratchFile(folder + "/t.frm", table.frm.data(), table.frm.size());
    written = chosen;
  }
  fuzz::WriteScratchFile(folder + "/t.ibd", data + 1, size - 1);

  // One reader for every input, emptied by ResetAll (which also closes its files and forgets the
  // leaf walk): its buffers stay allocated, above all the 1 MiB read-ahead window of the .ibd,
  // which a new reader would allocate and fill with zeros for every input.
  static TableReader reader(&settings);
  reader.ResetAll();
  reader.rowsPerPage = kPageRows;
  LoadTableFirstPage(reader, folder, "t");
  for (int page = 0; page < kMaxPages && LoadFollowingPage(reader); ++page) {
  }
  return 0;
}
