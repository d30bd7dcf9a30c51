// Damaged copies of fixture tables: a data folder "paging" holding inno_2500 with one leaf page of
// the middle of its leaf chain zeroed, and myi_2500 with a run of 0xFF bytes (no valid block
// header) in the middle of its dynamic .MYD.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/Fixtures.h"

namespace wexholt::testing {

inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The leaf pages of an .ibd image in leaf-chain order, from the leaf whose previous page is FIL_NULL
// (page header: FIL_PAGE_PREV at 8, FIL_PAGE_NEXT at 12, FIL_PAGE_TYPE at 24, PAGE_LEVEL at 64).
inline std::vector<uint32_t> LeafChain(const std::string& ibd) {
  constexpr size_t kPage = 16384;
  constexpr uint32_t kNull = 0xFFFFFFFF;
  auto be = [&](size_t at, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | static_cast<uint8_t>(ibd[at + static_cast<size_t>(i)]);
    return v;
  };
  const size_t pages = ibd.size() / kPage;
  std::vector<uint32_t> chain;
  for (size_t p = 0; p < pages; ++p) {
    const size_t at = p * kPage;
    if (be(at + 24, 2) == 0x45BF && be(at + 64, 2) == 0 && be(at + 8, 4) == kNull) {
      for (uint32_t q = static_cast<uint32_t>(p); q != kNull && q < pages && chain.size() <= pages;
           q = be(q * kPage + 12, 4)) {
        chain.push_back(q);
      }
      break;
    }
  }
  return chain;
}

// Writes the damaged copies into dataDir + "paging/"; false when the fixtures are missing or the
// leaf chain is too short to have a middle page.
inline bool WriteDamagedPagingTables(const std::string& dataDir) {
  namespace fs = std::filesystem;
  const std::string from = FixtureDataDir() + "paging/";
  const std::string to = dataDir + "paging/";
  std::error_code ec;
  fs::create_directories(to, ec);
  for (const char* name : {"inno_2500.frm", "myi_2500.frm", "myi_2500.MYI"}) {
    if (!fs::copy_file(from + name, to + name, fs::copy_options::overwrite_existing, ec)) return false;
  }
  std::string ibd = ReadWholeFile(from + "inno_2500.ibd");
  const std::vector<uint32_t> chain = LeafChain(ibd);
  if (chain.size() < 3) return false;
  ibd.replace(static_cast<size_t>(chain[chain.size() / 2]) * 16384, 16384, std::string(16384, '\0'));
  WriteWholeFile(to + "inno_2500.ibd", ibd);

  std::string myd = ReadWholeFile(from + "myi_2500.MYD");
  if (myd.size() < 1000) return false;
  myd.replace(myd.size() / 2, 200, std::string(200, '\xFF'));
  WriteWholeFile(to + "myi_2500.MYD", myd);
  return true;
}

}  // namespace wexholt::testing
