// Cutting texts out of pages and header blocks between a left and a right marker.
#include "text/extract.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct BetweenCase {
  const char* name = "";
  Text source = {};
  Text left = {};
  Text right = {};
  int start = 0;
  bool caseSensitive = false;
  Text expected = {};
};

TEST(ExtractBetween, Cases) {
  const Text headers = "HTTP/1.1 200 OK\r\nuser-agent: Mozilla/4.0\r\nHost: x\r\n";
  const BetweenCase cases[] = {
      {.name = "header name in another case, value untrimmed",
       .source = headers,
       .left = "User-Agent:",
       .right = "\r\n",
       .expected = " Mozilla/4.0"},
      {.name = "case-sensitive misses it",
       .source = headers,
       .left = "User-Agent:",
       .right = "\r\n",
       .caseSensitive = true,
       .expected = ""},
      {.name = "no left marker", .source = "abc]", .left = "[", .right = "]", .expected = ""},
      {.name = "no right marker after the left",
       .source = "]a[bc",
       .left = "[",
       .right = "]",
       .expected = ""},
      {.name = "right marker directly after the left",
       .source = "[]x]",
       .left = "[",
       .right = "]",
       .expected = ""},
      {.name = "first left, then the nearest right",
       .source = "[a]b][c]",
       .left = "[",
       .right = "]",
       .expected = "a"},
      {.name = "start skips the first",
       .source = "[a][b]",
       .left = "[",
       .right = "]",
       .start = 2,
       .expected = "b"},
      {.name = "start below 1 means 1",
       .source = "[a][b]",
       .left = "[",
       .right = "]",
       .start = -4,
       .expected = "a"},
      {.name = "start beyond the end",
       .source = "[a]",
       .left = "[",
       .right = "]",
       .start = 9,
       .expected = ""},
      {.name = "quote placeholder in both markers",
       .source = "<a href=\"/bd/1.html\">",
       .left = "href=#引号",
       .right = "#引号",
       .expected = "/bd/1.html"},
      {.name = "placeholder bytes in the source are not a quote",
       .source = "#引号x#引号",
       .left = "#引号",
       .right = "#引号",
       .expected = ""},
      {.name = "two-byte characters cut whole",
       .source = "<b>雾港追凶</b>",
       .left = "<b>",
       .right = "</b>",
       .expected = "雾港追凶"},
      {.name = "left marker not found on a second byte",
       .source = "丄:x;",
       .left = "A:",
       .right = ";",
       .expected = ""},
      {.name = "right marker not found on a second byte",
       .source = "[丄]x]",
       .left = "[",
       .right = "A]",
       .expected = ""},
      {.name = "characters counted from the start",
       .source = "丄:x;",
       .left = "A:",
       .right = ";",
       .start = 2,
       .expected = "x"},
      {.name = "empty left marker", .source = "[a]", .left = "", .right = "]", .expected = ""},
      {.name = "empty right marker", .source = "[a]", .left = "[", .right = "", .expected = ""},
      {.name = "empty source", .source = "", .left = "[", .right = "]", .expected = ""},
  };
  ASSERT_EQ(Text("丄")[1], 'A');
  for (const BetweenCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExtractBetween(c.source, c.left, c.right, c.start, c.caseSensitive), c.expected);
  }
}

struct AllCase {
  const char* name = "";
  Text source = {};
  Text left = {};
  Text right = {};
  bool caseSensitive = false;
  int maxLength = 0;
  Text prefix = {};
  Text suffix = {};
  bool keepLeft = false;
  bool keepRight = false;
  int start = 0;
  TextArray expected = {};
};

