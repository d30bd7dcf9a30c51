// Field value text: stored column bytes -> the text the record grid shows.
//
// Byte forms handed in (see FieldText.h):
//   TINYINT/SMALLINT/MEDIUMINT/INT/BIGINT   1/2/3/4/8 bytes little-endian two's complement; the sign
//                                           comes from the column's UNSIGNED flag
//   FLOAT, DOUBLE                          IEEE 754 little-endian, shown with six fraction digits
//   DECIMAL (246)                          binary decimal, 9 digits per 4 bytes, big-endian, the
//                                          sign in bit 7 of the first byte (set = not negative)
//   YEAR (13)                              1 byte: 0 = 0000, else 1900 + byte
//   DATE (14)                              3 bytes little-endian: day bits 0-4, month 5-8, year 9-
//   DATE (10)                              4 bytes little-endian, the number yyyymmdd
//   TIME (11)                              3 bytes little-endian signed, the number [-]hhmmss
//   DATETIME (12)                          8 bytes little-endian, the number yyyymmddhhmmss
//   TIMESTAMP (7)                          4 bytes little-endian seconds since 1970 UTC (0 = zero)
//   TIME, DATETIME, TIMESTAMP (11, 12, 7)  with fractional seconds (fsp 1-6), the layouts of the
//                                          same type codes that keep them: TIME big-endian
//                                          3-6 bytes, (seconds * 10^fsp) + (3020400 * 10^fsp);
//                                          DATETIME big-endian 5-8 bytes, the packed number
//                                          ((((year*13+month)*32+day)*24+hour)*60+min)*60+sec,
//                                          times 10^fsp, plus the fraction; TIMESTAMP 4 bytes
//                                          big-endian seconds, then the fraction in 10^-fsp units
//   TIMESTAMP2 (17)                        4 bytes big-endian seconds + (fsp + 1) / 2 fraction bytes
//   DATETIME2 (18)                         5 bytes big-endian (offset 2^39) + fraction bytes
//   TIME2 (19)                             3 bytes big-endian (offset 2^23) + fraction bytes
//   BIT (16)                               (bits + 7) / 8 bytes big-endian
//   ENUM (247)                             1 byte (2 above 255 members), 1-based member number
//   SET (248)                              1, 2, 3, 4 or 8 bytes little-endian, one bit per member
//   CHAR/VARCHAR/BINARY (254, 15, 253)     the value's bytes (a fixed-row VARCHAR starts with its
//                                          1- or 2-byte little-endian length)
//   BLOB/TEXT (249-252), GEOMETRY (255)    the value's bytes
// Text columns are read in their character set when it is known (the collation table gives its
// name); other character sets take the UTF-8-first rule. Missing bytes count as zero; nothing fails.
#include "decoding/FieldText.h"

#include <charconv>
#include <cstring>
#include <ctime>

#include "decoding/ByteView.h"
#include "decoding/Text.h"

namespace wexholt {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
// Values of this many bytes or more are shown as a marker outside save mode.
constexpr size_t kShortHexLimit = 100;
constexpr size_t kLargeBlobLimit = 1000;

constexpr uint32_t kPowers10[] = {1,       10,       100,       1000,      10000,
                                  100000,  1000000,  10000000,  100000000, 1000000000};
// Bytes of a partial DECIMAL group of 0..9 digits.
constexpr int kDigitBytes[10] = {0, 1, 1, 2, 2, 3, 3, 4, 4, 4};

template <typename T>
void AppendNumber(std::string& out, T value) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
}

// value as at least width digits, zeros in front, written at p; returns the end.
char* PutPadded(char* p, uint64_t value, int width) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  for (int n = static_cast<int>(r.ptr - buf); n < width; ++n) *p++ = '0';
  for (const char* q = buf; q < r.ptr; ++q) *p++ = *q;
  return p;
}

char* PutTwo(char* p, unsigned v) {
  *p++ = static_cast<char>('0' + (v / 10) % 10);
  *p++ = static_cast<char>('0' + v % 10);
  return p;
}

void AppendPadded(std::string& out, uint64_t value, int width) {
  char buf[48];
  out.append(buf, PutPadded(buf, value, width));
}

void AppendHex(std::string& out, const uint8_t* bytes, size_t count) {
  size_t at = out.size();
  out.resize(at + 2 * count);
  char* p = out.data() + at;
  for (size_t i = 0; i < count; ++i) {
    *p++ = kHexDigits[bytes[i] >> 4];
    *p++ = kHexDigits[bytes[i] & 15];
  }
}

