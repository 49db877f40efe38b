#include "web/url_parts.h"

#include <gtest/gtest.h>

namespace {

struct UrlCase {
  const char* url;
  const char* host;
  const char* hostWithPort;
  int port;
  const char* path;
};

const UrlCase kUrlCases[] = {
    {"HTTP://News.Example.COM:8080/a/b?c=1", "news.example.com", "news.example.com:8080", 8080, "/a/b?c=1"},
    {"example.com", "example.com", "example.com", 80, "/"},
    {"example.com/x", "example.com", "example.com", 80, "/x"},
    {"http://host?x=1", "host?x=1", "host?x=1", 80, "/"},
    {"https://Host:8443/Dir/Page.htm?id=7", "host", "host:8443", 8443, "/Dir/Page.htm?id=7"},
    {"http://host", "host", "host", 80, "/"},
    {"https://example.com", "example.com", "example.com", 443, "/"},
    {"http://example.com:81/", "example.com", "example.com:81", 81, "/"},
    {"http://example.com:/", "example.com", "example.com:", 0, "/"},
    {"HTTPS://EXAMPLE.COM/A", "example.com", "example.com", 443, "/A"},
    {"", "", "", 80, "/"},
    // Query and fragment stay in the path as written; only the host is lowered.
    {"http://a.cn/Film/1.HTM#Top", "a.cn", "a.cn", 80, "/Film/1.HTM#Top"},
    // A port with trailing junk reads its leading digits; the last colon counts.
    {"http://h:12ab/", "h", "h:12ab", 12, "/"},
    {"http://u:p@h:99/x", "u", "u:p@h:99", 99, "/x"},
    // A scheme without "//" is read as a host with an empty port.
    {"https:/x.com/y", "https", "https:", 0, "/x.com/y"},
    // A host that also occurs inside the scheme is still taken from after the scheme.
    {"http://t/x", "t", "t", 80, "/x"},
    {"https://s/ps", "s", "s", 443, "/ps"},
};

TEST(UrlParts, SplitsHostPortAndPath) {
  for (const UrlCase& c : kUrlCases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(UrlHost(c.url), c.host);
    EXPECT_EQ(UrlHost(c.url, false, true), c.hostWithPort);
    EXPECT_EQ(UrlPort(c.url), c.port);
    EXPECT_EQ(UrlPath(c.url), c.path);
  }
}

TEST(UrlParts, MainDomainOnlyKeepsTheLastTwoLabels) {
  EXPECT_EQ(UrlHost("http://news.example.com/", true), "example.com");
  EXPECT_EQ(UrlHost("http://a.b.example.com:81/", true, true), "example.com:81");
  EXPECT_EQ(UrlHost("http://localhost/", true), "localhost");
}

TEST(UrlParts, GbkHostBytesSurviveAndThePathKeepsItsCase) {
  // "电影" ends in the trail byte 0xB0 and "中文" holds no ASCII; the path keeps GBK bytes.
  EXPECT_EQ(UrlHost("http://电影.中文/页面.htm"), "电影.中文");
  EXPECT_EQ(UrlPath("http://电影.中文/页面.htm"), "/页面.htm");
}

}  // namespace
