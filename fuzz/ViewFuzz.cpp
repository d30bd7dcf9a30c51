// Fuzzes the view definition reader: the input is the whole view .frm (a parameter file).
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "definitions/ViewDefinition.h"

using namespace wexholt;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzz::ScratchFolder() + "v.frm";
  fuzz::WriteScratchFile(path, data, size);
  ReadViewFile(path);
  ViewDefinitionText(path);
  return 0;
}
