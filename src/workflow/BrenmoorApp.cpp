// The process-wide values: the collation table is loaded once, when the object is made, and the
// decoders reach it through decoder.collations.
#include "workflow/BrenmoorApp.h"

namespace wexholt {

CBrenmoorApp::CBrenmoorApp() : collationTable(StartupCollations()) {
  decoder.collations = &collationTable;
}

}  // namespace wexholt
