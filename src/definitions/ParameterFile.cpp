// Reading key=value parameter files (view definitions, trigger files) through DataFile.
#include "definitions/ParameterFile.h"

#include "decoding/DataFile.h"

namespace wexholt {

std::optional<std::vector<std::string>> ReadParameterFileLines(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeDataFile(path, bytes)) return std::nullopt;
  std::vector<std::string> lines;
  std::string line;
  for (uint8_t b : bytes) {
    if (b == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(std::move(line));
      line.clear();
    } else {
      line += static_cast<char>(b);
    }
  }
  if (!line.empty()) {
    if (line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

std::optional<std::string> ParameterValue(const std::vector<std::string>& lines, std::string_view key) {
  for (const std::string& line : lines) {
    if (line.size() > key.size() && line.compare(0, key.size(), key) == 0 && line[key.size()] == '=') {
      return line.substr(key.size() + 1);
    }
  }
  return std::nullopt;
}

std::string UnescapeParameterValue(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c != '\\' || i + 1 == raw.size()) {
      out += c;
      continue;
    }
    char e = raw[++i];
    switch (e) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case '0': out += '\0'; break;
      case 'z':
      case 'Z': out += '\x1A'; break;
      case 'b': out += '\b'; break;
      default: out += e; break;  // \\ \' \" and anything else: the character itself
    }
  }
  return out;
}

}  // namespace wexholt