// ".ffffff" cut to digits places; usec is microseconds (0..999999).
void AppendFraction(std::string& out, uint32_t usec, int digits) {
  if (digits <= 0) return;
  if (digits > 6) digits = 6;
  out.push_back('.');
  AppendPadded(out, usec / kPowers10[6 - digits], digits);
}

// The parts are written into a buffer first, then appended at once.
char* PutDate(char* p, unsigned year, unsigned month, unsigned day) {
  p = PutPadded(p, year, 4);
  *p++ = '-';
  p = PutTwo(p, month);
  *p++ = '-';
  return PutTwo(p, day);
}

char* PutClock(char* p, uint64_t hour, unsigned minute, unsigned second) {
  p = PutPadded(p, hour, 2);
  *p++ = ':';
  p = PutTwo(p, minute);
  *p++ = ':';
  return PutTwo(p, second);
}

void AppendDate(std::string& out, unsigned year, unsigned month, unsigned day) {
  char buf[64];
  out.append(buf, PutDate(buf, year, month, day));
}

void AppendClock(std::string& out, uint64_t hour, unsigned minute, unsigned second) {
  char buf[64];
  out.append(buf, PutClock(buf, hour, minute, second));
}

void AppendDateTime(std::string& out, unsigned year, unsigned month, unsigned day, unsigned hour,
                    unsigned minute, unsigned second) {
  char buf[96];
  char* p = PutDate(buf, year, month, day);
  *p++ = ' ';
  out.append(buf, PutClock(p, hour, minute, second));
}

void AppendPackedDateTime(std::string& out, uint64_t value) {
  const uint64_t d = value / 1000000, t = value % 1000000;
  AppendDateTime(out, static_cast<unsigned>(d / 10000 % 10000), d / 100 % 100, d % 100,
                 static_cast<unsigned>(t / 10000 % 100), t / 100 % 100, t % 100);
}

// Seconds since 1970 UTC in the machine's local time; 0 is the zero value.
void AppendTimestamp(std::string& out, uint32_t seconds, uint32_t usec, int digits) {
  if (seconds == 0 && usec == 0) {
    out.append("0000-00-00 00:00:00");
  } else {
    time_t t = static_cast<time_t>(seconds);
    struct tm tm {};
    if (!localtime_r(&t, &tm)) gmtime_r(&t, &tm);
    AppendDateTime(out, static_cast<unsigned>(tm.tm_year + 1900), tm.tm_mon + 1, tm.tm_mday,
                   tm.tm_hour, tm.tm_min, tm.tm_sec);
  }
  AppendFraction(out, usec, digits);
}

int FractionBytes(int digits) {
  if (digits <= 0) return 0;
  if (digits > 6) digits = 6;
  return (digits + 1) / 2;
}

// Microseconds of the big-endian fraction bytes that follow a 5.6 temporal value. Values in
// hundredths (1-2 digits) and in ten-thousandths (3-4 digits) are scaled to microseconds; a signed
// fraction is returned as stored (negative for the borrowed part of a negative TIME2).
int32_t FractionMicros(const ByteView& v, size_t at, int digits, bool isSigned) {
  switch (FractionBytes(digits)) {
    case 1: {
      int32_t f = v.u8(at);
      if (isSigned && f >= 0x80) f -= 0x100;
      return f * 10000;
    }
    case 2: {
      int32_t f = v.be16(at);
      if (isSigned && f >= 0x8000) f -= 0x10000;
      return f * 100;
    }
    case 3: {
      int32_t f = static_cast<int32_t>(v.be24(at));
      if (isSigned && f >= 0x800000) f -= 0x1000000;
      return f;
    }
    default:
      return 0;
  }
}

