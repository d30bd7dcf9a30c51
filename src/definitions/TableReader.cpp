// The reader context: construction and the two resets that table selection and a new scan use.
#include "definitions/TableReader.h"

namespace wexholt {

namespace {

// A cell buffer larger than this is let go when its row is kept for reuse, so that one long value
// does not hold its memory for the rest of the table.
constexpr size_t kKeptCellCapacity = 4096;

}  // namespace

TableReader::TableReader(DecoderSettings* settings) : settings_(settings) {}

void TableReader::ClearRowPage() {
  for (Row& row : rowPage) {
    for (Cell& cell : row) {
      if (cell.text.capacity() > kKeptCellCapacity) std::string().swap(cell.text);
    }
    if (spareRows.size() < rowsPerPage) spareRows.push_back(std::move(row));
  }
  rowPage.clear();
  sinkRows = 0;
  sinkCellOfColumn.clear();
}

void TableReader::RowDone() {
  if (!rowSink || rowPage.empty()) return;
  const Row& row = rowPage.back();
  sinkCells.resize(row.size());
  for (size_t i = 0; i < row.size(); ++i) sinkCells[i] = &row[i];
  rowSink(sinkCells.data(), sinkCells.size());
  spareRows.push_back(std::move(rowPage.back()));
  rowPage.pop_back();
  ++sinkRows;
}

Row& TableReader::AppendEmptyRow(size_t columnCount) {
  if (spareRows.empty()) return rowPage.emplace_back(columnCount);
  Row& row = rowPage.emplace_back(std::move(spareRows.back()));
  spareRows.pop_back();
  row.resize(columnCount);
  for (Cell& cell : row) {
    cell.text.clear();
    cell.kind = CellKind::kText;
  }
  return row;
}

void TableReader::ResetTable() {
  innoLayout.clear();
  layoutBuild.clear();
  layoutPrefixEntry.clear();
  instantCoreFields = 0;
  instantDefaults.clear();
  nodePointerNullBytes = -1;
  tableColumnRecords.clear();
  rowPage.clear();
  spareRows.clear();
  sinkRows = 0;
  myisamFields.clear();
  tableDef.columns.clear();
  tableDef.enumValues.clear();
  tableDef.indexes.clear();
  tableDef.checkConstraints.clear();
  resumePositions.clear();
  pageFull = false;
  suppressPositions = false;
  readingIbd = false;
  resumeFromPosition = false;
  damagedPagesSkipped = 0;
  ResetLeafWalk();
  stopAtLeafPage = kNullPage;
  stopAtPosition = UINT64_MAX;
  stoppedAtLeafPage = false;
  myisamScanEnd = 0;
  ibdPageCount = 0;
  ibdWindowPages = 0;
  ibdLastPage = kNullPage;
  myisamDataFile.Close();
  ibdFile.Close();
}

void TableReader::ResetAll() {
  ResetTable();
  definitionFile.Close();
  myisamIndexFile.Close();
  systemFile.Close();
  systemPageCount = 0;
  lastPageHeader = PageHeader{};
  sysTables.clear();
  sysColumns.clear();
  sysIndexes.clear();
  tableDef = TableDef{};
  rowFormat = kRowFormatFixed;
  baseInfo = MyisamBaseInfo{};
}

}  // namespace wexholt
