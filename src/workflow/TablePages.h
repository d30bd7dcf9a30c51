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

// Reads one page of rows from start into reader.rowPage (emptied first) by the engine of the table
// loaded last: MyISAM from the .MYD position start.offset, InnoDB from leaf page start.page at
// record offset start.offset of the .ibd file, or of ibdata1 when the table has no .ibd open.
// Leaves pageFull and the appended start of the next page as the readers leave them.
void ReadPageAt(TableReader& reader, const ResumePosition& start);

// The line that reports what a walk of the table to its end skipped as damaged, from
// reader.damagedPagesSkipped: "<database>.<table>: N damaged pages skipped" for InnoDB leaf pages,
// "... damaged regions skipped" for regions of a MyISAM .MYD ("1 damaged page skipped", "1 damaged
// region skipped" for one). Empty when nothing was skipped.
std::string DamagedPagesLine(const TableReader& reader, const std::string& database, const std::string& table);

// The path of the file base + "." + extension as it exists: the extension as given, then in upper
// case, then any spelling of it found in the folder (the scan compares extensions without regard to
// case; MariaDB writes .frm, .MYI and .MYD). base + "." + extension when none exists.
std::string ExistingDataFilePath(const std::string& base, const std::string& extension);

}  // namespace wexholt