void AppendTime2(std::string& out, const ByteView& v, int digits) {
  // The value is a signed 48-bit number hms << 24 | microseconds, offset by 2^47; the first three
  // bytes hold hms offset by 2^23 and the fraction bytes follow.
  int64_t packed;
  const int fb = FractionBytes(digits);
  if (fb == 3) {
    packed = static_cast<int64_t>(v.be48(0)) - 0x800000000000LL;
  } else {
    int64_t intPart = static_cast<int64_t>(v.be24(0)) - 0x800000;
    int64_t frac = 0;
    if (fb == 1) {
      frac = v.u8(3);
      if (intPart < 0 && frac) { ++intPart; frac -= 0x100; }
      frac *= 10000;
    } else if (fb == 2) {
      frac = v.be16(3);
      if (intPart < 0 && frac) { ++intPart; frac -= 0x10000; }
      frac *= 100;
    }
    packed = intPart * (int64_t{1} << 24) + frac;
  }
  if (packed < 0) {
    out.push_back('-');
    packed = -packed;
  }
  const uint64_t hms = static_cast<uint64_t>(packed) >> 24;
  const uint32_t usec = static_cast<uint32_t>(packed & 0xFFFFFF);
  AppendClock(out, (hms >> 12) & 0x3FF, (hms >> 6) & 63, hms & 63);
  AppendFraction(out, usec, digits);
}

void AppendDateTime2(std::string& out, const ByteView& v, int digits) {
  // 40 bits offset by 2^39: year * 13 + month (17 bits), day (5), hour (5), minute (6), second (6).
  int64_t intPart = static_cast<int64_t>(v.be(0, 5)) - 0x8000000000LL;
  int32_t frac = FractionMicros(v, 5, digits, true);
  if (intPart < 0) {  // not a value the server writes; shown by magnitude
    out.push_back('-');
    intPart = -intPart;
  }
  if (frac < 0) frac = -frac;
  const uint64_t ymdhms = static_cast<uint64_t>(intPart);
  const uint64_t ymd = ymdhms >> 17, ym = ymd >> 5, hms = ymdhms & 0x1FFFF;
  AppendDateTime(out, static_cast<unsigned>(ym / 13), ym % 13, ymd & 31, hms >> 12, (hms >> 6) & 63,
                 hms & 63);
  AppendFraction(out, static_cast<uint32_t>(frac), digits);
}

// Bytes of the TIME and DATETIME layouts with fractional seconds (type codes 11 and 12), by fsp.
constexpr int kHiresTimeBytes[7] = {3, 4, 4, 5, 5, 5, 6};
constexpr int kHiresDateTimeBytes[7] = {5, 6, 6, 7, 7, 7, 8};
// Seconds of TIME '838:59:59' plus one: the stored zero point of a TIME with fractional seconds.
constexpr uint64_t kHiresTimeZeroSeconds = 3020400;

int ClampedFsp(int digits) { return digits < 0 ? 0 : (digits > 6 ? 6 : digits); }

void AppendHiresTime(std::string& out, const ByteView& v, int fsp) {
  const uint64_t unit = kPowers10[fsp];
  const int64_t stored = static_cast<int64_t>(v.be(0, static_cast<size_t>(kHiresTimeBytes[fsp])));
  int64_t value = stored - static_cast<int64_t>(kHiresTimeZeroSeconds * unit);
  if (value < 0) {
    out.push_back('-');
    value = -value;
  }
  const uint64_t u = static_cast<uint64_t>(value);
  const uint64_t seconds = u / unit;
  AppendClock(out, seconds / 3600, seconds / 60 % 60, seconds % 60);
  AppendFraction(out, static_cast<uint32_t>(u % unit * kPowers10[6 - fsp]), fsp);
}

void AppendHiresDateTime(std::string& out, const ByteView& v, int fsp) {
  uint64_t packed = v.be(0, static_cast<size_t>(kHiresDateTimeBytes[fsp])) * kPowers10[6 - fsp];
  const uint32_t usec = static_cast<uint32_t>(packed % 1000000);
  packed /= 1000000;
  const unsigned second = packed % 60; packed /= 60;
  const unsigned minute = packed % 60; packed /= 60;
  const unsigned hour = packed % 24; packed /= 24;
  const unsigned day = packed % 32; packed /= 32;
  const unsigned month = packed % 13;
  AppendDateTime(out, static_cast<unsigned>(packed / 13), month, day, hour, minute, second);
  AppendFraction(out, usec, fsp);
}

void AppendOldTime(std::string& out, const ByteView& v) {
  int32_t n = static_cast<int32_t>(v.le24(0));
  if (n & 0x800000) n -= 0x1000000;
  if (n < 0) {
    out.push_back('-');
    n = -n;
  }
  AppendClock(out, static_cast<uint64_t>(n / 10000), n / 100 % 100, n % 100);
}

