#include "save/OdbcConnection.h"

#include <sql.h>
#include <sqlext.h>

namespace wexholt {
namespace {

SQLHENV Env(void* p) { return static_cast<SQLHENV>(p); }
SQLHDBC Dbc(void* p) { return static_cast<SQLHDBC>(p); }

bool Succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// Every diagnostic record of a handle: "[SQLSTATE] message", records joined by "\n". The native
// error of the first record goes to native.
std::string Diagnostics(SQLSMALLINT type, SQLHANDLE handle, int32_t& native) {
  std::string text;
  native = 0;
  for (SQLSMALLINT record = 1;; ++record) {
    SQLCHAR state[6] = {0};
    SQLINTEGER nativeError = 0;
    SQLCHAR message[SQL_MAX_MESSAGE_LENGTH + 1] = {0};
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLGetDiagRec(type, handle, record, state, &nativeError, message,
                                 sizeof message, &length);
    if (!Succeeded(rc)) break;
    if (record == 1) native = nativeError;
    if (!text.empty()) text += "\n";
    text += "[" + std::string(reinterpret_cast<char*>(state)) + "] " + reinterpret_cast<char*>(message);
  }
  return text;
}

// A value of a connection-string attribute, braced so that ';', '=' and '}' in it cannot end the
// attribute or start another one.
std::string BracedValue(const std::string& value) {
  std::string out = "{";
  for (char c : value) {
    out += c;
    if (c == '}') out += '}';
  }
  return out + "}";
}

}  // namespace

OdbcConnection::OdbcConnection() = default;

OdbcConnection::~OdbcConnection() { Close(); }

bool OdbcConnection::Open(const std::string& connectionString, const std::string& user,
                          const std::string& password, const std::string& extraAttributes) {
  Close();
  lastError_.clear();
  lastNative_ = 0;
  SQLHENV env = SQL_NULL_HENV;
  if (!Succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env))) {
    lastError_ = "The ODBC driver manager cannot be initialised.";
    return false;
  }
  env_ = env;
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLHDBC dbc = SQL_NULL_HDBC;
  if (!Succeeded(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc))) {
    lastError_ = Diagnostics(SQL_HANDLE_ENV, env, lastNative_);
    Close();
    return false;
  }
  dbc_ = dbc;
  SQLSetConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(15), 0);

  std::string full = connectionString;
  if (!full.empty() && full.back() != ';') full += ';';
  full += extraAttributes;
  if (!full.empty() && full.back() != ';') full += ';';
  full += "UID=" + BracedValue(user) + ";PWD=" + BracedValue(password) + ";";
  SQLCHAR out[1024];
  SQLSMALLINT outLength = 0;
  SQLRETURN rc = SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(full.data()),
                                  static_cast<SQLSMALLINT>(full.size()), out, sizeof out, &outLength,
                                  SQL_DRIVER_NOPROMPT);
  // The string holds the password: wipe the copy.
  for (char& c : full) c = 0;
  if (!Succeeded(rc)) {
    lastError_ = Diagnostics(SQL_HANDLE_DBC, dbc, lastNative_);
    if (lastError_.empty()) lastError_ = "The connection was refused.";
    Close();
    return false;
  }
  connected_ = true;
  return true;
}

void OdbcConnection::Close() {
  if (dbc_) {
    if (connected_) SQLDisconnect(Dbc(dbc_));
    SQLFreeHandle(SQL_HANDLE_DBC, Dbc(dbc_));
    dbc_ = nullptr;
  }
  if (env_) {
    SQLFreeHandle(SQL_HANDLE_ENV, Env(env_));
    env_ = nullptr;
  }
  connected_ = false;
}

void* OdbcConnection::RunStatement(const std::string& sql, int16_t& result) {
  lastError_.clear();
  lastNative_ = 0;
  if (!connected_) {
    lastError_ = "Not connected to a server.";
    return nullptr;
  }
  SQLHSTMT stmt = SQL_NULL_HSTMT;
  if (!Succeeded(SQLAllocHandle(SQL_HANDLE_STMT, Dbc(dbc_), &stmt))) {
    lastError_ = Diagnostics(SQL_HANDLE_DBC, Dbc(dbc_), lastNative_);
    return nullptr;
  }
  std::string text = sql;
  result = SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size()));
  return stmt;
}

