#include "web/charset.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "web/recode.h"

namespace {

// Narrow literals are GBK (the compiler's execution charset); u8 literals stay UTF-8.
ByteSet Bytes(std::string_view text) {
  return ByteSet(text.begin(), text.end());
}
ByteSet Bytes(std::u8string_view text) {
  return ByteSet(text.begin(), text.end());
}

const ByteSet kUtf8Bom = {0xEF, 0xBB, 0xBF};

ByteSet Join(ByteSet a, const ByteSet& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct RecodeCase {
  const char* name;
  ByteSet data;
  const char* from;
  const char* to;
  std::optional<int> skipBytes;
  ByteSet expected;
};

// clang-format off
const RecodeCase kRecodeCases[] = {
    {"Chinese UTF-8 page", Bytes(u8"<title>获取最新电影失败</title>"), "UTF-8", "GBK", {},
     Bytes("<title>获取最新电影失败</title>")},
    {"ASCII unchanged", Bytes("<a href=\"/bd/index_2.htm\">2</a>\r\n"), "UTF-8", "GBK", {},
     Bytes("<a href=\"/bd/index_2.htm\">2</a>\r\n")},
    // Windows writes its default character once per UTF-16 unit: an emoji is a surrogate pair.
    {"emoji", Bytes(u8"电影😀好"), "UTF-8", "GBK", {}, Bytes("电影??好")},
    {"zero-width space and inner BOM", Bytes(u8"a\u200Bb\uFEFFc"), "UTF-8", "GBK", {},
     Bytes("a?b?c")},
    {"best fit", Bytes(u8"m\u00B2"), "UTF-8", "GBK", {}, Bytes("m2")},
    {"leading BOM consumed", Join(kUtf8Bom, Bytes(u8"中文")), "UTF-8", "GBK", {}, Bytes("中文")},
    {"cut at the first NUL", Bytes(std::u8string_view(u8"电影\0rest", 11)), "UTF-8", "GBK", {},
     Bytes("电影")},
    {"ill-formed byte between Chinese text", Bytes(u8"中\xFF文"), "UTF-8", "GBK", {},
     Bytes("中?文")},
    {"lone continuation byte and overlong form", Bytes(u8"a\x80" "b\xC0\xAF" "c"), "UTF-8",
     "GBK", {}, Bytes("a?b??c")},
    {"character cut at the end", Bytes(u8"中文\xE4\xB8"), "UTF-8", "GBK", {}, Bytes("中文?")},
    // Windows' gb2312 is code page 936 as a whole: characters outside GB2312 proper, the euro
    // sign and the user-defined area survive.
    {"gb2312 means code page 936", Bytes(u8"後€\uE052"), "UTF-8", "gb2312", {},
     Bytes(std::string("後") + "\x80\xAA\xF3")},  // 0x80: the euro sign
    {"GBK to UTF-8 writes a BOM", Bytes("电影"), "GBK", "UTF-8", {},
     Join(kUtf8Bom, Bytes(u8"电影"))},
    {"skipBytes drops the BOM", Bytes("电影"), "GBK", "UTF-8", 3, Bytes(u8"电影")},
    {"skipBytes inside GBK output", Bytes(u8"电影abc"), "UTF-8", "GBK", 2, Bytes("影abc")},
    {"skipBytes beyond the end", Bytes(u8"abc"), "UTF-8", "GBK", 10, {}},
    {"skipBytes 0", Bytes(u8"abc"), "UTF-8", "GBK", 0, Bytes("abc")},
    {"unknown from-charset passes the data", Bytes(u8"电影"), "x-no-such-charset", "GBK", {},
     Bytes(u8"电影")},
    {"unknown to-charset passes the data", Bytes(u8"电影"), "UTF-8", "no-such", {},
     Bytes(u8"电影")},
    {"empty data", {}, "UTF-8", "GBK", {}, {}},
    // The text passes through code page 936 on the way: "ï" is not in it.
    {"another ICU charset", Bytes(u8"café ï"), "UTF-8", "ISO-8859-1", {},
     ByteSet{'c', 'a', 'f', 0xE9, ' ', '?'}},
};
// clang-format on

TEST(RecodeBytes, DecodesThroughCodePage936AndEncodes) {
  for (const RecodeCase& c : kRecodeCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RecodeBytes(c.data, c.from, c.to, c.skipBytes), c.expected);
  }
}

TEST(ConvertCharset, DefaultsUtf8ToGbkAndWritesTheDefaultsBack) {
  Text from;
  Text to;
  EXPECT_EQ(ConvertCharset(Bytes(u8"电影"), &from, &to), Bytes("电影"));
  EXPECT_EQ(from, "UTF-8");
  EXPECT_EQ(to, "GBK");
  EXPECT_EQ(ConvertCharset(Bytes(u8"电影")), Bytes("电影"));

  Text gbk = "GBK";
  Text utf8 = "UTF-8";
  EXPECT_EQ(ConvertCharset(Bytes("电影"), &gbk, &utf8, 3), Bytes(u8"电影"));
  EXPECT_EQ(gbk, "GBK");
  EXPECT_EQ(utf8, "UTF-8");
}

TEST(ConvertCharset, LargeMixedPageMatchesPieceByPiece) {
  // A page far larger than the converters' internal buffers, ill-formed bytes spread through it.
  std::u8string page;
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    page += u8"<li>最新电影 No.";
    page += static_cast<char8_t>(u8'0' + i % 10);
    page += (i % 97 == 0) ? u8"\xF0\x9F" : u8"";
    page += u8"</li>\n";
    expected += "<li>最新电影 No.";
    expected += static_cast<char>('0' + i % 10);
    expected += (i % 97 == 0) ? "?" : "";
    expected += "</li>\n";
  }
  EXPECT_EQ(ConvertCharset(Bytes(page)), Bytes(expected));
}

}  // namespace