void AppendBits(std::string& out, const uint8_t* bytes, size_t count, int bits) {
  // The last byte holds bits 0-7; bit b lives in byte count - 1 - b / 8.
  for (int b = bits - 1; b >= 0; --b) {
    size_t index = static_cast<size_t>(b / 8);
    uint8_t byte = index < count ? bytes[count - 1 - index] : 0;
    out.push_back(((byte >> (b % 8)) & 1) ? '1' : '0');
  }
}

// Character sets the decoder reads natively.
enum class TextCoding { kUtf8, kCp1252, kUtf16Be, kUtf16Le, kUtf32Be, kBinary, kOther };

TextCoding CodingOf(const ColumnDef& column, const DecoderSettings& settings) {
  if (column.charsetId == kBinaryCollation) return TextCoding::kBinary;
  if (!settings.collations) return TextCoding::kOther;
  auto it = settings.collations->find(column.charsetId);
  if (it == settings.collations->end()) return TextCoding::kOther;
  const std::string& name = it->second.charsetName;
  if (name == "utf8mb4" || name == "utf8" || name == "utf8mb3") return TextCoding::kUtf8;
  if (name == "latin1" || name == "ascii") return TextCoding::kCp1252;
  if (name == "ucs2" || name == "utf16") return TextCoding::kUtf16Be;
  if (name == "utf16le") return TextCoding::kUtf16Le;
  if (name == "utf32") return TextCoding::kUtf32Be;
  if (name == "binary") return TextCoding::kBinary;
  return TextCoding::kOther;
}

void AppendUtf8Checked(std::string& out, std::string_view s) {
  if (IsValidUtf8(s))
    out.append(s);
  else
    out.append(SanitizeUtf8(s));
}

void AppendUtf16(std::string& out, const uint8_t* p, size_t count, bool bigEndian) {
  auto unit = [&](size_t i) -> uint32_t {
    return bigEndian ? (uint32_t{p[i]} << 8 | p[i + 1]) : (uint32_t{p[i + 1]} << 8 | p[i]);
  };
  size_t i = 0;
  for (; i + 1 < count; i += 2) {
    uint32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < count) {
      uint32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
  }
  if (i < count) AppendUtf8(out, 0xFFFD);
}

void AppendUtf32(std::string& out, const uint8_t* p, size_t count) {
  size_t i = 0;
  for (; i + 3 < count; i += 4) {
    uint32_t u = uint32_t{p[i]} << 24 | uint32_t{p[i + 1]} << 16 | uint32_t{p[i + 2]} << 8 | p[i + 3];
    AppendUtf8(out, (u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) ? 0xFFFD : u);
  }
  if (i < count) AppendUtf8(out, 0xFFFD);
}

size_t UpToZero(const uint8_t* bytes, size_t count) {
  const void* z = count ? std::memchr(bytes, 0, count) : nullptr;
  return z ? static_cast<size_t>(static_cast<const uint8_t*>(z) - bytes) : count;
}

void AppendAnsi(std::string& out, const uint8_t* bytes, size_t count) {
  AppendCp1252AsUtf8(out, std::string_view(reinterpret_cast<const char*>(bytes), UpToZero(bytes, count)));
}

void AppendUtf8OrAnsi(std::string& out, const uint8_t* bytes, size_t count) {
  std::string_view s(reinterpret_cast<const char*>(bytes), UpToZero(bytes, count));
  // Pure ASCII reads the same both ways.
  bool ascii = true;
  for (char c : s)
    if (static_cast<uint8_t>(c) >= 0x80) { ascii = false; break; }
  if (ascii) {
    out.append(s);
    return;
  }
  const size_t units = Utf16Length(s) + 1;
  if (s.size() >= units)
    AppendUtf8Checked(out, s);
  else
    AppendCp1252AsUtf8(out, s);
}

// Text of a character column in its character set; binary values as hex.
void SetText(const ColumnDef& column, const uint8_t* bytes, size_t count, const DecoderSettings& settings,
             Cell& out) {
  switch (CodingOf(column, settings)) {
    case TextCoding::kUtf8:
      AppendUtf8Checked(out.text, std::string_view(reinterpret_cast<const char*>(bytes), count));
      break;
    case TextCoding::kCp1252:
      AppendCp1252AsUtf8(out.text, std::string_view(reinterpret_cast<const char*>(bytes), count));
      break;
    case TextCoding::kUtf16Be:
      AppendUtf16(out.text, bytes, count, true);
      break;
    case TextCoding::kUtf16Le:
      AppendUtf16(out.text, bytes, count, false);
      break;
    case TextCoding::kUtf32Be:
      AppendUtf32(out.text, bytes, count);
      break;
    case TextCoding::kBinary:
      if (count) {
        out.text.append("0x");
        AppendHex(out.text, bytes, count);
        out.kind = CellKind::kBinary;
      }
      break;
    case TextCoding::kOther:
      AppendUtf8OrAnsi(out.text, bytes, count);
      break;
  }
}

