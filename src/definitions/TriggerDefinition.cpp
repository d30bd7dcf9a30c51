// Trigger statements from a table's .TRG parameter file.
#include "definitions/TriggerDefinition.h"

#include <cctype>
#include <string_view>

#include "decoding/Text.h"
#include "definitions/FrmReader.h"
#include "definitions/ParameterFile.h"

namespace wexholt {

namespace {

constexpr std::string_view kDefinerPrefix = "CREATE DEFINER=";

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// The values of a list of quoted values ('a' 'b\'c'), raw: escapes kept, quotes removed. A value
// without its closing quote runs to the end of the list.
std::vector<std::string> SplitQuotedValues(std::string_view list) {
  std::vector<std::string> values;
  size_t i = 0;
  while (i < list.size()) {
    while (i < list.size() && IsSpace(list[i])) ++i;
    if (i >= list.size()) break;
    if (list[i] != '\'') {  // an unquoted value runs to the next space
      size_t end = i;
      while (end < list.size() && !IsSpace(list[end])) ++end;
      values.emplace_back(list.substr(i, end - i));
      i = end;
      continue;
    }
    std::string value;
    ++i;
    while (i < list.size() && list[i] != '\'') {
      if (list[i] == '\\' && i + 1 < list.size()) {
        value += list[i];
        ++i;
      }
      value += list[i];
      ++i;
    }
    ++i;  // the closing quote
    values.push_back(std::move(value));
  }
  return values;
}

// Index just past the definer value at pos: a quoted or plain user, '@', a quoted or plain host.
size_t SkipDefiner(std::string_view text, size_t pos) {
  auto skipPart = [&](size_t p) {
    if (p < text.size() && (text[p] == '`' || text[p] == '\'' || text[p] == '"')) {
      const char quote = text[p++];
      while (p < text.size()) {
        if (text[p] == quote) {
          if (p + 1 < text.size() && text[p + 1] == quote) {  // a doubled quote stands for one
            p += 2;
            continue;
          }
          return p + 1;
        }
        ++p;
      }
      return p;
    }
    while (p < text.size() && !IsSpace(text[p]) && text[p] != '@') ++p;
    return p;
  };
  size_t p = skipPart(pos);
  if (p < text.size() && text[p] == '@') p = skipPart(p + 1);
  return p;
}

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }

// Position of the keyword TRIGGER (any case, as a whole word) at or after from; npos when absent.
size_t FindTriggerKeyword(const std::string& text, size_t from) {
  const std::string upper = ToUpperAscii(text);
  for (size_t p = upper.find("TRIGGER", from); p != std::string::npos; p = upper.find("TRIGGER", p + 1)) {
    const bool startOk = p == 0 || !IsWordChar(text[p - 1]);
    const bool endOk = p + 7 >= text.size() || !IsWordChar(text[p + 7]);
    if (startOk && endOk) return p;
  }
  return std::string::npos;
}

std::string Trimmed(std::string text) {
  size_t start = 0;
  while (start < text.size() && IsSpace(text[start])) ++start;
  size_t end = text.size();
  while (end > start && IsSpace(text[end - 1])) --end;
  return text.substr(start, end - start);
}

}  // namespace

std::vector<std::string> TriggerStatementsFromList(const std::string& rawList) {
  std::vector<std::string> statements;
  for (const std::string& raw : SplitQuotedValues(rawList)) {
    const std::string value = UnescapeParameterValue(raw);
    if (value.compare(0, kDefinerPrefix.size(), kDefinerPrefix) != 0) continue;
    const size_t afterDefiner = SkipDefiner(value, kDefinerPrefix.size());
    const size_t keyword = FindTriggerKeyword(value, afterDefiner);
    if (keyword == std::string::npos) continue;
    const std::string statement = Trimmed(value.substr(keyword));
    statements.push_back("CREATE " + DefinitionText(statement));
  }
  return statements;
}

std::vector<std::string> TriggerStatements(const std::string& path) {
  auto lines = ReadParameterFileLines(path);
  if (!lines) return {};
  auto list = ParameterValue(*lines, "triggers");
  if (!list || list->empty()) return {};
  return TriggerStatementsFromList(*list);
}

std::string TriggerDefinitionText(const std::string& path) {
  std::string text;
  for (const std::string& statement : TriggerStatements(path)) {
    text += "DELIMITER $$\n" + statement + "\n$$\nDELIMITER ;\n";
  }
  return text;
}

}  // namespace wexholt
