#include "platform/stream/text_stream.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

ByteSet Bytes(std::string_view text) {
  return ByteSet(text.begin(), text.end());
}
ByteSet Bytes(std::u8string_view text) {
  return ByteSet(text.begin(), text.end());
}

TEST(TextStream, TypeAndCharsetChangeOnlyAtPositionZero) {
  TextStream stream;
  stream.Open();
  ASSERT_TRUE(stream.Write(Bytes("abc")));
  EXPECT_FALSE(stream.SetType(TextStream::kText));
  EXPECT_FALSE(stream.SetCharset("UTF-8"));
  EXPECT_EQ(stream.Type(), TextStream::kBinary);
  ASSERT_TRUE(stream.SetPosition(0));
  EXPECT_TRUE(stream.SetType(TextStream::kText));
  EXPECT_TRUE(stream.SetCharset("utf-8"));
  EXPECT_FALSE(stream.SetCharset(""));
  EXPECT_FALSE(stream.SetCharset("no-such-charset"));
  EXPECT_EQ(stream.ReadText(), "abc");  // the earlier charset stays after a refused change
}

TEST(TextStream, Utf8TextWriteStartsWithABomThatTextReadConsumes) {
  TextStream stream;
  stream.SetType(TextStream::kText);
  stream.Open();
  ASSERT_TRUE(stream.SetCharset("UTF-8"));
  ASSERT_TRUE(stream.WriteText("电影"));
  ASSERT_TRUE(stream.WriteText("abc"));  // not at position 0: no second mark
  stream.SetPosition(0);
  EXPECT_EQ(stream.ReadText(), "电影abc");
  stream.SetPosition(0);
  stream.SetType(TextStream::kBinary);
  EXPECT_EQ(stream.Read(), Bytes(u8"\uFEFF电影abc"));
}

TEST(TextStream, GbkTextWriteHasNoMarkAndReadsFromThePosition) {
  TextStream stream;
  stream.SetType(TextStream::kText);
  stream.Open();
  ASSERT_TRUE(stream.SetCharset("GBK"));
  ASSERT_TRUE(stream.WriteText("电影"));
  stream.SetPosition(0);
  stream.SetType(TextStream::kBinary);
  EXPECT_EQ(stream.Read(), Bytes("电影"));
  EXPECT_TRUE(stream.Read().empty());  // the position is at the end now
  stream.SetPosition(2);
  EXPECT_EQ(stream.Read(), Bytes("影"));
  EXPECT_FALSE(stream.SetPosition(-1));
  stream.SetPosition(9);
  EXPECT_TRUE(stream.Read().empty());
}

TEST(TextStream, BinaryWriteOverwritesAndExtendsAtThePosition) {
  TextStream stream;
  stream.Open();
  stream.Write(Bytes("abcdef"));
  stream.SetPosition(4);
  stream.Write(Bytes("XYZ"));
  stream.SetPosition(0);
  EXPECT_EQ(stream.Read(), Bytes("abcdXYZ"));
  stream.Close();
  EXPECT_FALSE(stream.Write(Bytes("x")));
  stream.Open();
  EXPECT_EQ(stream.Size(), 0u);
}

}  // namespace
