// InnoDB page access: tablespace files read as numbered 16384-byte pages.
//
// Page n occupies bytes n * 16384 .. n * 16384 + 16383 of its file; positions are 64-bit, so
// tablespaces beyond 4 GiB are addressed correctly. Every page starts with the FIL header
// (big-endian):
//   0..3 checksum   4..7 page number   8..11 previous page   12..15 next page (0xFFFFFFFF = none)
//   16..23 LSN      24..25 page type (17855 = index page, 18 = root of a table altered with
//   instant ADD COLUMN)   26..33 flush LSN   34..37 space id
// An index page follows it with the index page header (38..93): nine 16-bit fields (directory
// slots, heap top, heap record count, free list, garbage bytes, last insert, direction, inserts in
// that direction, user records), the maximum transaction id (56..63), the level (64..65, 0 = leaf)
// and the index id (66..73).
//
// A page that lies wholly or partly outside the file is not read: the caller gets false. The leaf
// walk reads each page once, headers and records together.
#include <algorithm>
#include <cstring>

#include "decoding/ByteView.h"
#include "definitions/TableReader.h"

namespace wexholt {

bool TableReader::OpenIbd(const std::string& path) {
  ibdPageCount = 0;
  ResetLeafWalk();  // the leaf walk order belongs to the file it was read from
  ibdWindowPages = 0;
  ibdLastPage = kNullPage;
  if (!ibdFile.Open(path)) return false;
  ibdPageCount = ibdFile.Length() / kPageSize;
  return true;
}

bool TableReader::ReadPageImage(Tablespace ts, uint64_t page, std::vector<uint8_t>& image) const {
  const DataFile& file = TablespaceFile(ts);
  image.assign(kPageSize, 0);
  if (!file.IsOpen() || page >= file.Length() / kPageSize) return false;
  return file.ReadAt(page * kPageSize, image.data(), kPageSize) == kPageSize;
}

namespace {

// The FIL header and, on an index page, the index page header from the first 94 bytes of a page.
void ParsePageHeaders(const uint8_t* bytes, PageHeader& h) {
  ByteView v(bytes, 94);
  h = PageHeader{};
  std::memcpy(h.checksum.data(), bytes, 4);
  h.pageNumber = v.be32(4);
  h.previousPage = v.be32(8);
  h.nextPage = v.be32(12);
  std::memcpy(h.lsn.data(), bytes + 16, 8);
  h.pageType = v.be16(24);
  h.flushLsn = v.be64(26);
  h.spaceId = v.be32(34);
  if (h.pageType == kIndexPageType || h.pageType == kInstantRootPageType) {
    h.directorySlots = v.be16(38);
    h.heapTop = v.be16(40);
    h.heapRecords = v.be16(42);
    h.freeList = v.be16(44);
    h.garbageBytes = v.be16(46);
    h.lastInsert = v.be16(48);
    h.direction = v.be16(50);
    h.directionInserts = v.be16(52);
    h.userRecords = v.be16(54);
    h.maxTrxId = v.be64(56);
    h.level = v.be16(64);
    h.indexId = v.be64(66);
  }
}

constexpr size_t kHeadersSize = 94;

}  // namespace

bool TableReader::ReadPageHeaders(Tablespace ts, uint64_t page) {
  const DataFile& file = TablespaceFile(ts);
  lastPageHeader = PageHeader{};
  if (!file.IsOpen() || page >= file.Length() / kPageSize) return false;
  uint8_t bytes[kHeadersSize] = {};
  if (file.ReadAt(page * kPageSize, bytes, sizeof bytes) != sizeof bytes) return false;
  ParsePageHeaders(bytes, lastPageHeader);
  return true;
}

bool TableReader::ReadPageWithHeaders(Tablespace ts, uint64_t page, std::vector<uint8_t>& image, bool& complete) {
  const DataFile& file = TablespaceFile(ts);
  lastPageHeader = PageHeader{};
  complete = false;
  image.resize(kPageSize);
  if (!file.IsOpen() || page >= file.Length() / kPageSize) {
    std::memset(image.data(), 0, kPageSize);
    return false;
  }
  if (ts == Tablespace::kIbd) {
    // A walk that reads page after page in file order (the leaf chain of a table loaded in key
    // order) is served from a window of kIbdWindowPages pages read at once: one large read costs
    // far less than as many page-sized ones.
    const bool inWindow = page >= ibdWindowFirst && page < ibdWindowFirst + ibdWindowPages;
    if (!inWindow && ibdLastPage != kNullPage && page == ibdLastPage + 1) {
      // No more than the pages left in the file: a small tablespace costs no more than its size.
      const uint64_t pagesLeft = file.Length() / kPageSize - page;
      ibdWindow.resize(std::min(kIbdWindowPages, pagesLeft) * kPageSize);
      const size_t got = file.ReadAt(page * kPageSize, ibdWindow.data(), ibdWindow.size());
      ibdWindowFirst = page;
      ibdWindowPages = got / kPageSize;
    }
    ibdLastPage = page;
    if (page >= ibdWindowFirst && page < ibdWindowFirst + ibdWindowPages) {
      std::memcpy(image.data(), ibdWindow.data() + (page - ibdWindowFirst) * kPageSize, kPageSize);
      ParsePageHeaders(image.data(), lastPageHeader);
      complete = true;
      return true;
    }
  }
  const size_t got = file.ReadAt(page * kPageSize, image.data(), kPageSize);
  if (got < kPageSize) std::memset(image.data() + got, 0, kPageSize - got);
  if (got < kHeadersSize) return false;
  ParsePageHeaders(image.data(), lastPageHeader);
  complete = got == kPageSize;
  return true;
}

}  // namespace wexholt
