// The shared text operations: GBK-aware search, blanks, splitting, parts, case, numbers.
#include "text/text_ops.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// 丄 is the two bytes 0x81 'A' and 乤 is 0x81 'a': their second bytes look like ASCII letters.
TEST(TextOps, FixturesHaveLetterSecondBytes) {
  ASSERT_EQ(Text("丄").size(), 2u);
  ASSERT_EQ(Text("丄")[1], 'A');
  ASSERT_EQ(Text("乤")[1], 'a');
  ASSERT_EQ(Text("丄")[0], Text("乤")[0]);
}

struct FindCase {
  const char* name;
  Text text;
  Text what;
  int start;
  bool caseSensitive;
  int expected;
};

TEST(TextOps, FindText) {
  const FindCase cases[] = {
      {"first match", "abcabc", "c", 1, true, 3},
      {"from a later start", "abcabc", "c", 4, true, 6},
      {"start below 1 means 1", "abcabc", "a", -7, true, 1},
      {"start on the last byte", "abcabc", "c", 6, true, 6},
      {"start beyond the end", "abc", "c", 4, true, -1},
      {"marker longer than the rest", "abc", "bcd", 1, true, -1},
      {"empty marker", "abc", "", 1, true, -1},
      {"empty text", "", "a", 1, true, -1},
      {"case-insensitive folds ASCII", "Host: X\r\nUSER-agent: Y", "user-AGENT:", 1, false, 10},
      {"case-sensitive does not", "USER-agent:", "user-agent:", 1, true, -1},
      {"full-width letters are not folded", "Ａ", "ａ", 1, false, -1},
      {"@ and ` are not folded", "@", "`", 1, false, -1},
      {"never on a second byte", "丄", "A", 1, true, -1},
      {"never on a second byte, folded", "丄", "a", 1, false, -1},
      {"after the character", "丄A", "A", 1, true, 3},
      {"second bytes fold too", "丄", "乤", 1, false, 1},
      {"second bytes exact when case-sensitive", "丄", "乤", 1, true, -1},
      {"characters counted from the start", "丄A", "A", 2, true, 2},
      {"two-byte marker off the grid", "啊啊", "“", 1, true, -1},
      {"two-byte marker on the grid from 2", "啊啊", "“", 2, true, 2},
      {"two-byte marker on the grid after ASCII", "x啊啊", "“", 1, true, -1},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindText(c.text, c.what, c.start, c.caseSensitive), c.expected);
  }
  EXPECT_TRUE(ContainsText("abc", "BC", false));
  EXPECT_FALSE(ContainsText("丄", "A"));
}

struct TrimCase {
  const char* name;
  Text text;
  Text both;
  Text left;
  Text right;
  Text removed;
};

TEST(TextOps, Blanks) {
  const TrimCase cases[] = {
      {"spaces and ideographic spaces", " 　a b　 ", "a b", "a b　 ", " 　a b", "ab"},
      {"tab, CR and LF are not blanks", "\t a\r\n", "\t a\r\n", "\t a\r\n", "\t a\r\n", "\ta\r\n"},
      {"only blanks", " 　 ", "", "", "", ""},
      {"empty", "", "", "", "", ""},
      // 啊 ends in 0xA1 and “ begins with it: the 0xA1 0xA1 between them is no blank.
      {"0xA1 0xA1 across two characters", "啊“", "啊“", "啊“", "啊“", "啊“"},
      {"ideographic space after 啊", "啊　", "啊", "啊　", "啊", "啊"},
      // A cut-off last character (a lone lead byte) is kept.
      {"lone lead byte 0xA1 after 啊", "啊\xA1", "啊\xA1", "啊\xA1", "啊\xA1", "啊\xA1"},
  };
  for (const TrimCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TrimBlanks(c.text), c.both);
    EXPECT_EQ(TrimBlanksView(c.text), c.both);
    EXPECT_EQ(TrimLeftBlanks(c.text), c.left);
    EXPECT_EQ(TrimRightBlanks(c.text), c.right);
    EXPECT_EQ(RemoveBlanks(c.text), c.removed);
  }
}

TEST(TextOps, SplitText) {
  const struct {
    const char* name;
    Text text;
    Text separator;
    TextArray expected;
  } cases[] = {
      {"pieces in order", "a,b,c", ",", {"a", "b", "c"}},
      {"empty piece in front and between", ",a,,b", ",", {"", "a", "", "b"}},
      {"no empty piece after the last", "a,b,", ",", {"a", "b"}},
      {"only a separator", ",", ",", {""}},
      {"no separator", "abc", ",", {"abc"}},
      {"empty text", "", ",", {}},
      {"longer separator", "a::b:c", "::", {"a", "b:c"}},
      {"separator never on a second byte", "丄A丄", "A", {"丄", "丄"}},
      {"split is exact", "aXbxc", "x", {"aXb", "c"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SplitText(c.text, c.separator), c.expected);
  }
}

TEST(TextOps, LeftAndRightParts) {
  EXPECT_EQ(LeftPart("abc", 2), "ab");
  EXPECT_EQ(LeftPart("abc", 0), "");
  EXPECT_EQ(LeftPart("abc", -1), "");
  EXPECT_EQ(LeftPart("abc", 9), "abc");
  EXPECT_EQ(RightPart("abc", 2), "bc");
  EXPECT_EQ(RightPart("abc", 0), "");
  EXPECT_EQ(RightPart("abc", -1), "");
  EXPECT_EQ(RightPart("abc", 9), "abc");
}

TEST(TextOps, LowerAsciiChangesOnlyAToZ) {
  EXPECT_EQ(LowerAscii("Content-Type: UTF-8 @[`{"), "content-type: utf-8 @[`{");
  EXPECT_EQ(LowerAscii("ＡＢ电影"), "ＡＢ电影");
  // 丄 is 81 41 and 乤 is 81 61 in GBK: the trail byte is not a letter.
  EXPECT_EQ(LowerAscii("丄X"), "丄x");
}

TEST(TextOps, IntegerValue) {
  const struct {
    Text text;
    int expected;
  } cases[] = {
      {"8631", 8631},
      {"80/path", 80},
      {"007", 7},
      {"", 0},
      {"x1", 0},
      {" 1", 0},
      {"-5", 0},
      {"+5", 0},
      {"2147483647", INT_MAX},
      {"99999999999999999999", INT_MAX},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(IntegerValue(c.text), c.expected);
  }
}

TEST(TextOps, ReplaceAll) {
  EXPECT_EQ(ReplaceAll("a#b#", "#", "--"), "a--b--");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("aAa", "a", "x"), "xAx");
  EXPECT_EQ(ReplaceAll("丄A", "A", "x"), "丄x");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceAll("", "a", "x"), "");
}

TEST(TextOps, ByteSetConversions) {
  EXPECT_EQ(ToText(ByteSet{'a', 'b', 0, 'c'}), "ab");
  EXPECT_EQ(ToText(ByteSet{}), "");
  EXPECT_EQ(ToText(ByteSet{'a', 'b'}), "ab");
  EXPECT_EQ(ToByteSet("电影").size(), 4u);
  EXPECT_EQ(ToText(ToByteSet("电影")), "电影");
  EXPECT_TRUE(ToByteSet("").empty());
}

}  // namespace
