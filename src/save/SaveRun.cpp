#include "save/SaveRun.h"

namespace wexholt {

SaveSummary RunSave(const std::string&, const std::vector<TableLocation>&, const SaveOptions&,
                    DecoderSettings&, SaveProgress& progress) {
  progress.Line("Saving is not available in this build.");
  return {};
}

}  // namespace wexholt
