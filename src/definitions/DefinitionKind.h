// What a .frm file holds, told by its first bytes: a table definition starts with FE 01, a view
// definition is a text file starting with "TYPE=VIEW"; anything else is kOther, and a file that
// cannot be opened kUnreadable.
#pragma once

#include <string>

namespace wexholt {

enum class DefinitionKind { kTable, kView, kOther, kUnreadable };

DefinitionKind DefinitionKindOf(const std::string& path);

}  // namespace wexholt
