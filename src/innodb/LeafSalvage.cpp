// The order of the leaf walk and its salvage when the leaf chain breaks.
//
// The walk follows the next page numbers of the leaf level (FIL header bytes 12..15) from the
// leftmost leaf on. A page reached that way belongs to the chain when it is a readable leaf page of
// the same index (index page type, level 0 at bytes 64..65, the index id of the first leaf at
// 66..73, a whole page, an infimum record) and its previous page number (bytes 8..11) names the page
// it was reached from. Otherwise the chain breaks there, as it does at a next page number past the
// end of the file or back into the pages already walked. From the break on the walk reads, in
// page-number order, every other readable leaf page of the index that the chain did not reach,
// found by one scan of the page headers of the whole file. That scan runs once per table and only
// after a break: an intact chain costs one table entry per page.
//
// The count of damaged pages compares the leaf pages' page numbers with what the scan found: a
// previous or next page number that leads to a page of the file that is not a readable leaf page
// of the index names a page lost to damage.
#include <algorithm>
#include <unordered_set>

#include "decoding/ByteView.h"
#include "definitions/TableReader.h"

namespace wexholt {

namespace {

constexpr size_t kInfimumOrigin = 99;
constexpr size_t kRedundantInfimumOrigin = 101;

// The infimum of a COMPACT page holds "infimum"; the root of a table whose columns were dropped or
// reordered instantly (page type 18) holds zero bytes there; a REDUNDANT page holds it at 101.
bool HasInfimum(const ByteView& v, const PageHeader& h) {
  if ((h.heapRecords & 0x8000) == 0) return v.CString(kRedundantInfimumOrigin) == "infimum";
  if (v.CString(kInfimumOrigin) == "infimum") return true;
  if (h.pageType != kInstantRootPageType) return false;
  for (size_t i = 0; i < 8; ++i) {
    if (v.u8(kInfimumOrigin + i) != 0) return false;
  }
  return true;
}

}  // namespace

void TableReader::ResetLeafWalk() {
  leafOrder.clear();
  leafOrderSlot.clear();
  leafSalvage = false;
  leafIndexKnown = false;
  leafIndexId = 0;
  leafFirstPage = kNullPage;
  leafDamage.clear();
}

size_t TableReader::BeginLeafWalk(uint64_t page) {
  auto it = leafOrderSlot.find(page);
  if (it != leafOrderSlot.end()) return it->second;
  // A walk from a page this order does not hold (the first walk of the table, or a start given
  // from elsewhere, such as a run of a divided walk) starts the order anew; should the chain break,
  // the pages from the table's first leaf to this start are put before it (CompleteLeafSalvageOrder).
  // What was counted as damage stays counted.
  if (leafFirstPage == kNullPage) leafFirstPage = page;
  leafOrder.clear();
  leafOrderSlot.clear();
  leafSalvage = false;
  leafOrder.push_back(page);
  leafOrderSlot.emplace(page, 0);
  return 0;
}

bool TableReader::IsWalkedLeafPage(const std::vector<uint8_t>& image, bool complete) {
  const PageHeader& h = lastPageHeader;
  if (!complete || !IsIndexPageType(h.pageType) || h.level != 0) return false;
  if (!leafIndexKnown) {
    leafIndexId = h.indexId;
    leafIndexKnown = true;
  } else if (h.indexId != leafIndexId) {
    return false;
  }
  return HasInfimum(ByteView(image.data(), image.size()), h);
}

void TableReader::NoteLeafDamage(uint64_t key) {
  ++leafDamageMet;
  if (leafDamage.insert(key).second) ++damagedPagesSkipped;
}

size_t TableReader::FollowingLeafSlot(Tablespace ts, size_t slot, uint32_t next, bool& followed) {
  followed = false;
  if (leafSalvage || slot + 1 < leafOrder.size()) return slot + 1;
  if (next == kNullPage) return leafOrder.size();  // the end of an intact chain
  const uint64_t page = leafOrder[slot];
  const bool outside = next >= TablespacePageCount(ts) || (ts == Tablespace::kSystem && next == 0);
  if (outside || leafOrderSlot.count(next) != 0) {
    // Past the end of the file (a cut-off tablespace) or back into the chain (a loop).
    NoteLeafDamage(2 * page + 1);
    return CompleteLeafSalvageOrder(ts, page);
  }
  leafOrderSlot.emplace(next, leafOrder.size());
  leafOrder.push_back(next);
  followed = true;
  return slot + 1;
}

size_t TableReader::BreakLeafChain(Tablespace ts, size_t slot, uint64_t damageKey) {
  leafOrderSlot.erase(leafOrder[slot]);
  leafOrder.erase(leafOrder.begin() + static_cast<std::ptrdiff_t>(slot));
  NoteLeafDamage(damageKey);
  return CompleteLeafSalvageOrder(ts, leafOrder[slot - 1]);
}

size_t TableReader::CompleteLeafSalvageOrder(Tablespace ts, uint64_t after) {
  auto placeAfter = [this, after](size_t otherwise) {
    auto it = leafOrderSlot.find(after);
    return it != leafOrderSlot.end() ? it->second + 1 : otherwise;
  };
  if (leafSalvage) return placeAfter(leafOrder.size());
  leafSalvage = true;
  if (!leafIndexKnown) return placeAfter(leafOrder.size());
  const PageHeader saved = lastPageHeader;  // callers look at the header of the page read last
  const uint64_t count = TablespacePageCount(ts);
  std::vector<uint8_t> image;
  // An order started after the table's first leaf gets the chain from that leaf up to its start
  // before it, so that the order is the one a walk from the first leaf has. When that chain does
  // not reach the start, the start lies after a break of the chain from the first leaf: its pages
  // take their places in page order with the other pages after that break.
  std::vector<uint64_t> before;
  if (!leafOrder.empty() && leafFirstPage != kNullPage && leafFirstPage != leafOrder.front()) {
    std::unordered_set<uint64_t> seen;
    uint64_t previous = kNullPage;
    uint64_t p = leafFirstPage;
    for (; p != leafOrder.front() && p < count && seen.insert(p).second;) {
      if (leafOrderSlot.count(p) != 0 || (ts == Tablespace::kSystem && p == 0)) break;
      bool complete = false;
      if (!ReadPageWithHeaders(ts, p, image, complete) || !IsWalkedLeafPage(image, complete)) break;
      if (previous != kNullPage && lastPageHeader.previousPage != previous) break;
      before.push_back(p);
      previous = p;
      p = lastPageHeader.nextPage;
    }
    if (p != leafOrder.front()) leafOrder.clear();
    leafOrder.insert(leafOrder.begin(), before.begin(), before.end());
    leafOrderSlot.clear();
    for (size_t i = 0; i < leafOrder.size(); ++i) leafOrderSlot[leafOrder[i]] = i;
  }
  struct Links {
    uint64_t page;
    uint32_t previous;
    uint32_t next;
  };
  std::vector<Links> links;
  for (uint64_t q = ts == Tablespace::kSystem ? 1 : 0; q < count; ++q) {
    // The 94 header bytes decide; only a leaf page of the index is read whole.
    if (!ReadPageHeaders(ts, q)) continue;
    const PageHeader& h = lastPageHeader;
    if (!IsIndexPageType(h.pageType) || h.level != 0 || h.indexId != leafIndexId) continue;
    if (leafOrderSlot.count(q) == 0) {
      bool complete = false;
      if (!ReadPageWithHeaders(ts, q, image, complete) || !IsWalkedLeafPage(image, complete)) {
        NoteLeafDamage(2 * q);
        continue;
      }
      leafOrderSlot.emplace(q, leafOrder.size());
      leafOrder.push_back(q);
    }
    links.push_back({q, lastPageHeader.previousPage, lastPageHeader.nextPage});
  }
  for (const Links& l : links) {
    for (uint32_t to : {l.previous, l.next}) {
      if (to == kNullPage || leafOrderSlot.count(to) != 0) continue;
      if (to < count && !(ts == Tablespace::kSystem && to == 0)) {
        NoteLeafDamage(2 * uint64_t{to});
      } else if (to == l.next) {
        NoteLeafDamage(2 * l.page + 1);
      }
    }
  }
  lastPageHeader = saved;
  return placeAfter(before.size());
}

}  // namespace wexholt