void SetShortHex(const uint8_t* bytes, size_t count, const DecoderSettings& settings, Cell& out) {
  if (count == 0) return;
  if (settings.SaveMode() || count < kShortHexLimit) {
    out.text.append("0x");
    AppendHex(out.text, bytes, count);
    out.kind = CellKind::kBinary;
  } else {
    out.text.append(kBinaryMarker);
    out.kind = CellKind::kMarker;
  }
}

void SetMarker(Cell& out, const char* marker) {
  out.text.append(marker);
  out.kind = CellKind::kMarker;
}

void AppendDecimal(std::string& out, const uint8_t* bytes, size_t count, int precision, int decimals);

void ApplyZeroFill(const ColumnDef& column, Cell& out) {
  if (!column.zeroFill || column.length <= 0) return;
  const size_t width = static_cast<size_t>(column.length);
  if (out.text.size() < width && width <= 255) out.text.insert(0, width - out.text.size(), '0');
}

int SetByteCount(size_t members) {
  int n = static_cast<int>((members + 7) / 8);
  return n > 4 ? 8 : (n < 1 ? 1 : n);
}

void SetMembers(const ColumnDef& column, uint64_t mask, std::string& out) {
  bool first = true;
  for (size_t i = 0; i < column.enumMembers.size() && i < 64; ++i) {
    if (!(mask >> i & 1)) continue;
    if (!first) out.push_back(',');
    out.append(column.enumMembers[i]);
    first = false;
  }
}

}  // namespace

int DecimalStoredSize(int precision, int decimals) {
  if (precision < 0) precision = 0;
  if (decimals < 0) decimals = 0;
  if (decimals > precision) decimals = precision;
  const int intg = precision - decimals;
  return kDigitBytes[intg % 9] + 4 * (intg / 9) + 4 * (decimals / 9) + kDigitBytes[decimals % 9];
}

namespace {

void AppendDecimal(std::string& out, const uint8_t* bytes, size_t count, int precision, int decimals) {
  if (precision < 1 || precision > 81) { out.push_back('0'); return; }
  if (decimals < 0) decimals = 0;
  if (decimals > precision) decimals = precision;
  const int intg = precision - decimals;
  const int fullInt = intg / 9, lead = intg % 9, fullFrac = decimals / 9, tail = decimals % 9;
  const int size = DecimalStoredSize(precision, decimals);
  uint8_t buf[48];
  ByteView(bytes, count).CopyTo(0, static_cast<size_t>(size), buf);
  const bool negative = (buf[0] & 0x80) == 0;
  const uint32_t mask = negative ? 0xFFFFFFFFu : 0;
  buf[0] ^= 0x80;
  ByteView v(buf, static_cast<size_t>(size));

  auto group = [&](size_t at, int nbytes) -> uint32_t {
    uint32_t x = static_cast<uint32_t>(v.be(at, static_cast<size_t>(nbytes)));
    // Partial groups are signed numbers of their width: the mask applies to their bytes only.
    uint32_t widthMask = nbytes == 4 ? 0xFFFFFFFFu : ((1u << (8 * nbytes)) - 1);
    return (x ^ mask) & widthMask;
  };

  // Integer digits first into a small buffer, then the fraction.
  char digits[96];
  int nd = 0;
  size_t at = 0;
  bool valid = true;
  if (lead > 0) {
    const int nb = kDigitBytes[lead];
    uint32_t g = group(at, nb);
    at += static_cast<size_t>(nb);
    if (g >= kPowers10[lead + 1 > 9 ? 9 : lead + 1]) valid = false;
    if (g) {
      auto r = std::to_chars(digits, digits + 12, g);
      nd = static_cast<int>(r.ptr - digits);
    }
  }
  for (int i = 0; i < fullInt && valid; ++i, at += 4) {
    uint32_t g = group(at, 4);
    if (g > 999999999) { valid = false; break; }
    if (nd == 0) {
      if (g) {
        auto r = std::to_chars(digits, digits + 12, g);
        nd = static_cast<int>(r.ptr - digits);
      }
    } else {
      for (int k = 8; k >= 0; --k) { digits[nd + k] = static_cast<char>('0' + g % 10); g /= 10; }
      nd += 9;
    }
  }
  char frac[96];
  int nf = 0;
  for (int i = 0; i < fullFrac && valid; ++i, at += 4) {
    uint32_t g = group(at, 4);
    if (g > 999999999) { valid = false; break; }
    for (int k = 8; k >= 0; --k) { frac[nf + k] = static_cast<char>('0' + g % 10); g /= 10; }
    nf += 9;
  }
  if (tail > 0 && valid) {
    uint32_t g = group(at, kDigitBytes[tail]);
    if (static_cast<uint64_t>(g) * kPowers10[9 - tail] > 999999999) {
      valid = false;
    } else {
      for (int k = tail - 1; k >= 0; --k) { frac[nf + k] = static_cast<char>('0' + g % 10); g /= 10; }
      nf += tail;
    }
  }
  if (!valid) {
    out.push_back('0');
    return;
  }
  if (negative) out.push_back('-');
  if (nd == 0)
    out.push_back('0');
  else
    out.append(digits, static_cast<size_t>(nd));
  if (nf > 0) {
    out.push_back('.');
    out.append(frac, static_cast<size_t>(nf));
  }
}

}  // namespace

