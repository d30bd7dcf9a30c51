// View definitions from a view's parameter file.
#include "definitions/ViewDefinition.h"

#include <cstdlib>

#include "definitions/FrmReader.h"
#include "definitions/ParameterFile.h"

namespace wexholt {

namespace {

// The file name after the last '/', cut before its last dot; empty without either.
std::string ViewNameFromPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  const std::string file = path.substr(slash + 1);
  const size_t dot = file.rfind('.');
  if (dot == std::string::npos) return {};
  return file.substr(0, dot);
}

std::string TextValue(const std::vector<std::string>& lines, const char* key) {
  auto raw = ParameterValue(lines, key);
  return raw ? DefinitionText(UnescapeParameterValue(*raw)) : std::string();
}

int NumberValue(const std::vector<std::string>& lines, const char* key, int fallback) {
  auto raw = ParameterValue(lines, key);
  if (!raw || raw->empty()) return fallback;
  return std::atoi(raw->c_str());
}

}  // namespace

std::string ViewAlgorithmName(int algorithm) {
  switch (algorithm) {
    case 1: return "MERGE";
    case 2: return "TEMPTABLE";
    default: return "UNDEFINED";
  }
}

ViewFile ReadViewFile(const std::string& path) {
  ViewFile view;
  view.name = ViewNameFromPath(path);
  auto lines = ReadParameterFileLines(path);
  if (!lines) return view;
  view.readable = true;
  view.query = TextValue(*lines, "query");
  view.algorithm = NumberValue(*lines, "algorithm", 0);
  view.definerUser = TextValue(*lines, "definer_user");
  view.definerHost = TextValue(*lines, "definer_host");
  view.suid = NumberValue(*lines, "suid", 2);
  view.checkOption = NumberValue(*lines, "with_check_option", 0);
  view.clientCharset = TextValue(*lines, "client_cs_name");
  view.connectionCollation = TextValue(*lines, "connection_cl_name");
  return view;
}

std::string ViewDefinitionText(const std::string& path) {
  const ViewFile view = ReadViewFile(path);
  if (!view.readable) return {};
  return "CREATE ALGORITHM=UNDEFINED DEFINER=`root`@`localhost` SQL SECURITY DEFINER VIEW `" + view.name +
         "` AS " + view.query + ";";
}

}  // namespace wexholt
