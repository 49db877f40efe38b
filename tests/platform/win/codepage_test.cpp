#include "platform/win/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct AnsiCase {
  const char* name;
  std::u16string unicode;
  std::string ansi;
  bool roundTrips;
};

const AnsiCase kAnsiCases[] = {
    {"Chinese", u"获取最新电影失败", "获取最新电影失败", true},
    {"ASCII", u"Setup 1.0\r\n", "Setup 1.0\r\n", true},
    {"ideographic space", u"　", "　", true},
    // Code page 936 keeps the euro sign at 0x80 (the compiler's GB18030 literals put it elsewhere).
    {"euro sign", u"€", "\x80", true},
    // The busy glyph's private-use code points land in the user-defined area and come back.
    {"U+E000", u"\uE000", "\xAA\xA1", true},
    {"U+E052", u"\uE052", "\xAA\xF3", true},
    {"U+E0CB", u"\uE0CB", "\xAC\xB0", true},
    {"U+E233", u"\uE233", "\xAF\xFE", true},
    {"best fit", u"x\u00B2", "x2", false},
    {"zero-width space", u"a\u200Bb", "a?b", false},
    {"BOM in the middle", u"a\uFEFFb", "a?b", false},
    {"emoji is two units", u"a😀b", "a??b", false},
    {"lone surrogate", std::u16string(u"a") + char16_t(0xD800) + u"b", "a?b", false},
    {"replacement character", u"\uFFFD", "?", false},
    {"NUL converts like any character", std::u16string(u"a\0b", 3), std::string("a\0b", 3), true},
    {"empty", u"", "", true},
};

TEST(CodePage936, ConvertsLikeWindows) {
  for (const AnsiCase& c : kAnsiCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(UnicodeToAnsi(c.unicode), c.ansi);
    if (c.roundTrips) {
      EXPECT_EQ(AnsiToUnicode(c.ansi), c.unicode);
    }
  }
}

TEST(CodePage936, Utf8FormsMatchTheUnicodeForms) {
  EXPECT_EQ(Utf8ToAnsi("\xE7\x94\xB5\xE5\xBD\xB1\xEE\x81\x92"), "电影\xAA\xF3");
  EXPECT_EQ(AnsiToUtf8("电影\xAA\xF3"), "\xE7\x94\xB5\xE5\xBD\xB1\xEE\x81\x92");
  EXPECT_EQ(Utf8ToAnsi(std::string("a\xFF") + "b"), "a?b");
  EXPECT_EQ(Utf8ToAnsi(""), "");
}

// The text stream stores code page 936 text unchanged when its charset is 936; that is right
// only if every output of the conversion decodes and encodes back to the same bytes.
TEST(CodePage936, EveryConversionOutputRoundTrips) {
  int checked = 0;
  for (char32_t c = 1; c <= 0xFFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::string ansi = UnicodeToAnsi(std::u16string(1, static_cast<char16_t>(c)));
    ASSERT_FALSE(ansi.empty()) << std::hex << static_cast<unsigned>(c);
    ASSERT_EQ(UnicodeToAnsi(AnsiToUnicode(ansi)), ansi) << std::hex << static_cast<unsigned>(c);
    ++checked;
  }
  EXPECT_EQ(checked, 0xFFFF - 0x800);
}

}  // namespace
