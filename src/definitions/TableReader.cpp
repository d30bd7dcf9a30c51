// The reader context: construction and the two resets that table selection and a new scan use.
#include "definitions/TableReader.h"

namespace wexholt {

TableReader::TableReader(DecoderSettings* settings) : settings_(settings) {}

void TableReader::ResetTable() {
  innoLayout.clear();
  layoutBuild.clear();
  layoutPrefixEntry.clear();
  instantCoreFields = 0;
  instantDefaults.clear();
  nodePointerNullBytes = -1;
  tableColumnRecords.clear();
  rowPage.clear();
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
  ibdPageCount = 0;
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
