// Next and Previous: moving through a table's rows 1000 at a time from the saved page starts.
//
// reader.resumePositions is a stack of page starts. While page k is on screen it holds the starts
// of pages 1..k, then the start of page k + 1 when page k was full, or an end marker when page k
// was reached by Next and was short (a short page 1 has nothing after its start). Previous drops
// the last entry, re-reads the page below the new last one and keeps the start of the page it left
// as the last entry, which restores that shape for page k - 1.
//
// A reader failing inside a page ends that page the way a short page ends: the rows read so far
// are shown, no further start is kept, busy is cleared and the progress indicator hidden.
#include <cinttypes>
#include <cstdio>

#include "decoding/Text.h"
#include "workflow/TablePages.h"
#include "workflow/Workflow.h"

namespace wexholt {

namespace {

std::string RowRangeCaption(int64_t first, int64_t last) {
  char text[64];
  std::snprintf(text, sizeof text, "%" PRId64 " rows to %" PRId64, first, last);
  return text;
}

}  // namespace

void RecoveryWorkflow::FinishPaging() {
  app.busy.store(0);
  ui.ProgressShow(false);
}

void RecoveryWorkflow::ReportDamagedPages() {
  if (damageReported_ || selectedItemData < 1 || static_cast<size_t>(selectedItemData - 1) >= tableEntries.size()) {
    return;
  }
  const TableEntry& entry = tableEntries[static_cast<size_t>(selectedItemData - 1)];
  if (entry.databaseIndex < 0 || static_cast<size_t>(entry.databaseIndex) >= databaseFolders.size()) return;
  const std::string line = DamagedPagesLine(
      reader, LastPathComponent(databaseFolders[static_cast<size_t>(entry.databaseIndex)]), entry.tableName);
  if (line.empty()) return;
  damageReported_ = true;
  AddOutputAndLogLine(line);
}

int RecoveryWorkflow::NextPage() {
  if (Refused()) return 0;
  app.busy.store(1);
  ui.ProgressShow(true);

  std::deque<ResumePosition>& positions = reader.resumePositions;
  const size_t n = positions.size();
  if (n <= 1) {
    ui.NextSetEnabled(false);
    FinishPaging();
    return 1;
  }
  const ResumePosition top = positions.back();
  if ((n == static_cast<size_t>(lastPositionCount) && top == currentPageStart) || IsEndMarker(top)) {
    // One end marker is enough: a second one would make Previous re-read the last page.
    if (!IsEndMarker(top)) positions.push_back({kEndMarkerPage, top.offset});
    ui.MessageBox("No more records in table", MessageIcon::kInformation);
    ui.NextSetEnabled(false);
    ReportDamagedPages();
    FinishPaging();
    return 1;
  }

  ui.PreviousSetEnabled(true);
  currentPageStart = top;
  lastPositionCount = static_cast<int32_t>(n);
  reader.suppressPositions = false;
  reader.resumeFromPosition = true;
  reader.ClearRowPage();
  const size_t before = positions.size();
  // A page walked before (Previous, then Next again) adds no damage to the count.
  const bool readBefore = pageLastRow < walkedRows_;
  const uint64_t damaged = reader.damagedPagesSkipped;
  try {
    ReadPageAt(reader, top);
  } catch (...) {
    // Keep the rows read so far; forget a next start the failed read may have recorded.
    positions.resize(before);
    reader.pageFull = false;
  }
  if (readBefore) reader.damagedPagesSkipped = damaged;

  const int64_t rows = ShowRowPage();
  pageFirstRow = pageLastRow;
  pageLastRow = pageLastRow + rows;
  rowsRead += rows;
  if (pageLastRow > walkedRows_) walkedRows_ = pageLastRow;
  if (rows < static_cast<int64_t>(kRowsPerPage) || !reader.pageFull) {
    positions.push_back({kEndMarkerPage, top.offset});
    ui.MessageBox("No more records in table", MessageIcon::kInformation);
    ui.NextSetEnabled(false);
    ReportDamagedPages();
  }
  ui.SetCaptionText(RowRangeCaption(pageFirstRow, pageLastRow));
  FinishPaging();
  return 1;
}

int RecoveryWorkflow::PreviousPage() {
  if (Refused()) return 0;
  app.busy.store(1);
  ui.ProgressShow(true);

  std::deque<ResumePosition>& positions = reader.resumePositions;
  const size_t n = positions.size();
  if (n <= 1) {
    ui.PreviousSetEnabled(false);
    FinishPaging();
    return 1;
  }
  ui.NextSetEnabled(true);
  ui.PreviousSetEnabled(true);

  ResumePosition target;
  if (n > 2) {
    positions.pop_back();
    ResumePosition a = positions.back();
    positions.pop_back();
    target = positions.back();
    positions.push_back(a);
    if (positions.size() == 2) ui.PreviousSetEnabled(false);
  } else {
    lastPositionCount = 2;
    ResumePosition a = positions.back();
    positions.pop_back();
    target = positions.back();
    positions.push_back(a);
    ui.PreviousSetEnabled(false);
  }

  currentPageStart = target;
  reader.resumeFromPosition = true;
  reader.ClearRowPage();
  reader.suppressPositions = true;
  const size_t before = positions.size();
  const uint64_t damaged = reader.damagedPagesSkipped;  // a page walked before adds no damage
  try {
    ReadPageAt(reader, target);
  } catch (...) {
    positions.resize(before);
  }
  reader.damagedPagesSkipped = damaged;

  const int64_t rows = ShowRowPage();
  pageFirstRow -= static_cast<int64_t>(kRowsPerPage);
  pageLastRow = pageFirstRow + rows;
  rowsRead -= rows;
  ui.SetCaptionText(RowRangeCaption(pageFirstRow, pageLastRow));
  FinishPaging();
  return 1;
}

}  // namespace wexholt
