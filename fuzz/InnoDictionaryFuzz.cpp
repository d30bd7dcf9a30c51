// Fuzzes the InnoDB dictionary load: the input is an ibdata1 image (usually its first pages: the
// file header, the dictionary header on page 7 and the SYS_TABLES, SYS_COLUMNS and SYS_INDEXES
// trees). After the load, the column layout and clustered index root of a few fixture tables are
// looked up in the loaded dictionary, as table selection does.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "definitions/Collations.h"
#include "definitions/TableReader.h"

using namespace wexholt;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<fuzz::FixtureTable> tables = fuzz::FixtureTablesWith(".ibd", 8);
  static const std::string path = fuzz::ScratchFolder() + "ibdata1";
  static const std::string frm = fuzz::ScratchFolder() + "t.frm";
  static DecoderSettings settings = [] {
    DecoderSettings s;
    s.collations = &BuiltInCollations();
    return s;
  }();
  fuzz::WriteScratchFile(path, data, size);

  TableReader reader(&settings);
  if (!reader.LoadSystemTablespace(path)) return 0;
  for (const auto& table : tables) {
    reader.ResetTable();
    reader.tableDef = TableDef();
    fuzz::WriteScratchFile(frm, table.frm.data(), table.frm.size());
    reader.ReadTableDefinition(frm);
    uint64_t id = reader.FindTableId(table.database + "/" + table.table);
    if (id == 0) continue;
    reader.LoadLayoutFromDictionary(id);
    reader.FindClusteredIndexRoot(id);
  }
  return 0;
}
