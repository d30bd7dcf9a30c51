// The server connection of builds configured without ODBC: it never opens, so a save into a
// server reports why instead of pretending to work. Script saving is unaffected.
#ifndef WEXHOLT_HAVE_ODBC

#include "save/OdbcConnection.h"

namespace wexholt {
namespace {
constexpr const char* kNoOdbc = "This build of the program has no ODBC support.";
}

OdbcConnection::OdbcConnection() = default;
OdbcConnection::~OdbcConnection() = default;

bool OdbcConnection::Open(const std::string&, const std::string&, const std::string&, const std::string&) {
  lastError_ = kNoOdbc;
  return false;
}
void OdbcConnection::Close() {}
bool OdbcConnection::Execute(const std::string&) {
  lastError_ = kNoOdbc;
  return false;
}
bool OdbcConnection::QueryColumn(const std::string&, std::vector<std::string>& values) {
  values.clear();
  lastError_ = kNoOdbc;
  return false;
}
bool OdbcConnection::SetAutoCommit(bool) { return false; }
bool OdbcConnection::Commit() { return false; }
bool OdbcConnection::Rollback() { return false; }

std::string ConnectionTest(const std::string&, const std::string&, const std::string&, const std::string&) {
  return std::string(kConnectionFailed) + "\n" + kNoOdbc;
}

}  // namespace wexholt

#endif
