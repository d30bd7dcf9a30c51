// UTF-8 validation and Windows-1252 conversion of texts that are mostly ASCII: a byte of 0x80 or
// above is found wherever it lies, also after long ASCII runs and across their eight-byte steps.
#include <gtest/gtest.h>

#include <string>

#include "decoding/Text.h"

namespace wexholt {
namespace {

TEST(TextRuns, NonAsciiBytesFoundAtEveryPosition) {
  for (size_t length = 1; length <= 24; ++length) {
    for (size_t at = 0; at < length; ++at) {
      SCOPED_TRACE("at " + std::to_string(at) + " of " + std::to_string(length));
      std::string text(length, 'a');
      text[at] = '\xE9';  // alone: not UTF-8; Windows-1252 e acute
      EXPECT_FALSE(IsValidUtf8(text));
      std::string expected = text.substr(0, at) + "\xC3\xA9" + text.substr(at + 1);
      EXPECT_EQ(Cp1252ToUtf8(text), expected);
      EXPECT_TRUE(IsValidUtf8(expected));
      text[at] = '\x80';  // the euro sign in Windows-1252
      EXPECT_EQ(Cp1252ToUtf8(text), text.substr(0, at) + "\xE2\x82\xAC" + text.substr(at + 1));
    }
  }
  // A sequence cut off by the end of a long text, and one cut by an ASCII byte.
  EXPECT_FALSE(IsValidUtf8(std::string(17, 'a') + "\xE2\x82"));
  EXPECT_FALSE(IsValidUtf8(std::string(9, 'a') + "\xE2\x82" + std::string(9, 'a')));
  EXPECT_TRUE(IsValidUtf8(std::string(16, 'a') + "\xF0\x9F\x98\x80" + std::string(3, 'a')));
  EXPECT_TRUE(IsValidUtf8(std::string(40, 'z')));
}

}  // namespace
}  // namespace wexholt
