// Reading a table's rows page by page without a front end: what selecting a table and pressing
// Next do to the TableReader, for the CLI, the save run and the tests. RecoveryWorkflow uses the
// same operations.
#pragma once

#include <string>

#include "definitions/TableReader.h"

namespace wexholt {

// Resets the table-level state of reader, reads folder/tableName.frm and page 1 of the table's rows
// into reader.rowPage (MyISAM .MYD, or InnoDB .ibd / ibdata1 by the dictionary), leaving
// resumePositions as table selection leaves it. folder is the database folder; its last component
// is the database name used for the dictionary lookup.
void LoadTableFirstPage(TableReader& reader, const std::string& folder, const std::string& tableName);

// Reads the page after the one read last into reader.rowPage, as Next does. False (and an empty
// rowPage) when no rows follow.
bool LoadFollowingPage(TableReader& reader);

}  // namespace wexholt
