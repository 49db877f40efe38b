// HttpRequest against loopback servers: the request bytes that arrive and what the routine makes
// of every kind of answer.
#include "web/http_request.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "platform/inet/wininet.h"
#include "tests/support/http_test_server.h"
#include "web/header_value.h"

// Options are written with designated initializers naming only the arguments a case gives.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using testsupport::Connection;
using testsupport::HttpResponse;
using testsupport::ReceivedRequest;
using testsupport::Reply;
using testsupport::TestHttpProxy;
using testsupport::TestHttpServer;

const char* const kDefaultAgent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; KTR9B; .NET CLR 2.0.50727; .NET CLR 3.0.04506.648; "
    ".NET CLR 3.5.21022)";
const char* const kFormType = "Content-Type: application/x-www-form-urlencoded";

std::string Str(const std::u8string& utf8) {
  return std::string(utf8.begin(), utf8.end());
}

// Answers each path with its scripted response, anything else with 404.
testsupport::Handler Routes(std::map<std::string, std::string> routes) {
  return [routes = std::move(routes)](const ReceivedRequest& r, Connection& c) {
    const std::string line = r.RequestLine();
    const std::string path = line.substr(line.find(' ') + 1, line.rfind(' ') - line.find(' ') - 1);
    const auto found = routes.find(path);
    c.Send(found != routes.end() ? found->second : HttpResponse("404 Not Found", "", "no route"));
  };
}

// A response whose raw header block (status line to closing CRLF) is exactly `size` bytes.
std::string ResponseWithHeaderBlock(std::size_t size, const std::string& lines, const std::string& body) {
  const std::string base = "HTTP/1.1 200 OK\r\n" + lines + "Content-Length: " + std::to_string(body.size()) +
                           "\r\nConnection: close\r\nX-Pad: \r\n\r\n";
  std::string response = base;
  response.insert(base.size() - 4, std::string(size - base.size(), 'p'));
  return response + body;
}

class HttpRequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = inet::GetInternetSettings();
    inet::InternetSettings settings = saved_;
    settings.connectTimeoutMs = 2000;
    settings.receiveTimeoutSeconds = 1;
    settings.trustedCertificatesPem = testsupport::TestCertificatePem();
    inet::SetInternetSettings(settings);
    inet::InternetEndBrowserSession();
  }
  void TearDown() override { inet::SetInternetSettings(saved_); }
  inet::InternetSettings saved_;
};

TEST(HeaderValueTest, TextAfterFirstColonTrimmed) {
  EXPECT_EQ(HeaderValue("Location:  /next "), "/next");
  EXPECT_EQ(HeaderValue("Refresh: 0; url=http://x:81/"), "0; url=http://x:81/");
  EXPECT_EQ(HeaderValue("no colon"), "");
  EXPECT_EQ(HeaderValue("Empty:"), "");
}

TEST_F(HttpRequestTest, UrlOnlySendsGetWithTheFourDefaultLinesInOrder) {
  TestHttpServer server(Reply(HttpResponse("200 OK", "", "hello")));
  const std::string url = server.Url("/Dir/Page.htm?id=7");
  EXPECT_EQ(HttpRequest(url), "hello");
  ASSERT_EQ(server.RequestCount(), 1u);
  EXPECT_EQ(server.Requests()[0].Raw(),
            "GET /Dir/Page.htm?id=7 HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) +
                "\r\nUser-Agent: " + kDefaultAgent + "\r\nReferer: " + url +
                "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n" + kFormType + "\r\n\r\n");

  // A URL without a scheme is plain http; the Referer is the URL as given.
  const std::string bare = "127.0.0.1:" + std::to_string(server.Port()) + "/x";
  Text headers;
  HttpRequest(bare, {.headers = &headers});
  EXPECT_EQ(headers, "Referer: " + bare + "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n" + kFormType);
  EXPECT_EQ(server.Requests().at(1).RequestLine(), "GET /x HTTP/1.1");
}

