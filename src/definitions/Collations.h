// The collation table: collation number -> minimum and maximum bytes per character, character set
// name and collation name.
//
// A built-in table (generated from a MariaDB server's information_schema, Collations.generated.cpp)
// covers every collation number that MariaDB 10.11 and MySQL 5.x define. The file "collation (2)" in
// the current directory, when it exists, replaces entries one by one. Its records, all numbers 32-bit
// little-endian: collation number, minimum bytes, maximum bytes, L1, L1 bytes of text, L2, L2 bytes
// of text (texts in Windows-1252, no terminator); a later record with the same number wins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace wexholt {

struct CollationEntry {
  int32_t minBytes = 0;   // minimum bytes per character
  int32_t maxBytes = 0;   // maximum bytes per character
  std::string charsetName;
  std::string collationName;
  bool operator==(const CollationEntry&) const = default;
};

using CollationTable = std::map<int32_t, CollationEntry>;

// The built-in table.
const CollationTable& BuiltInCollations();

// One row of the built-in table as Collations.generated.cpp lists it.
struct BuiltInCollation {
  int32_t number;
  int32_t minBytes;
  int32_t maxBytes;
  const char* charsetName;
  const char* collationName;
};
// The generated rows, sorted by number (tests/fixtures/gen-collations.sh writes them).
extern const BuiltInCollation kBuiltInCollationRows[];
extern const size_t kBuiltInCollationCount;

// Reads a collation file into table (entries replaced one by one); false when the file cannot be
// opened. A record cut off by the end of the file is dropped.
bool LoadCollationFile(const std::string& path, CollationTable& table);

// The table the program starts with: the built-in table, then "collation (2)" of the current
// directory over it.
CollationTable StartupCollations();

// Character set name of a collation number, "" when unknown.
std::string CharsetOf(const CollationTable& table, int32_t collation);

}  // namespace wexholt
