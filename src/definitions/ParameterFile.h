// The text files the server keeps beside a table for views (.frm beginning "TYPE=VIEW") and
// triggers (.TRG, .TRN): lines of key=value, each ending with a line feed (a carriage return
// before it is not part of the line). Values keep the server's escapes: \\ backslash, \' quote,
// \n line feed, \r carriage return, \t tab, \0 zero byte, \z (or \Z) the byte 1A, \b backspace,
// \" double quote. The file is UTF-8 as the server writes it; bytes that are not valid UTF-8 are
// read as Windows-1252.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wexholt {

// The lines of a parameter file (line feeds and a carriage return before them removed), raw
// bytes. Empty optional when the file cannot be opened.
std::optional<std::vector<std::string>> ReadParameterFileLines(const std::string& path);

// The rest of the first line that begins with key + "=", raw; nullopt when no line does.
std::optional<std::string> ParameterValue(const std::vector<std::string>& lines, std::string_view key);

// The characters the server's escapes stand for (an unknown escape \x gives x; a lone backslash at
// the end stays).
std::string UnescapeParameterValue(std::string_view raw);

}  // namespace wexholt
