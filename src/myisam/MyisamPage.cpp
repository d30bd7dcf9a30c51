// One page of rows from a .MYD file: up to rowsPerPage rows from a byte position on.
//
// Fixed rows: one row every row step bytes. The step is recordLength when it equals the .MYI's
// packed record length or that is unknown (0); otherwise the packed length when it is smaller than
// the file, else recordLength. Deleted slots give no row and do not count.
//
// Dynamic rows: a record is found at a block that starts one (deleted and out-of-sequence blocks
// there are stepped over); its data is collected from its blocks along their next-block links and
// unpacked as one record. The scan goes on at the end of the record's first block, so the later
// blocks of a record that grew, met there as continuation blocks, are stepped over too.
//
// The scan always moves forward. A row step of 0 ends a fixed-row page. In dynamic rows a damaged
// record (a type byte above 13, a block that would not move the position, a continuation that is
// free space, adds no data or leads outside the file, a record longer than the file, a record that
// cannot be unpacked, a free or out-of-sequence block at an aligned position that PlausibleBlockAt
// does not take) gives no row: the scan resumes at the next plausible block header after the
// record's start (FindNextBlockHeader, or the end of the file when there is none) and counts one
// damaged region in damagedPagesSkipped.
// A full page records the start of the next one (unless suppressPositions).
#include "definitions/TableReader.h"
#include "myisam/BlockResync.h"

namespace wexholt {

uint64_t TableReader::MyisamFixedRowStep() const {
  const uint64_t fileLength = myisamDataFile.Length();
  const uint64_t recordLength = tableDef.recordLength > 0 ? static_cast<uint64_t>(tableDef.recordLength) : 0;
  if (recordLength == baseInfo.packedRecordLength || baseInfo.packedRecordLength == 0) return recordLength;
  return baseInfo.packedRecordLength < fileLength ? baseInfo.packedRecordLength : recordLength;
}

void TableReader::ReadMyisamPage(uint64_t start) {
  pageFull = false;
  if (!myisamDataFile.IsOpen()) return;
  PrepareMyisamPlaces();
  const uint64_t fileLength = myisamDataFile.Length();
  auto pageIsFull = [&](uint64_t next) {
    if (PageRowCount() < rowsPerPage) return false;
    pageFull = true;
    if (!suppressPositions) resumePositions.push_back(ResumePosition{0, next});
    return true;
  };

  if (rowFormat == kRowFormatFixed) {
    const uint64_t step = MyisamFixedRowStep();
    for (uint64_t pos = start; pos < fileLength && pos < stopAtPosition;) {
      DecodeFixedRow(pos);
      RowDone();
      if (step == 0) break;
      const uint64_t next = pos + step;
      if (next > fileLength || next < pos) break;
      if (pageIsFull(next)) break;
      pos = next;
    }
    return;
  }
  if (rowFormat != kRowFormatDynamic) return;

  BlockInfo info;
  uint64_t pos = start;
  while (pos < fileLength && pos < stopAtPosition) {
    myisamRecord.clear();
    uint32_t blocks = 0;
    uint64_t remaining = 1;
    uint64_t firstBlockEnd = 0;
    uint64_t at = pos;
    bool endPage = false;
    do {
      const uint32_t flags = ReadBlockHeader(at, info);
      if (info.header[0] > 13) { endPage = true; break; }
      const bool unusable = (flags & (kBlockDeleted | kBlockOutOfSequence)) != 0;
      if (blocks == 0 && unusable) {
        const uint64_t next = info.dataPosition + info.blockLength;
        if (next <= at || next > fileLength) { endPage = true; break; }
        // A block the scan steps over unread is checked as a resync candidate is (when the scan
        // stands at an aligned position, as in every file the server writes): a garbled length
        // there would otherwise skip intact records.
        uint64_t checkedEnd = 0;
        if (at % kDynamicBlockAlign == 0 && !PlausibleBlockAt(*this, at, fileLength, checkedEnd)) {
          endPage = true;
          break;
        }
        at = pos = next;
        info.secondRead = 0;
        continue;
      }
      if (blocks != 0 && (flags & kBlockDeleted)) { endPage = true; break; }
      if (blocks == 0) {
        remaining = info.recordSize;
        firstBlockEnd = info.dataPosition + info.blockLength;
        if (remaining > fileLength) { endPage = true; break; }
      }
      if (remaining < info.dataLength) { endPage = true; break; }
      if (info.dataLength != 0) {
        const ByteView data = MyisamDataBytes(info.dataPosition, info.dataLength);
        if (data.size() < info.dataLength) { endPage = true; break; }
        myisamRecord.insert(myisamRecord.end(), data.data(), data.data() + data.size());
      }
      remaining -= info.dataLength;
      ++blocks;
      if (remaining == 0) break;
      if (info.dataLength == 0 || info.nextPosition >= fileLength) { endPage = true; break; }
      at = info.nextPosition;
    } while (remaining != 0);
    if (!endPage) {
      const uint32_t total = static_cast<uint32_t>(myisamRecord.size());
      myisamRecord.push_back(0);
      const size_t rowsBefore = rowPage.size();
      DecodeDynamicRecord(myisamRecord.data(), total);
      endPage = rowPage.size() == rowsBefore;  // the record could not be unpacked
      RowDone();
    }
    if (endPage) {
      if (pos >= fileLength) break;  // free space ran up to the end of the file
      // A damaged region: go on at the next plausible block header after the record's start.
      ++damagedPagesSkipped;
      pos = FindNextBlockHeader(*this, pos + 1, fileLength);
      info = BlockInfo{};
      continue;
    }
    if (firstBlockEnd <= pos) break;
    pos = firstBlockEnd;
    info = BlockInfo{};
    if (pageIsFull(pos)) break;
  }
  myisamScanEnd = pos;
}

}  // namespace wexholt
