// Reading every row of a table with several readers at once, for output that takes the whole table
// in order (the CLI's rows --all). The walk is divided into runs that each reader walks on its own:
//   InnoDB .ibd   runs of consecutive leaf pages of the clustered index, in leaf-chain order. The
//                 chain is first followed through the page headers alone; a table whose chain is not
//                 intact (a page that is not a leaf of the same index, a loop, a page past the end)
//                 is not divided, since the salvage of the one-reader walk depends on the whole
//                 chain.
//   MyISAM fixed  runs of consecutive row slots.
//   MyISAM dynamic runs of consecutive blocks, their starts found by following the block headers
//                 from the file start as the scan does. A run that does not end exactly where the
//                 next one starts (damage met inside a record) is not used: from its start on the
//                 table is read by one reader to the end.
// Each reader turns its rows into text with its own formatter as it decodes them; the texts reach the caller in
// table order, so the output is byte for byte the one-reader output. Only a few runs are held at
// once, so memory stays bounded by the run size, not by the table.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "definitions/TableReader.h"

namespace wexholt {

struct ParallelRowOptions {
  unsigned readers = 2;                 // readers working at once (2 or more to divide at all)
  uint32_t leafPagesPerRun = 64;        // InnoDB: leaf pages per run (1 MiB of tablespace)
  uint64_t bytesPerRun = 1u << 20;      // MyISAM: .MYD bytes per run
  size_t runsAhead = 0;                 // runs held at once; 0 = twice the readers, plus 2
};

// Appends the text of one row (count cells, in column order) to text; each reader has its own.
using RowTextFormatter = std::function<void(const Cell* const* cells, size_t count, std::string& text)>;
// Makes the formatter of one reader.
using RowTextFormatterFactory = std::function<RowTextFormatter()>;
// Receives the texts in table order; false stops the walk (the output failed).
using TableTextWriter = std::function<bool(std::string_view text)>;

enum class ParallelRowsResult {
  kDone,         // every row was written (or the writer stopped the walk)
  kNotDivided,   // nothing was written: the caller reads the table with one reader
};

// Writes every row of the table that loaded holds (LoadTableFirstPage of folder/tableName was called
// on it) through several readers of their own. loaded reads only what the division cannot give (from
// a run that fell short to the end); its damagedPagesSkipped is set to the whole walk's count.
ParallelRowsResult WriteAllRowsDivided(TableReader& loaded, const std::string& folder,
                                       const std::string& tableName, const RowTextFormatterFactory& makeFormatter,
                                       const TableTextWriter& write, const ParallelRowOptions& options = {});

// The readers a divided walk uses on this machine: the processor count, at most 4; 1 when there is
// one processor (or WEXHOLT_READERS says 1).
unsigned DefaultReaderCount();

}  // namespace wexholt
