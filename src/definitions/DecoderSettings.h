// The process-wide values that the readers and value decoders consult: the save mode, where
// external values go in save mode, and the collation table.
#pragma once

#include <cstdint>
#include <string>

#include "definitions/Collations.h"

namespace wexholt {

struct DecoderSettings {
  // Set by the last definition read: the .frm was written by a server of version 50600 or later.
  // Temporal layouts follow their type codes; this flag is kept for what it records.
  bool newTemporalFormat = false;
  // Save mode: binary and spatial values come out in full, external InnoDB values are copied to
  // files under saveFolder + "blobdata/" (or read in full into the cell when saveFolder is empty).
  bool saveToFolder = false;
  bool saveToServer = false;
  std::string saveFolder;       // ends with '/'
  uint64_t blobFileCounter = 0;
  // Save run into scripts or a server: external values are read in full into the cell (hex for
  // binary columns) instead of being copied into files.
  bool inlineExternalValues = false;
  const CollationTable* collations = nullptr;

  bool SaveMode() const { return saveToFolder || saveToServer; }
};

}  // namespace wexholt