std::string DecimalText(const uint8_t* bytes, size_t count, int precision, int decimals) {
  std::string s;
  AppendDecimal(s, bytes, count, precision, decimals);
  return s;
}

std::string PackedDateTimeText(uint64_t value) {
  std::string s;
  AppendPackedDateTime(s, value);
  return s;
}

std::string DateTimePartsText(int year, int month, int day, int hour, int minute, int second) {
  std::string s;
  AppendDateTime(s, static_cast<unsigned>(year), static_cast<unsigned>(month), static_cast<unsigned>(day),
                 static_cast<unsigned>(hour), static_cast<unsigned>(minute), static_cast<unsigned>(second));
  return s;
}

std::string AnsiText(const uint8_t* bytes, size_t count) {
  std::string s;
  AppendAnsi(s, bytes, count);
  return s;
}

std::string Utf8OrAnsiText(const uint8_t* bytes, size_t count) {
  std::string s;
  AppendUtf8OrAnsi(s, bytes, count);
  return s;
}

int StoredFieldSize(const ColumnDef& column) {
  const int fsp = FractionBytes(column.fractionDigits);
  switch (column.typeCode) {
    case TypeCode::kTiny: return 1;
    case TypeCode::kShort: return 2;
    case TypeCode::kInt24: return 3;
    case TypeCode::kLong: return 4;
    case TypeCode::kLongLong: return 8;
    case TypeCode::kFloat: return 4;
    case TypeCode::kDouble: return 8;
    case TypeCode::kNewDecimal: return DecimalStoredSize(column.precision, column.decimals);
    case TypeCode::kDecimalOld: return column.length;
    case TypeCode::kYear: return 1;
    case TypeCode::kNewDate: return 3;
    case TypeCode::kDate: return 4;
    case TypeCode::kTime: return kHiresTimeBytes[ClampedFsp(column.fractionDigits)];
    case TypeCode::kDateTime:
      return ClampedFsp(column.fractionDigits) > 0 ? kHiresDateTimeBytes[ClampedFsp(column.fractionDigits)] : 8;
    case TypeCode::kTimestamp: return 4 + fsp;
    case TypeCode::kTimestamp2: return 4 + fsp;
    case TypeCode::kDateTime2: return 5 + fsp;
    case TypeCode::kTime2: return 3 + fsp;
    case TypeCode::kBit: return (column.length + 7) / 8;
    case TypeCode::kEnum: return column.enumMembers.size() > 255 ? 2 : 1;
    case TypeCode::kSet: return SetByteCount(column.enumMembers.size());
    case TypeCode::kString:
    case TypeCode::kVarString: return column.length;
    default: return 0;
  }
}