bool OdbcConnection::Execute(const std::string& sql) {
  SQLRETURN rc = SQL_ERROR;
  SQLHSTMT stmt = RunStatement(sql, rc);
  if (!stmt) return false;
  // SQL_NO_DATA: a statement that touched no rows, which is not a failure.
  bool ok = Succeeded(rc) || rc == SQL_NO_DATA;
  if (!ok) {
    lastError_ = Diagnostics(SQL_HANDLE_STMT, stmt, lastNative_);
    if (lastError_.empty()) lastError_ = "The statement failed.";
  }
  SQLFreeHandle(SQL_HANDLE_STMT, stmt);
  return ok;
}

bool OdbcConnection::QueryColumn(const std::string& sql, std::vector<std::string>& values) {
  values.clear();
  SQLRETURN rc = SQL_ERROR;
  SQLHSTMT stmt = RunStatement(sql, rc);
  if (!stmt) return false;
  bool ok = Succeeded(rc) || rc == SQL_NO_DATA;
  while (ok && rc != SQL_NO_DATA) {
    rc = SQLFetch(stmt);
    if (rc == SQL_NO_DATA) break;
    if (!Succeeded(rc)) {
      ok = false;
      break;
    }
    // The value in pieces: SQLGetData returns SQL_SUCCESS_WITH_INFO while more follows.
    std::string value;
    for (;;) {
      char buffer[4096];
      SQLLEN indicator = 0;
      SQLRETURN got = SQLGetData(stmt, 1, SQL_C_CHAR, buffer, sizeof buffer, &indicator);
      if (got == SQL_NO_DATA) break;
      if (!Succeeded(got)) {
        ok = false;
        break;
      }
      if (indicator == SQL_NULL_DATA) break;
      size_t piece = (indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof buffer))
                         ? sizeof buffer - 1
                         : static_cast<size_t>(indicator);
      value.append(buffer, piece);
      if (got == SQL_SUCCESS) break;
    }
    values.push_back(std::move(value));
  }
  if (!ok) {
    lastError_ = Diagnostics(SQL_HANDLE_STMT, stmt, lastNative_);
    if (lastError_.empty()) lastError_ = "The query failed.";
  }
  SQLFreeHandle(SQL_HANDLE_STMT, stmt);
  return ok;
}

bool OdbcConnection::SetAutoCommit(bool on) {
  lastError_.clear();
  if (!connected_) {
    lastError_ = "Not connected to a server.";
    return false;
  }
  SQLRETURN rc = SQLSetConnectAttr(Dbc(dbc_), SQL_ATTR_AUTOCOMMIT,
                                   reinterpret_cast<SQLPOINTER>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF),
                                   SQL_IS_UINTEGER);
  if (!Succeeded(rc)) lastError_ = Diagnostics(SQL_HANDLE_DBC, Dbc(dbc_), lastNative_);
  return Succeeded(rc);
}

bool OdbcConnection::Commit() {
  lastError_.clear();
  if (!connected_) {
    lastError_ = "Not connected to a server.";
    return false;
  }
  SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, Dbc(dbc_), SQL_COMMIT);
  if (!Succeeded(rc)) lastError_ = Diagnostics(SQL_HANDLE_DBC, Dbc(dbc_), lastNative_);
  return Succeeded(rc);
}

bool OdbcConnection::Rollback() {
  lastError_.clear();
  if (!connected_) {
    lastError_ = "Not connected to a server.";
    return false;
  }
  SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, Dbc(dbc_), SQL_ROLLBACK);
  if (!Succeeded(rc)) lastError_ = Diagnostics(SQL_HANDLE_DBC, Dbc(dbc_), lastNative_);
  return Succeeded(rc);
}

std::string ConnectionTest(const std::string& server, const std::string& port, const std::string& user,
                           const std::string& password) {
  OdbcConnection connection;
  if (connection.Open(BuildConnectionString(server, port), user, password)) {
    connection.Close();
    return kConnectionSuccessful;
  }
  return std::string(kConnectionFailed) + "\n" + connection.LastError();
}

}  // namespace wexholt
