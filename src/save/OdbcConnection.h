// OdbcConnection: one connection to a live server through the ODBC driver manager (unixODBC) and
// the driver registered as "MySql ODBC 5.1 Driver" (the MariaDB Connector/ODBC library).
//
// The connection string names the driver, the server, the option bits and the port; the user and
// the password travel separately and are appended to the string only at the moment of the
// SQLDriverConnect call. Statements are sent one at a time (the option bits do not allow several
// statements in one call), and the option bits also make the server ignore a database qualifier
// (db.table means table of the current database): callers choose the database with USE. Every failure leaves the driver's own diagnostic text in LastError():
// the SQLSTATE in brackets followed by the message ("[HY000] ... Can't connect to server ...").
//
// Builds configured without ODBC get a connection that never opens (NoOdbc.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wexholt {

inline constexpr const char* kOdbcDriverName = "MySql ODBC 5.1 Driver";
inline constexpr const char* kConnectionSuccessful = "Connection is successful";
inline constexpr const char* kConnectionFailed = "Connection is Failed";

// "Driver={MySql ODBC 5.1 Driver};Server=" + server + ";Option=16834;Port=" + port + ";"
inline std::string BuildConnectionString(const std::string& server, const std::string& port) {
  return std::string("Driver={") + kOdbcDriverName + "};Server=" + server + ";Option=16834;Port=" + port + ";";
}

class OdbcConnection {
 public:
  OdbcConnection();
  ~OdbcConnection();  // closes
  OdbcConnection(const OdbcConnection&) = delete;
  OdbcConnection& operator=(const OdbcConnection&) = delete;

  // Connects with connectionString; user and password are handed to the driver separately from
  // it. extraAttributes ("CHARSET=utf8mb4;") are added to the string for this call only. False
  // (and LastError) when the driver manager, the driver or the server refuses.
  bool Open(const std::string& connectionString, const std::string& user, const std::string& password,
            const std::string& extraAttributes = "");
  bool IsOpen() const { return connected_; }
  void Close();

  // Runs one statement. False and LastError (and LastNativeError, the server's error number) when
  // the statement fails.
  bool Execute(const std::string& sql);
  // Runs a query and gives the first column of every result row as text ("NULL" rows give "").
  bool QueryColumn(const std::string& sql, std::vector<std::string>& values);

  // Transactions: autocommit off begins explicit transactions that Commit or Rollback end.
  bool SetAutoCommit(bool on);
  bool Commit();
  bool Rollback();

  const std::string& LastError() const { return lastError_; }
  int32_t LastNativeError() const { return lastNative_; }

 private:
  // Clears the last error and executes sql on a new statement handle, which it returns (the caller
  // frees it) with the execution's SQLRETURN in result; nullptr when not connected or no handle could
  // be had (LastError says why).
  void* RunStatement(const std::string& sql, int16_t& result);

  void* env_ = nullptr;   // SQLHENV
  void* dbc_ = nullptr;   // SQLHDBC
  bool connected_ = false;
  std::string lastError_;
  int32_t lastNative_ = 0;
};

// The Test Connection check of the Save Database dialog: opens and closes a connection with the
// texts of its edits. "Connection is successful", or "Connection is Failed" + "\n" + the driver's
// error text.
std::string ConnectionTest(const std::string& server, const std::string& port, const std::string& user,
                           const std::string& password);
inline bool ConnectionTestSucceeded(const std::string& result) { return result == kConnectionSuccessful; }

}  // namespace wexholt