TEST_F(HttpRequestTest, CallerHeaderLinesAndTheDefaultsThatAreAdded) {
  struct Case {
    std::string headers;
    std::vector<std::string> wireLines;  // header lines after Host, in order
  };
  TestHttpServer server(Reply(HttpResponse("200 OK", "", "")));
  const std::string url = server.Url("/h");
  const std::string agentLine = std::string("User-Agent: ") + kDefaultAgent;
  const std::string referer = "Referer: " + url;
  const Case cases[] = {
      {"Accept: text/html", {agentLine, "Accept: text/html", referer, "Accept-Language: zh-cn", kFormType}},
      // The search is exact: another case is not recognised, so a second Accept line goes out.
      {"accept: text/html",
       {agentLine, "accept: text/html", referer, "Accept: */*", "Accept-Language: zh-cn", kFormType}},
      {"User-Agent: X\r\nAccept: a",
       {"User-Agent: X", "Accept: a", referer, "Accept-Language: zh-cn", kFormType}},
      {"User-Agent: X", {"User-Agent: X", referer, "Accept: */*", "Accept-Language: zh-cn", kFormType}},
      {"Referer: http://elsewhere/\r\nContent-Type: text/plain\r\nAccept-Language: en",
       {agentLine, "Referer: http://elsewhere/", "Content-Type: text/plain", "Accept-Language: en",
        "Accept: */*"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.headers);
    const std::size_t before = server.RequestCount();
    Text headers = c.headers;
    HttpRequest(url, {.headers = &headers});
    ASSERT_EQ(server.RequestCount(), before + 1);
    std::vector<std::string> lines = server.Requests()[before].HeaderLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines.front().starts_with("Host: "));
    lines.erase(lines.begin());
    EXPECT_EQ(lines, c.wireLines);
  }
}

TEST_F(HttpRequestTest, MethodAndBody) {
  struct Case {
    const char* name;
    int method;
    std::string postText;
    bool givePostBytes;
    ByteSet postBytes;
    std::string requestLine;
    std::string wireBody;
    std::string contentLength;
    ByteSet postBytesAfter;
  };
  const ByteSet withZero = {'x', 0, 'y'};
  const Case cases[] = {
      {"method 0 sends no body", 0, "ignored", true, {}, "GET /f HTTP/1.1", "", "", {}},
      {"POST of the text",
       1,
       "a=1&b=2",
       true,
       {},
       "POST /f HTTP/1.1",
       "a=1&b=2",
       "7",
       {'a', '=', '1', '&', 'b', '=', '2'}},
      {"method 2 is GET with a body", 2, "q=1", false, {}, "GET /f HTTP/1.1", "q=1", "3", {}},
      {"POST of nothing", 1, "", false, {}, "POST /f HTTP/1.1", "", "0", {}},
      {"bytes before text, zero byte kept", 1, "text", true, withZero, "POST /f HTTP/1.1",
       std::string("x\0y", 3), "3", withZero},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestHttpServer server(Reply(HttpResponse("200 OK", "", "done")));
    ByteSet postBytes = c.postBytes;
    HttpRequestOptions options{.method = c.method, .postText = c.postText};
    if (c.givePostBytes) options.postBytes = &postBytes;
    EXPECT_EQ(HttpRequest(server.Url("/f"), options), "done");
    ASSERT_EQ(server.RequestCount(), 1u);
    const ReceivedRequest r = server.Requests()[0];
    EXPECT_EQ(r.RequestLine(), c.requestLine);
    EXPECT_EQ(r.body, c.wireBody);
    EXPECT_EQ(r.Header("Content-Length"), c.contentLength);
    EXPECT_EQ(r.Header("Content-Type"), "application/x-www-form-urlencoded");
    if (c.givePostBytes) {
      EXPECT_EQ(postBytes, c.postBytesAfter);
    }
  }
}

