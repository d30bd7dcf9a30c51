// String literals: every byte that needs an escape is escaped wherever it lies in the text, also
// inside long runs of ordinary characters and across their eight-byte steps.
#include <gtest/gtest.h>

#include <string>

#include "save/SqlScript.h"

namespace wexholt {
namespace {

// The escapes one byte at a time.
std::string ByteByByte(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    switch (c) {
      case '\0': out += "\\0"; break;
      case '\'': out += "\\'"; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\x1A': out += "\\Z"; break;
      default: out += c;
    }
  }
  return out + "'";
}

TEST(QuoteString, EscapesEverySpecialByteAtEveryPosition) {
  // The escaped bytes and their neighbours that must stay as they are (0x1B and 0x26, 0x28, 0x5B,
  // 0x5D, a tab, a UTF-8 sequence).
  const std::string specials{'\0', '\'', '\\', '\n', '\r', '\x1A', '\x1B', '&', '(', '[', ']', '\t', '\xC3'};
  for (char special : specials) {
    for (size_t length = 1; length <= 24; ++length) {
      for (size_t at = 0; at < length; ++at) {
        std::string text(length, 'a');
        text[at] = special;
        EXPECT_EQ(QuoteString(text), ByteByByte(text)) << "byte " << int(static_cast<unsigned char>(special))
                                                       << " at " << at << " of " << length;
      }
    }
  }
  const std::string mixed = std::string("it's a \\ path\r\nwith\0nul and \x1A end", 33) + std::string(40, 'x') + "'";
  EXPECT_EQ(QuoteString(mixed), ByteByByte(mixed));
  EXPECT_EQ(QuoteString(""), "''");
  std::string appended = "x=";
  AppendQuotedString(appended, "o'k");
  EXPECT_EQ(appended, "x='o\\'k'");
}

}  // namespace
}  // namespace wexholt
