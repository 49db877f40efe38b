#include "web/cookies.h"

#include <gtest/gtest.h>

#include "web/cookie_items.h"

namespace {

struct MergeCase {
  const char* cookies;
  const char* received;
  const char* merged;
  const char* receivedAfter;
};

const MergeCase kMergeCases[] = {
    {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1", "b=3;c=4"},
    {"a=1; b=2", "a=deleted", "b=2", "a=deleted"},
    {"a=1; a=2", "", "a=1", ""},
    {"x=a b", "", "x=ab", ""},
    {"", "", "", ""},
    {"", "; b=2", "; b=2", ";b=2"},
    // Ideographic spaces are blanks too; names compare with case.
    {"a=1　; A=2", "", "a=1; A=2", ""},
    // A cookie the server deletes that was never there, and repeats in what it sent.
    {"a=1", "z=deleted; b=2; b=2", "b=2; a=1", "z=deleted;b=2;b=2"},
    // Items without "=" are names of their own.
    {"flag; a=1", "flag=on", "flag=on; a=1", "flag=on"},
    {"a=1;", "", "a=1", ""},
};

TEST(MergeCookies, ServerCookiesFirstThenOldOnesOfOtherNames) {
  for (const MergeCase& c : kMergeCases) {
    SCOPED_TRACE(std::string(c.cookies) + " | " + c.received);
    Text cookies = c.cookies;
    Text received = c.received;
    Text returned = MergeCookies(cookies, received);
    EXPECT_EQ(cookies, c.merged);
    EXPECT_EQ(returned, c.merged);
    EXPECT_EQ(received, c.receivedAfter);
  }
}

TEST(CookieItems, NameIsTheTrimmedTextBeforeTheFirstEquals) {
  EXPECT_EQ(CookieName(" sid = 7"), "sid");
  EXPECT_EQ(CookieName("k=v=w"), "k");
  EXPECT_EQ(CookieName("　flag　"), "flag");
  EXPECT_EQ(CookieName("=v"), "");
  EXPECT_EQ(CookieName(""), "");
}

TEST(CookieItems, HasCookieNameAndFindItem) {
  TextArray items = {"a=1", "b=2", "a=1"};
  EXPECT_TRUE(HasCookieName(items, "b"));
  EXPECT_FALSE(HasCookieName(items, "B"));
  EXPECT_FALSE(HasCookieName({}, ""));
  EXPECT_EQ(FindItem(items, "a=1"), 1);
  EXPECT_EQ(FindItem(items, "b=2"), 2);
  EXPECT_EQ(FindItem(items, "c=3"), -1);
}

TEST(CookieItems, DistinctItemsDropsRepeats) {
  EXPECT_EQ(DistinctItems("a=1; b=2; a=1", "; "), "a=1; b=2");
  EXPECT_EQ(DistinctItems("; ; x", "; "), "; x");
  EXPECT_EQ(DistinctItems("x;y;x;", ";"), "x;y");
  EXPECT_EQ(DistinctItems("", "; "), "");
}

}  // namespace