TEST_F(HttpRequestTest, ResponseHeadersLocationAndReceivedCookies) {
  struct Case {
    const char* name;
    std::string response;
    std::string location;  // "=headers": equal to the response headers
    std::string receivedCookies;
    std::string headersStart;
  };
  const Case cases[] = {
      {"cookie values up to the first semicolon",
       HttpResponse("200 OK", "Set-Cookie: a=1; path=/\r\nSet-Cookie: b=2; HttpOnly\r\n", ""), "=headers",
       "a=1; b=2", "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\n"},
      {"a cookie line without semicolon gives an empty item",
       HttpResponse("200 OK", "Set-Cookie: a=1\r\nSet-Cookie: b=2; path=/\r\n", ""), "=headers", "; b=2", ""},
      {"Location value", HttpResponse("302 Found", "Location:  /next \r\n", "moved"), "/next", "",
       "HTTP/1.1 302 Found\r\nLocation:  /next \r\n"},
      {"Content-Location counts, the later line wins",
       HttpResponse("200 OK", "Location: /first\r\nContent-Location: /second\r\n", ""), "/second", "", ""},
      {"bare LF lines come back with CRLF", "HTTP/1.1 200 OK\nSet-Cookie: s=1;\nContent-Length: 0\n\n",
       "=headers", "s=1", "HTTP/1.1 200 OK\r\nSet-Cookie: s=1;\r\nContent-Length: 0\r\n\r\n"},
      {"header block of 4,999 bytes fits", ResponseWithHeaderBlock(4999, "Set-Cookie: k=v; x\r\n", ""),
       "=headers", "k=v", "HTTP/1.1 200 OK\r\nSet-Cookie: k=v; x\r\n"},
      {"header block of 5,000 bytes leaves 5000 spaces",
       ResponseWithHeaderBlock(5000, "Set-Cookie: k=v; x\r\nLocation: /l\r\n", ""), std::string(5000, ' '),
       "", std::string(5000, ' ')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestHttpServer server(Reply(c.response));
    Text location;
    Text receivedCookies = "old";
    Text responseHeaders;
    HttpRequest(server.Url("/r"), {.receivedCookies = &receivedCookies,
                                   .location = &location,
                                   .noRedirect = true,
                                   .responseHeaders = &responseHeaders});
    EXPECT_TRUE(responseHeaders.starts_with(c.headersStart)) << responseHeaders;
    EXPECT_TRUE(responseHeaders.ends_with("\r\n\r\n") || responseHeaders == std::string(5000, ' '));
    EXPECT_EQ(location, c.location == "=headers" ? responseHeaders : c.location);
    EXPECT_EQ(receivedCookies, c.receivedCookies);
  }
  // A location that the caller filled in stays when the response has none.
  TestHttpServer plain(Reply(HttpResponse("200 OK", "", "")));
  Text location = "kept";
  HttpRequest(plain.Url(), {.location = &location});
  EXPECT_EQ(location, "kept");
}

TEST_F(HttpRequestTest, BodiesOfEveryStatusAreReturnedCutAtTheFirstZeroByte) {
  struct Case {
    const char* name;
    std::string response;
    std::string result;
  };
  const Case cases[] = {
      {"404", HttpResponse("404 Not Found", "", "not here"), "not here"},
      {"500", HttpResponse("500 Internal Server Error", "", "broken"), "broken"},
      {"zero byte", HttpResponse("200 OK", "", std::string("before\0after", 12)), "before"},
      {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nchun\r\n3\r\nked\r\n0\r\n\r\n",
       "chunked"},
      {"truncated", "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\npartial", "partial"},
      {"chunk cut off", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nchun\r\n9\r\nke",
       "chunke"},
      {"large body", HttpResponse("200 OK", "", std::string(300000, 'L')), std::string(300000, 'L')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestHttpServer server(Reply(c.response));
    EXPECT_EQ(HttpRequest(server.Url()), c.result);
  }
}

TEST_F(HttpRequestTest, Utf8PagesAreConvertedToGbk) {
  const std::string chinese = Str(u8"最新电影");
  struct Case {
    const char* name;
    std::string headerLines;
    std::string body;
    std::string result;
  };
  const Case cases[] = {
      {"utf-8 starting at position 499", "", std::string(498, 'a') + "utf-8" + chinese,
       std::string(498, 'a') + "utf-8" + "最新电影"},
      {"utf-8 starting at position 500 only", "", std::string(499, 'a') + "utf-8" + chinese,
       std::string(499, 'a') + "utf-8" + chinese},
      {"first occurrence decides", "", std::string(499, 'a') + "utf-8" + "utf-8" + chinese,
       std::string(499, 'a') + "utf-8utf-8" + chinese},
      {"upper case in the body does not count", "", "UTF-8 " + chinese, "UTF-8 " + chinese},
      {"charset in the headers, any case", "Content-Type: text/html; charset=UTF-8\r\n", chinese, "最新电影"},
      {"byte-order mark dropped", "", "\xEF\xBB\xBF<meta charset=utf-8>" + chinese,
       "<meta charset=utf-8>最新电影"},
      {"cut character becomes ?", "", "utf-8 " + chinese.substr(0, chinese.size() - 1), "utf-8 最新电?"},
      {"GBK page stays", "Content-Type: text/html; charset=gbk\r\n", "<meta charset=gbk>最新电影",
       "<meta charset=gbk>最新电影"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestHttpServer server(Reply(HttpResponse("200 OK", c.headerLines, c.body)));
    EXPECT_EQ(HttpRequest(server.Url()), c.result);
  }
}

TEST_F(HttpRequestTest, RedirectsReturnedWithNoRedirectFollowedWithoutAndLoopsEnd) {
  TestHttpServer secure(Reply(HttpResponse("200 OK", "", "over tls")), {.tls = true});
  TestHttpServer server(Routes({
      {"/old", HttpResponse("301 Moved Permanently", "Location: /new\r\n", "moved page")},
      {"/new", HttpResponse("200 OK", "", "new page")},
      {"/tls", HttpResponse("302 Found", "Location: " + secure.Url("/s") + "\r\n", "")},
      {"/loop", HttpResponse("302 Found", "Location: /loop\r\n", "loop")},
  }));
  Text location;
  EXPECT_EQ(HttpRequest(server.Url("/old"), {.location = &location, .noRedirect = true}), "moved page");
  EXPECT_EQ(location, "/new");

  Text headers;
  location.clear();
  Text responseHeaders;
  EXPECT_EQ(HttpRequest(server.Url("/old"), {.location = &location, .responseHeaders = &responseHeaders}),
            "new page");
  EXPECT_TRUE(responseHeaders.starts_with("HTTP/1.1 200 OK\r\n"));
  EXPECT_EQ(location, responseHeaders);

  EXPECT_EQ(HttpRequest(server.Url("/tls")), "over tls");  // http to https is allowed
  EXPECT_EQ(secure.RequestCount(), 1u);
  EXPECT_EQ(HttpRequest(secure.Url("/direct")), "over tls");

  const std::size_t before = server.RequestCount();
  EXPECT_EQ(HttpRequest(server.Url("/loop")), "");
  EXPECT_EQ(server.RequestCount() - before,
            1u + static_cast<std::size_t>(inet::GetInternetSettings().maxRedirects));
}

TEST_F(HttpRequestTest, ProcessCookieStoreServesLaterRequestsUnlessCookiesAreGiven) {
  TestHttpServer server(Routes({
      {"/login", HttpResponse("200 OK", "Set-Cookie: sid=abc; path=/\r\n", "in")},
      {"/page", HttpResponse("200 OK", "", "page")},
  }));
  HttpRequest(server.Url("/login"));
  HttpRequest(server.Url("/page"));
  std::thread([&] { HttpRequest(server.Url("/page")); }).join();
  Text cookies;  // present and empty: the store is neither used nor fed
  HttpRequest(server.Url("/page"), {.cookies = &cookies});
  const std::vector<ReceivedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0].HeaderCount("Cookie"), 0);
  EXPECT_EQ(requests[1].Header("Cookie"), "sid=abc");
  EXPECT_EQ(requests[2].Header("Cookie"), "sid=abc");
  EXPECT_EQ(requests[3].HeaderCount("Cookie"), 0);
}

TEST_F(HttpRequestTest, GivenCookiesAreSentAndMergedWithWhatTheServerSets) {
  TestHttpServer server(Reply(HttpResponse("200 OK", "Set-Cookie: b=3; path=/\r\nSet-Cookie: c=4\r\n", "")));
  Text cookies = "a=1; b=2";
  Text headers = "Cookie: x=9";
  Text receivedCookies;
  HttpRequest(server.Url("/c"),
              {.cookies = &cookies, .receivedCookies = &receivedCookies, .headers = &headers});
  const ReceivedRequest r = server.Requests().at(0);
  // The caller's text goes out as a Cookie line even beside one in the header text.
  EXPECT_EQ(r.HeaderCount("Cookie"), 2);
  EXPECT_NE(r.head.find("\r\nCookie: x=9\r\n"), std::string::npos);
  EXPECT_NE(r.head.find("\r\nCookie: a=1; b=2\r\n"), std::string::npos);
  EXPECT_TRUE(headers.ends_with("\r\nCookie: a=1; b=2"));
  // "c=4" has no ";" behind it: an empty item, which merging drops at the end; spaces removed.
  EXPECT_EQ(receivedCookies, "b=3;");
  EXPECT_EQ(cookies, "b=3; a=1");

  // The store was left alone: a later plain request sends no cookie.
  HttpRequest(server.Url("/c"));
  EXPECT_EQ(server.Requests().at(1).HeaderCount("Cookie"), 0);
}

TEST_F(HttpRequestTest, ProxyArgumentSendsPlainHttpThroughTheProxy) {
  TestHttpServer server(Reply(HttpResponse("200 OK", "", "proxied")));
  TestHttpServer secure(Reply(HttpResponse("200 OK", "", "direct")), {.tls = true});
  TestHttpProxy proxy;
  const Text address = proxy.Address();
  const std::string url = server.Url("/via?x=1");
  EXPECT_EQ(HttpRequest(url, {.proxy = &address}), "proxied");
  ASSERT_EQ(proxy.Requests().size(), 1u);
  const ReceivedRequest seen = proxy.Requests()[0];
  EXPECT_EQ(seen.RequestLine(), "GET " + url + " HTTP/1.1");
  EXPECT_EQ(seen.Header("Referer"), url);
  EXPECT_EQ(seen.Header("User-Agent"), kDefaultAgent);
  EXPECT_EQ(server.Requests().at(0).RequestLine(), "GET /via?x=1 HTTP/1.1");

  EXPECT_EQ(HttpRequest(secure.Url("/"), {.proxy = &address}), "direct");
  EXPECT_EQ(proxy.Requests().size(), 1u);
}

TEST_F(HttpRequestTest, FailuresGiveTheEmptyText) {
  TestHttpServer gone(Reply(""));
  const std::string refusedUrl = gone.Url("/x");
  gone.Stop();
  TestHttpServer silent([](const ReceivedRequest&, Connection& c) { c.HangUntilClosed(); });
  for (const std::string& url : {refusedUrl, std::string("http://no-such-host.invalid/"), silent.Url("/")}) {
    SCOPED_TRACE(url);
    Text location;
    Text responseHeaders;
    Text headers;
    const long long started = testsupport::MonotonicMs();
    EXPECT_EQ(
        HttpRequest(url, {.headers = &headers, .location = &location, .responseHeaders = &responseHeaders}),
        "");
    EXPECT_LT(testsupport::MonotonicMs() - started, 4000);
    // The request handle existed: the out-variables were written.
    EXPECT_EQ(responseHeaders, std::string(5000, ' '));
    EXPECT_EQ(location, std::string(5000, ' '));
    EXPECT_TRUE(headers.starts_with("Referer: " + url));
  }
}

TEST_F(HttpRequestTest, NoConnectionHandleLeavesEveryOutVariableUntouched) {
  for (const char* url : {"", "http:///path", "https://"}) {
    SCOPED_TRACE(url);
    Text cookies = "c=1";
    Text received = "r";
    Text headers = "H: 1";
    Text location = "l";
    ByteSet postBytes;
    Text responseHeaders = "h";
    EXPECT_EQ(HttpRequest(url, {.method = 1,
                                .postText = "p",
                                .cookies = &cookies,
                                .receivedCookies = &received,
                                .headers = &headers,
                                .location = &location,
                                .postBytes = &postBytes,
                                .responseHeaders = &responseHeaders}),
              "");
    EXPECT_EQ(cookies, "c=1");
    EXPECT_EQ(received, "r");
    EXPECT_EQ(headers, "H: 1");
    EXPECT_EQ(location, "l");
    EXPECT_TRUE(postBytes.empty());
    EXPECT_EQ(responseHeaders, "h");
  }
}

TEST_F(HttpRequestTest, EightThreadsAtOnceAreIndependent) {
  const std::string chinese = Str(u8"电影");
  TestHttpServer server([&](const ReceivedRequest& r, Connection& c) {
    const std::string line = r.RequestLine();
    const std::string id = line.substr(line.find("/t") + 2, 1);
    usleep(20000);  // keep the calls overlapping
    c.Send(HttpResponse(
        "200 OK", "Set-Cookie: t" + id + "=" + id + "; path=/\r\nContent-Type: text/html; charset=utf-8\r\n",
        "page " + id + " " + chinese + " " + r.Header("Cookie")));
  });
  constexpr int kThreads = 8;
  std::vector<Text> results(kThreads);
  std::vector<Text> storeResults(kThreads);
  std::vector<Text> cookies(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    cookies[i] = "mine=" + std::to_string(i);
    threads.emplace_back([&, i] {
      const std::string url = server.Url("/t" + std::to_string(i));
      for (int round = 0; round < 3; ++round) {
        results[i] = HttpRequest(url, {.cookies = &cookies[i]});
        // Calls without `cookies` share the process's cookie store with the other threads.
        storeResults[i] = HttpRequest(url);
      }
    });
  }
  for (std::thread& t : threads) t.join();
  for (int i = 0; i < kThreads; ++i) {
    const std::string id = std::to_string(i);
    // The last round sent the text that the earlier rounds merged.
    EXPECT_EQ(results[i], "page " + id + " 电影 t" + id + "=" + id + "; mine=" + id);
    EXPECT_EQ(cookies[i], "t" + id + "=" + id + "; mine=" + id);
    EXPECT_TRUE(storeResults[i].starts_with("page " + id + " 电影 ")) << storeResults[i];
    EXPECT_NE(storeResults[i].find("t" + id + "=" + id), std::string::npos) << storeResults[i];
  }
  EXPECT_EQ(server.RequestCount(), 6u * kThreads);
}

}  // namespace