TEST(ExtractAllBetween, Cases) {
  const AllCase cases[] = {
      {.name = "every match in page order",
       .source = "<i>甲</i>x<i>乙</i><i>丙</i>",
       .left = "<i>",
       .right = "</i>",
       .expected = {"甲", "乙", "丙"}},
      {.name = "a blank-only match ends the collection",
       .source = "<i>甲</i><i> 　</i><i>乙</i>",
       .left = "<i>",
       .right = "</i>",
       .expected = {"甲"}},
      {.name = "quote as both markers: the space between two words ends it",
       .source = "\"one\" \"two\"",
       .left = "\"",
       .right = "\"",
       .expected = {"one"}},
      {.name = "a right marker serves as the next left marker",
       .source = "|a|b|c|",
       .left = "|",
       .right = "|",
       .expected = {"a", "b", "c"}},
      {.name = "the next search starts at the right marker, not inside the match",
       .source = "<i>a<i>b</i>",
       .left = "<i>",
       .right = "</i>",
       .expected = {"a<i>b"}},
      {.name = "blanks trimmed, tab, CR, LF kept",
       .source = "[ 　a\tb\r\n 　][\t x \t]",
       .left = "[",
       .right = "]",
       .expected = {"a\tb\r\n", "\t x \t"}},
      {.name = "no right marker after the last left",
       .source = "[a][b",
       .left = "[",
       .right = "]",
       .expected = {"a"}},
      {.name = "case-insensitive by default",
       .source = "<B>x</B><b>y</b>",
       .left = "<b>",
       .right = "</b>",
       .expected = {"x", "y"}},
      {.name = "case-sensitive",
       .source = "<B>x</B><b>y</b>",
       .left = "<b>",
       .right = "</b>",
       .caseSensitive = true,
       .expected = {"y"}},
      {.name = "placeholder taken literally",
       .source = "#引号x#引号 \"y\"",
       .left = "#引号",
       .right = "#引号",
       .expected = {"x"}},
      {.name = "markers never on a second byte",
       .source = "丄<1>A<2>",
       .left = "A<",
       .right = ">",
       .expected = {"2"}},
      {.name = "characters counted from the start",
       .source = "丄<1>A<2>",
       .left = "A<",
       .right = ">",
       .start = 2,
       .expected = {"1", "2"}},
      {.name = "start skips earlier matches",
       .source = "[a][b]",
       .left = "[",
       .right = "]",
       .start = 3,
       .expected = {"b"}},
      {.name = "start beyond the end",
       .source = "[a]",
       .left = "[",
       .right = "]",
       .start = 4,
       .expected = {}},
      {.name = "an over-long match ends the collection",
       .source = "[ab][abc][a]",
       .left = "[",
       .right = "]",
       .maxLength = 2,
       .expected = {"ab"}},
      {.name = "maximum length counts the trimmed bytes",
       .source = "[ 　ab　 ][雾港]",
       .left = "[",
       .right = "]",
       .maxLength = 3,
       .expected = {"ab"}},
      {.name = "prefix, suffix and both markers kept",
       .source = "<I> a </I>",
       .left = "<i>",
       .right = "</i>",
       .prefix = "(",
       .suffix = ")",
       .keepLeft = true,
       .keepRight = true,
       .expected = {"<i>(a)</i>"}},
      {.name = "empty left marker", .source = "[a]", .left = "", .right = "]", .expected = {}},
      {.name = "empty right marker", .source = "[a]", .left = "[", .right = "", .expected = {}},
      {.name = "empty source", .source = "", .left = "[", .right = "]", .expected = {}},
  };
  for (const AllCase& c : cases) {
    SCOPED_TRACE(c.name);
    TextArray result = {"left over", "from before"};
    const int count = ExtractAllBetween(c.source, c.left, c.right, result, c.caseSensitive, c.maxLength,
                                        c.prefix, c.suffix, c.keepLeft, c.keepRight, c.start);
    EXPECT_EQ(count, static_cast<int>(result.size()));
    EXPECT_EQ(result, c.expected);
  }
}

// The three fields of a catalogue listing page, cut with the loader's markers (long markers
// with CR LF and runs of spaces; the page writes <p> where the date marker has <P>).
TEST(ExtractAllBetween, ListingPageFields) {
  std::string page;
  const char* const titles[] = {"雾港追凶 BD国语中字", "长河落日 HD中字"};
  for (int i = 0; i < 2; ++i) {
    const std::string link = "/bd/2024/" + std::to_string(i) + ".html";
    page += "          <li>\r\n            <div class=\"listimg\"> <a href=\"" + link +
            "\" target=\"_blank\"><img src=\"/up/" + std::to_string(i) + ".gif'\" alt=\"" + titles[i] +
            "\" /></a></div>\r\n            <div class=\"listInfo\">\r\n              <p>主演：某某</p>\r\n"
            "              <p>时间：2024-03-1" +
            std::to_string(i) + "</p>\r\n            </div>\r\n          </li>\r\n";
  }
  TextArray result;
  EXPECT_EQ(ExtractAllBetween(page, ".gif'\" alt=\"", "\"", result), 2);
  EXPECT_EQ(result, (TextArray{titles[0], titles[1]}));
  EXPECT_EQ(ExtractAllBetween(page, "</p>\r\n              <P>时间：",
                              "</p>\r\n            </div>\r\n          </li>\r", result),
            2);
  EXPECT_EQ(result, (TextArray{"2024-03-10", "2024-03-11"}));
  EXPECT_EQ(ExtractAllBetween(page, "            <div class=\"listimg\"> <a href=\"",
                              "\" target=\"_blank\"><img src=\"", result),
            2);
  EXPECT_EQ(result, (TextArray{"/bd/2024/0.html", "/bd/2024/1.html"}));
}

TEST(ExtractAllBetween, IsLinearInTheSource) {
  // 300,000 matches in a 3 MB source: copying the rest of the source per match, or searching
  // from the beginning again, would take minutes.
  std::string source;
  for (int i = 0; i < 300000; ++i) source += "<a>电影</a>";
  TextArray result;
  EXPECT_EQ(ExtractAllBetween(source, "<a>", "</a>", result), 300000);
  EXPECT_EQ(result.back(), "电影");
}

}  // namespace
