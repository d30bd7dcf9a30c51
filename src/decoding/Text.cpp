#include "decoding/Text.h"

#include <cstring>

namespace wexholt {

namespace {

// Length of the leading run of bytes below 0x80 from s[i] on, tested eight bytes at a time: most
// stored text is ASCII, which reads the same in every character set handled here.
size_t AsciiRun(std::string_view s, size_t i) {
  const size_t start = i;
  while (i + 8 <= s.size()) {
    uint64_t word;
    std::memcpy(&word, s.data() + i, 8);
    if (word & 0x8080808080808080ull) break;
    i += 8;
  }
  while (i < s.size() && static_cast<uint8_t>(s[i]) < 0x80) ++i;
  return i - start;
}

// Code points of Windows-1252 bytes 0x80..0x9F; the unassigned bytes keep their C1 value.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Decodes one UTF-8 sequence at s[i]; returns the code point (U+FFFD for an invalid sequence) and
// advances i past it (by one byte for an invalid lead byte).
uint32_t DecodeOne(std::string_view s, size_t& i, bool& valid) {
  const auto b0 = static_cast<uint8_t>(s[i]);
  valid = true;
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int n = 0;
  uint32_t cp = 0, min = 0;
  if ((b0 & 0xE0) == 0xC0) { n = 1; cp = b0 & 0x1F; min = 0x80; }
  else if ((b0 & 0xF0) == 0xE0) { n = 2; cp = b0 & 0x0F; min = 0x800; }
  else if ((b0 & 0xF8) == 0xF0) { n = 3; cp = b0 & 0x07; min = 0x10000; }
  else { ++i; valid = false; return 0xFFFD; }
  if (i + n >= s.size()) { ++i; valid = false; return 0xFFFD; }
  for (int k = 1; k <= n; ++k) {
    const auto b = static_cast<uint8_t>(s[i + k]);
    if ((b & 0xC0) != 0x80) { ++i; valid = false; return 0xFFFD; }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { ++i; valid = false; return 0xFFFD; }
  i += n + 1;
  return cp;
}

}  // namespace

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendCp1252AsUtf8(std::string& out, std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const size_t run = AsciiRun(bytes, i);
    out.append(bytes.data() + i, run);
    i += run;
    if (i >= bytes.size()) break;
    const auto b = static_cast<uint8_t>(bytes[i++]);
    if (b < 0xA0) AppendUtf8(out, kCp1252High[b - 0x80]);
    else AppendUtf8(out, b);
  }
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  AppendCp1252AsUtf8(out, bytes);
  return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  size_t i = 0;
  while (i < utf8.size()) {
    bool valid;
    uint32_t cp = DecodeOne(utf8, i, valid);
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    char mapped = '?';
    for (int k = 0; k < 32; ++k)
      if (kCp1252High[k] == cp) mapped = static_cast<char>(0x80 + k);
    out.push_back(mapped);
  }
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    i += AsciiRun(bytes, i);
    if (i >= bytes.size()) break;
    bool valid;
    DecodeOne(bytes, i, valid);
    if (!valid) return false;
  }
  return true;
}

std::string SanitizeUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    size_t start = i;
    bool valid;
    uint32_t cp = DecodeOne(bytes, i, valid);
    if (valid) out.append(bytes.substr(start, i - start));
    else AppendUtf8(out, cp);
  }
  return out;
}

size_t Utf16Length(std::string_view utf8) {
  size_t n = 0, i = 0;
  while (i < utf8.size()) {
    bool valid;
    uint32_t cp = DecodeOne(utf8, i, valid);
    n += cp >= 0x10000 ? 2 : 1;
  }
  return n;
}

std::string Utf16le(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  size_t i = 0;
  auto put = [&out](uint32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>((u >> 8) & 0xFF));
  };
  while (i < utf8.size()) {
    bool valid;
    uint32_t cp = DecodeOne(utf8, i, valid);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      put(0xD800 + (cp >> 10));
      put(0xDC00 + (cp & 0x3FF));
    } else {
      put(cp);
    }
  }
  return out;
}

std::string CollapseDoubleSeparators(std::string path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out.push_back(c);
  }
  return out;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string p(folder);
  p.push_back('/');
  p.append(name);
  return CollapseDoubleSeparators(std::move(p));
}

std::string WithTrailingSeparator(std::string path) {
  if (!path.empty() && path.back() != '/') path.push_back('/');
  return path;
}

std::string LastPathComponent(std::string_view path) {
  while (!path.empty() && path.back() == '/') path.remove_suffix(1);
  size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ToLowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string ToUpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace wexholt
