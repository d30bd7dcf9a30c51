// Fuzzes the InnoDB dictionary load: the input is ibdata1 from page 8 on (usually pages 8 to 12, the
// SYS_TABLES, SYS_COLUMNS and SYS_INDEXES trees of a small data directory). The load reads nothing
// below page 8 but what a fuzzed page link points to, so pages 0 to 7 are left as zeros instead of
// being mutated and written for every input. After the load, the column layout and clustered index root of a few fixture tables are
// looked up in the loaded dictionary, as table selection does.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "definitions/Collations.h"
#include "definitions/TableReader.h"

using namespace wexholt;

namespace {

// A fixture table with its definition read once: the .frm files stay fixed, so reading them again
// for every input would only repeat the same work.
struct KnownTable {
  std::string name;  // database/table
  TableDef tableDef;
  bool newTemporalFormat = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ScratchFolder() + "ibdata1";
  static DecoderSettings settings = [] {
    DecoderSettings s;
    s.collations = &BuiltInCollations();
    return s;
  }();
  static const std::vector<KnownTable> tables = [] {
    std::vector<KnownTable> known;
    const std::string frm = fuzz::ScratchFolder() + "t.frm";
    for (const auto& table : fuzz::FixtureTablesWith(".ibd", 8)) {
      fuzz::WriteScratchFile(frm, table.frm.data(), table.frm.size());
      TableReader reader(&settings);
      reader.ReadTableDefinition(frm);
      known.push_back({table.database + "/" + table.table, reader.tableDef, settings.newTemporalFormat});
    }
    fuzz::RemoveScratchFile(frm);
    return known;
  }();
  fuzz::WriteScratchFileAt(path, 8 * kPageSize, data, size);

  TableReader reader(&settings);
  if (!reader.LoadSystemTablespace(path)) return 0;
  for (const KnownTable& table : tables) {
    reader.ResetTable();
    reader.tableDef = table.tableDef;
    settings.newTemporalFormat = table.newTemporalFormat;
    uint64_t id = reader.FindTableId(table.name);
    if (id == 0) continue;
    reader.LoadLayoutFromDictionary(id);
    reader.FindClusteredIndexRoot(id);
  }
  return 0;
}
