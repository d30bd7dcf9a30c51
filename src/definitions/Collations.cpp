// Collation table: the built-in rows and the collation file "collation (2)".
//
// The file is a sequence of records up to its end, every number 32-bit little-endian:
//   offset 0            collation number
//   offset 4            minimum bytes per character
//   offset 8            maximum bytes per character
//   offset 12           L1, byte count of the first text (character set name)
//   offset 16           L1 bytes of text, Windows-1252, no terminator
//   offset 16 + L1      L2, byte count of the second text (collation name)
//   offset 20 + L1      L2 bytes of text
// A record is 20 + L1 + L2 bytes. A later record with the same number replaces the earlier entry.
// A record that the end of the file cuts off (including one whose lengths point past the end) is
// dropped and ends the reading, so damaged lengths can neither loop nor read outside the file.
#include "definitions/Collations.h"

#include "decoding/ByteView.h"
#include "decoding/DataFile.h"
#include "decoding/Text.h"

#include <vector>

namespace wexholt {
namespace {

constexpr const char* kCollationFileName = "collation (2)";
constexpr size_t kNumbersBeforeText = 16;  // number, minimum, maximum, L1

}  // namespace

const CollationTable& BuiltInCollations() {
  static const CollationTable table = [] {
    CollationTable built;
    for (size_t i = 0; i < kBuiltInCollationCount; ++i) {
      const BuiltInCollation& row = kBuiltInCollationRows[i];
      built[row.number] = CollationEntry{row.minBytes, row.maxBytes, row.charsetName, row.collationName};
    }
    return built;
  }();
  return table;
}

bool LoadCollationFile(const std::string& path, CollationTable& table) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeDataFile(path, bytes)) return false;
  const ByteView file(bytes.data(), bytes.size());
  size_t at = 0;
  while (file.Contains(at, kNumbersBeforeText)) {
    const int32_t number = static_cast<int32_t>(file.le32(at));
    const int32_t minBytes = static_cast<int32_t>(file.le32(at + 4));
    const int32_t maxBytes = static_cast<int32_t>(file.le32(at + 8));
    const size_t text1 = at + kNumbersBeforeText;
    const size_t length1 = file.le32(at + 12);
    if (!file.Contains(text1, length1) || !file.Contains(text1 + length1, 4)) break;
    const size_t length2 = file.le32(text1 + length1);
    const size_t text2 = text1 + length1 + 4;
    if (!file.Contains(text2, length2)) break;
    table[number] = CollationEntry{minBytes, maxBytes, Cp1252ToUtf8(file.Sub(text1, length1).AsString()),
                                   Cp1252ToUtf8(file.Sub(text2, length2).AsString())};
    at = text2 + length2;
  }
  return true;
}

CollationTable StartupCollations() {
  CollationTable table = BuiltInCollations();
  LoadCollationFile(kCollationFileName, table);
  return table;
}

std::string CharsetOf(const CollationTable& table, int32_t collation) {
  auto it = table.find(collation);
  return it == table.end() ? std::string() : it->second.charsetName;
}

}  // namespace wexholt
