// Text conversions and path joining shared by every part of the program.
//
// Text in memory is UTF-8. Bytes from .frm, view, trigger and MyISAM files without a known character
// set are read as Windows-1252 (MySQL's latin1 is the same table). The log and the CSV file are
// UTF-16LE; Utf16le() gives their bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace wexholt {

// Windows-1252 bytes to UTF-8 (the five unassigned bytes map to U+0081.. as the C1 controls).
std::string Cp1252ToUtf8(std::string_view bytes);
void AppendCp1252AsUtf8(std::string& out, std::string_view bytes);

// UTF-8 to Windows-1252 bytes; characters without a Windows-1252 byte become '?'.
std::string Utf8ToCp1252(std::string_view utf8);

// True when bytes is well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);

// UTF-8 with every invalid sequence replaced by U+FFFD.
std::string SanitizeUtf8(std::string_view bytes);

// Number of UTF-16 code units that the UTF-8 text (invalid sequences replaced) converts to.
size_t Utf16Length(std::string_view utf8);

// UTF-16LE bytes of a UTF-8 text (invalid sequences become U+FFFD).
std::string Utf16le(std::string_view utf8);

// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, uint32_t codePoint);

// Folder paths end with '/'. JoinPath puts a '/' between the parts and then collapses every "//"
// into one '/', as the program does for every path it builds.
std::string JoinPath(std::string_view folder, std::string_view name);
std::string CollapseDoubleSeparators(std::string path);
// The path with a '/' appended when it does not end with one (empty stays empty).
std::string WithTrailingSeparator(std::string path);
// The last component of a path (after the last '/'), ignoring trailing separators.
std::string LastPathComponent(std::string_view path);

std::string ToLowerAscii(std::string_view s);
std::string ToUpperAscii(std::string_view s);

}  // namespace wexholt
