// View definitions: the .frm of a view is a parameter file (ParameterFile.h) beginning
// "TYPE=VIEW" whose keys include query (the view's SELECT as the server normalised it),
// algorithm (0 UNDEFINED, 1 MERGE, 2 TEMPTABLE), definer_user, definer_host, suid (0 INVOKER,
// 1 DEFINER, 2 the default, DEFINER) and with_check_option (0 none, 1 LOCAL, 2 CASCADED).
#pragma once

#include <string>

namespace wexholt {

// The view's CREATE VIEW statement for display: "CREATE ALGORITHM=UNDEFINED DEFINER=`root`@`localhost`
// SQL SECURITY DEFINER VIEW `<name>` AS <query>;" where name is the file name before its last dot
// and query the value of the first line beginning "query=", its escapes turned back into the
// characters they stand for. Empty when the file cannot be opened; the query part is empty when
// no line holds one.
std::string ViewDefinitionText(const std::string& path);

// The parts of a view file, each value unescaped and as UTF-8.
struct ViewFile {
  bool readable = false;    // the file could be opened
  std::string name;         // from the file name, as ViewDefinitionText takes it
  std::string query;
  int algorithm = 0;
  std::string definerUser;
  std::string definerHost;
  int suid = 2;
  int checkOption = 0;
  std::string clientCharset;      // client_cs_name
  std::string connectionCollation;  // connection_cl_name
};

ViewFile ReadViewFile(const std::string& path);

// "UNDEFINED", "MERGE", "TEMPTABLE" for the algorithm value (UNDEFINED for any other).
std::string ViewAlgorithmName(int algorithm);

}  // namespace wexholt