void DecodeFieldText(const ColumnDef& column, const uint8_t* bytes, size_t count, FieldSource source,
                     const DecoderSettings& settings, Cell& out) {
  out.text.clear();
  out.kind = CellKind::kText;
  if (!bytes) count = 0;
  const ByteView v(bytes, count);
  const bool isUnsigned = column.isUnsigned != 0;
  switch (column.typeCode) {
    case TypeCode::kTiny:
      if (isUnsigned) AppendNumber(out.text, v.u8(0));
      else AppendNumber(out.text, static_cast<int>(static_cast<int8_t>(v.u8(0))));
      ApplyZeroFill(column, out);
      break;
    case TypeCode::kShort:
      if (isUnsigned) AppendNumber(out.text, v.le16(0));
      else AppendNumber(out.text, static_cast<int>(static_cast<int16_t>(v.le16(0))));
      ApplyZeroFill(column, out);
      break;
    case TypeCode::kInt24: {
      uint32_t u = v.le24(0);
      if (isUnsigned) AppendNumber(out.text, u);
      else AppendNumber(out.text, static_cast<int32_t>(u & 0x800000 ? u | 0xFF000000u : u));
      ApplyZeroFill(column, out);
      break;
    }
    case TypeCode::kLong:
      if (isUnsigned) AppendNumber(out.text, v.le32(0));
      else AppendNumber(out.text, static_cast<int32_t>(v.le32(0)));
      ApplyZeroFill(column, out);
      break;
    case TypeCode::kLongLong:
      if (isUnsigned) AppendNumber(out.text, v.le64(0));
      else AppendNumber(out.text, static_cast<int64_t>(v.le64(0)));
      ApplyZeroFill(column, out);
      break;
    case TypeCode::kFloat:
    case TypeCode::kDouble: {
      double d;
      float f = 0;
      if (column.typeCode == TypeCode::kFloat) {
        uint32_t u = v.le32(0);
        std::memcpy(&f, &u, 4);
        d = f;
      } else {
        uint64_t u = v.le64(0);
        std::memcpy(&d, &u, 8);
      }
      char buf[400];
      // The grid shows six fraction digits; a save writes the shortest text that reads back as the
      // same stored value, so no digit of the value is lost.
      std::to_chars_result r;
      if (!settings.SaveMode()) r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed, 6);
      else if (column.typeCode == TypeCode::kFloat) r = std::to_chars(buf, buf + sizeof buf, f);
      else r = std::to_chars(buf, buf + sizeof buf, d);
      if (r.ec == std::errc()) out.text.append(buf, r.ptr);
      break;
    }
    case TypeCode::kDecimalOld: {
      // The decimal before 5.0: its digits as characters, right-aligned in the column width.
      size_t n = UpToZero(bytes, count), b = 0;
      while (b < n && bytes[b] == ' ') ++b;
      AppendAnsi(out.text, bytes + b, n - b);
      break;
    }
    case TypeCode::kNewDecimal:
      AppendDecimal(out.text, bytes, count, column.precision, column.decimals);
      ApplyZeroFill(column, out);
      break;
    case TypeCode::kYear: {
      uint8_t b = v.u8(0);
      if (b == 0) out.text.append("0000");
      else AppendNumber(out.text, 1900 + b);
      break;
    }
    case TypeCode::kNewDate: {
      uint32_t d = v.le24(0);
      AppendDate(out.text, (d >> 9) & 0x7FFF, (d >> 5) & 15, d & 31);
      break;
    }
    case TypeCode::kDate: {
      uint32_t d = v.le32(0);
      AppendDate(out.text, d / 10000 % 10000, d / 100 % 100, d % 100);
      break;
    }
    case TypeCode::kTime:
      if (ClampedFsp(column.fractionDigits) > 0) AppendHiresTime(out.text, v, ClampedFsp(column.fractionDigits));
      else AppendOldTime(out.text, v);
      break;
    case TypeCode::kTime2:
      AppendTime2(out.text, v, column.fractionDigits);
      break;
    case TypeCode::kDateTime:
      if (ClampedFsp(column.fractionDigits) > 0) AppendHiresDateTime(out.text, v, ClampedFsp(column.fractionDigits));
      else AppendPackedDateTime(out.text, v.le64(0));
      break;
    case TypeCode::kDateTime2:
      AppendDateTime2(out.text, v, column.fractionDigits);
      break;
    case TypeCode::kTimestamp: {
      const int fsp = ClampedFsp(column.fractionDigits);
      if (fsp > 0) {
        const uint64_t frac = v.be(4, static_cast<size_t>(FractionBytes(fsp)));
        AppendTimestamp(out.text, v.be32(0), static_cast<uint32_t>(frac * kPowers10[6 - fsp]), fsp);
      } else {
        AppendTimestamp(out.text, v.le32(0), 0, 0);
      }
      break;
    }
    case TypeCode::kTimestamp2: {
      int32_t frac = FractionMicros(v, 4, column.fractionDigits, false);
      AppendTimestamp(out.text, v.be32(0), static_cast<uint32_t>(frac), column.fractionDigits);
      break;
    }
    case TypeCode::kBit: {
      const int bits = column.length < 0 ? 0 : (column.length > 64 ? 64 : column.length);
      const size_t width = static_cast<size_t>((bits + 7) / 8);
      // The value is the last (bits + 7) / 8 bytes handed in; fewer bytes are zero-extended.
      const size_t take = count < width ? count : width;
      AppendBits(out.text, bytes + (count - take), take, bits);
      break;
    }
    case TypeCode::kEnum: {
      const size_t n = column.enumMembers.size() > 255 ? v.le16(0) : v.u8(0);
      if (n >= 1 && n <= column.enumMembers.size()) out.text.append(column.enumMembers[n - 1]);
      break;
    }
    case TypeCode::kSet: {
      const int width = SetByteCount(column.enumMembers.size());
      SetMembers(column, v.le(0, static_cast<size_t>(width)), out.text);
      break;
    }
    case TypeCode::kVarchar:
    case TypeCode::kVarString:
    case TypeCode::kString: {
      const uint8_t* p = bytes;
      size_t n = count;
      if (source == FieldSource::kFixedRow && column.typeCode == TypeCode::kVarchar) {
        // A fixed row holds the VARCHAR as its length (1 byte up to 255 bytes, else 2) and then the
        // column's full width; only the first length bytes belong to the value.
        const size_t prefix = column.length > 255 ? 2 : 1;
        size_t len = prefix == 2 ? v.le16(0) : v.u8(0);
        n = count > prefix ? count - prefix : 0;
        if (len < n) n = len;
        p = bytes + (count > prefix ? prefix : count);
      }
      if (column.charsetId == kBinaryCollation)
        SetShortHex(p, n, settings, out);
      else
        SetText(column, p, n, settings, out);
      break;
    }
    case TypeCode::kTinyBlob:
    case TypeCode::kMediumBlob:
    case TypeCode::kLongBlob:
    case TypeCode::kBlob:
      if (source == FieldSource::kFixedRow) break;
      // A MyISAM row holds its blobs whole; long ones stand as a marker outside save mode. An InnoDB
      // record hands in only values kept in the record, shown in full.
      if (source == FieldSource::kDynamicRow && !settings.SaveMode() && count >= kLargeBlobLimit) {
        SetMarker(out, kLargeBlobMarker);
        break;
      }
      SetText(column, bytes, count, settings, out);
      break;
    case TypeCode::kGeometry: {
      if (!settings.SaveMode()) {
        SetMarker(out, kSpatialMarker);
        break;
      }
      bool allZero = true;
      for (size_t i = 0; i < count; ++i)
        if (bytes[i]) { allZero = false; break; }
      if (allZero) {
        out.text.append(kNullText);
        out.kind = CellKind::kNull;
        break;
      }
      // Zero bytes as backslash + "0", the rest read as Windows-1252.
      for (size_t i = 0; i < count; ++i) {
        if (bytes[i] == 0) out.text.append("\\0");
        else AppendCp1252AsUtf8(out.text, std::string_view(reinterpret_cast<const char*>(bytes + i), 1));
      }
      break;
    }
    default:
      break;
  }
}

bool IsNullCandidate(const ColumnDef& column, const std::string& text) {
  auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; };
  size_t b = 0, e = text.size();
  while (b < e && isSpace(text[b])) ++b;
  while (e > b && isSpace(text[e - 1])) --e;
  std::string_view s(text.data() + b, e - b);
  if (s.empty()) return true;
  switch (column.typeCode) {
    case TypeCode::kDecimalOld:
    case TypeCode::kNewDecimal:
    case TypeCode::kFloat:
    case TypeCode::kDouble: {
      size_t dot = s.find('.');
      if (dot != std::string_view::npos && s.substr(0, dot) == "0") return true;
      break;
    }
    default:
      break;
  }
  return s == "0";
}

}  // namespace wexholt
