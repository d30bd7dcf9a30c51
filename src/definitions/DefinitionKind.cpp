#include "definitions/DefinitionKind.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "decoding/DataFile.h"

namespace wexholt {

DefinitionKind DefinitionKindOf(const std::string& path) {
  DataFile file;
  if (!file.Open(path)) return DefinitionKind::kUnreadable;
  std::vector<uint8_t> head = file.Read(0, 9);
  if (head.size() >= 2 && head[0] == 0xFE && head[1] == 0x01) return DefinitionKind::kTable;
  static constexpr char kViewMarker[] = "TYPE=VIEW";
  if (head.size() >= 9 && std::equal(head.begin(), head.begin() + 9, kViewMarker)) return DefinitionKind::kView;
  return DefinitionKind::kOther;
}

}  // namespace wexholt
