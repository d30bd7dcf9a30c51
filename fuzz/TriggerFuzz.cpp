// Fuzzes the trigger definition reader: the input is the whole .TRG file; the same bytes also go
// to the parser of one "triggers=" value.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "definitions/TriggerDefinition.h"

using namespace wexholt;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ScratchFolder() + "t.TRG";
  fuzz::WriteScratchFile(path, data, size);
  TriggerDefinitionText(path);
  TriggerStatementsFromList(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
