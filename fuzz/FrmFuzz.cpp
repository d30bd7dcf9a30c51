// Fuzzes the .frm table definition reader and the column type texts built from what it read: the
// input is the whole .frm file.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "definitions/Collations.h"
#include "definitions/ColumnTypeText.h"
#include "definitions/TableReader.h"

using namespace wexholt;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ScratchFolder() + "t.frm";
  static DecoderSettings settings = [] {
    DecoderSettings s;
    s.collations = &BuiltInCollations();
    return s;
  }();
  fuzz::WriteScratchFile(path, data, size);
  TableReader reader(&settings);
  reader.ReadTableDefinition(path);
  // The type texts read every field of every column record the reader kept.
  for (const ColumnDef& column : reader.tableDef.columns) {
    ColumnTypeText(column, reader.tableDef, *settings.collations);
    ColumnSqlType(column, reader.tableDef, *settings.collations);
  }
  return 0;
}
