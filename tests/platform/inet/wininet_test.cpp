// The WinINet-shaped layer against loopback servers: what goes on the wire, what comes back.
#include "platform/inet/wininet.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <thread>

#include "tests/support/http_test_server.h"

namespace {

using namespace inet;
using testsupport::Connection;
using testsupport::HttpResponse;
using testsupport::ReceivedRequest;
using testsupport::Reply;
using testsupport::TestHttpProxy;
using testsupport::TestHttpServer;

struct Fetched {
  bool opened = false;  // all three handles were opened
  bool sent = false;
  std::string body;
  bool gotHeaders = false;
  std::string headers;
  std::string error;
};

struct Call {
  std::string server = "127.0.0.1";
  int port = 0;
  std::string verb = "GET";
  std::string path = "/";
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE;
  std::string headers;
  std::string body;
  const char* proxyList = nullptr;
  std::string agent = "test-agent";
};

// One request through the layer in WinINet's calling order.
Fetched Fetch(const Call& call) {
  Fetched out;
  InternetHandle root =
      InternetOpenA(call.agent.c_str(), call.proxyList ? INTERNET_OPEN_TYPE_PROXY : INTERNET_OPEN_TYPE_DIRECT,
                    call.proxyList, call.proxyList ? "" : nullptr, 0);
  InternetHandle connection =
      InternetConnectA(root, call.server.c_str(), call.port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  InternetHandle request = HttpOpenRequestA(connection, call.verb.c_str(), call.path.c_str(), "HTTP/1.1",
                                            nullptr, nullptr, call.flags, 0);
  out.opened = root && connection && request;
  if (!out.opened) return out;
  out.sent = HttpSendRequestA(request, call.headers.c_str(), static_cast<DWORD>(call.headers.size()),
                              call.body.data(), static_cast<DWORD>(call.body.size()));
  std::array<char, 1024> chunk;
  DWORD read = 0;
  while (InternetReadFile(request, chunk.data(), 1024, &read) && read > 0)
    out.body.append(chunk.data(), read);
  std::vector<char> buffer(1 << 20);
  DWORD length = static_cast<DWORD>(buffer.size());
  out.gotHeaders = HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &length, nullptr);
  if (out.gotHeaders) out.headers.assign(buffer.data(), length);
  out.error = InternetRequestError(request);
  InternetCloseHandle(std::move(request));
  InternetCloseHandle(std::move(connection));
  InternetCloseHandle(std::move(root));
  return out;
}

Call To(const TestHttpServer& server, std::string path = "/") {
  Call call;
  call.port = server.Port();
  call.path = std::move(path);
  return call;
}

// Short time-outs and a fresh cookie store for every test, restored afterwards.
class WinInetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = GetInternetSettings();
    InternetSettings settings = saved_;
    settings.connectTimeoutMs = 2000;
    settings.receiveTimeoutSeconds = 1;
    settings.trustedCertificatesPem = testsupport::TestCertificatePem();
    SetInternetSettings(settings);
    InternetEndBrowserSession();
  }
  void TearDown() override { SetInternetSettings(saved_); }
  InternetSettings saved_;
};

TEST_F(WinInetTest, SendsTheRequestLineHostAgentAndHeaderLinesAndNothingOfItsOwn) {
  TestHttpServer server(Reply(HttpResponse("200 OK", "", "ok")));
  Call call = To(server, "/a/b c.htm?x=1&y=%41");
  call.headers = "Referer: http://x/\r\nX-Empty:\r\nAccept-Language: zh-cn";
  const Fetched got = Fetch(call);
  ASSERT_TRUE(got.sent) << got.error;
  ASSERT_EQ(server.RequestCount(), 1u);
  const std::string port = std::to_string(server.Port());
  // No Accept, Accept-Encoding, Content-Type or Expect line of libcurl's own; the empty
  // header line goes out empty.
  EXPECT_EQ(server.Requests()[0].Raw(), "GET /a/b%20c.htm?x=1&y=%41 HTTP/1.1\r\nHost: 127.0.0.1:" + port +
                                            "\r\nUser-Agent: test-agent\r\nReferer: http://x/\r\nX-Empty:\r\n"
                                            "Accept-Language: zh-cn\r\n\r\n");
  EXPECT_EQ(got.body, "ok");
}

TEST_F(WinInetTest, VerbAndBodyAsWinInetSendsThem) {
  struct Case {
    const char* name;
    std::string verb;
    std::string headers;
    std::string body;
    std::string requestLine;
    std::string contentLength;  // "" when the line must be absent
    std::string contentType;
  };
  const std::string big(5000, 'x');  // large enough for libcurl to ask for 100-continue by default
  const Case cases[] = {
      {"POST with body", "POST", "Content-Type: text/plain", "a=1", "POST / HTTP/1.1", "3", "text/plain"},
      {"POST empty", "POST", "", "", "POST / HTTP/1.1", "0", ""},
      {"POST large, no Expect", "POST", "", big, "POST / HTTP/1.1", "5000", ""},
      {"GET with body", "GET", "", "q", "GET / HTTP/1.1", "1", ""},
      {"GET without body", "GET", "", "", "GET / HTTP/1.1", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestHttpServer server(Reply(HttpResponse("200 OK", "", "ok")));
    Call call = To(server);
    call.verb = c.verb;
    call.headers = c.headers;
    call.body = c.body;
    ASSERT_TRUE(Fetch(call).sent);
    ASSERT_EQ(server.RequestCount(), 1u);
    const ReceivedRequest r = server.Requests()[0];
    EXPECT_EQ(r.RequestLine(), c.requestLine);
    EXPECT_EQ(r.Header("Content-Length"), c.contentLength);
    EXPECT_EQ(r.HeaderCount("Content-Length"), c.contentLength.empty() ? 0 : 1);
    EXPECT_EQ(r.Header("Content-Type"), c.contentType);
    EXPECT_EQ(r.HeaderCount("Expect"), 0);
    EXPECT_EQ(r.body, c.body);
  }
}

TEST_F(WinInetTest, UserAgentLineInTheHeaderTextReplacesTheAgent) {
  TestHttpServer server(Reply(HttpResponse("200 OK", "", "")));
  Call call = To(server);
  call.headers = "User-Agent: mine\r\nAccept: text/html";
  ASSERT_TRUE(Fetch(call).sent);
  const ReceivedRequest r = server.Requests().at(0);
  EXPECT_EQ(r.HeaderCount("User-Agent"), 1);
  EXPECT_EQ(r.Header("User-Agent"), "mine");
  EXPECT_EQ(r.HeaderCount("Accept"), 1);
  EXPECT_EQ(r.Header("Accept"), "text/html");
}

TEST_F(WinInetTest, RawHeadersAreTheFinalResponseInCrlfFormAndBodyIsReadInChunks) {
  const std::string body(3000, 'b');
  TestHttpServer server(Reply("HTTP/1.1 200 OK\nX-A: 1\nContent-Length: 3000\n\n" + body));
  InternetHandle root = InternetOpenA("a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  InternetHandle connection =
      InternetConnectA(root, "127.0.0.1", server.Port(), nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  InternetHandle request = HttpOpenRequestA(connection, "GET", "/", "HTTP/1.1", nullptr, nullptr, 0, 0);
  ASSERT_TRUE(HttpSendRequestA(request, "", 0, nullptr, 0)) << InternetRequestError(request);

  DWORD available = 0;
  EXPECT_TRUE(InternetQueryDataAvailable(request, &available, 0, 0));
  EXPECT_EQ(available, 3000u);
  std::vector<DWORD> counts;
  char chunk[1024];
  DWORD read = 1;
  while (read > 0) {
    ASSERT_TRUE(InternetReadFile(request, chunk, sizeof chunk, &read));
    counts.push_back(read);
  }
  EXPECT_EQ(counts, (std::vector<DWORD>{1024, 1024, 952, 0}));

  const std::string expected = "HTTP/1.1 200 OK\r\nX-A: 1\r\nContent-Length: 3000\r\n\r\n";
  // One byte short of room for the NUL: fails, buffer untouched, size needed reported.
  std::string buffer(expected.size(), '#');
  DWORD length = static_cast<DWORD>(buffer.size());
  EXPECT_FALSE(HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &length, nullptr));
  EXPECT_EQ(buffer, std::string(expected.size(), '#'));
  EXPECT_EQ(length, expected.size() + 1);
  std::string fits(expected.size() + 1, '#');
  length = static_cast<DWORD>(fits.size());
  ASSERT_TRUE(HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, fits.data(), &length, nullptr));
  EXPECT_EQ(length, expected.size());
  EXPECT_EQ(fits, expected + '\0');

  // Closing the root first leaves the request readable: handles do not share state.
  InternetCloseHandle(std::move(root));
  InternetCloseHandle(std::move(connection));
  EXPECT_TRUE(InternetReadFile(request, chunk, sizeof chunk, &read));
  EXPECT_EQ(read, 0u);
}

TEST_F(WinInetTest, WrongHandlesAndEmptyServerNameGiveNull) {
  InternetHandle root = InternetOpenA("a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  EXPECT_FALSE(InternetOpenA("a", 2, nullptr, nullptr, 0));
  EXPECT_FALSE(InternetConnectA(root, "", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  EXPECT_FALSE(InternetConnectA(root, nullptr, 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  EXPECT_FALSE(HttpOpenRequestA(root, "GET", "/", "HTTP/1.1", nullptr, nullptr, 0, 0));
  InternetHandle connection = InternetConnectA(root, "h", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  EXPECT_FALSE(InternetConnectA(connection, "h", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  EXPECT_FALSE(HttpSendRequestA(connection, "", 0, nullptr, 0));
  EXPECT_FALSE(InternetCloseHandle(nullptr));
}

TEST_F(WinInetTest, ResponsesOfEveryKindAreReturnedAsReceived) {
  struct Case {
    const char* name;
    std::string response;
    std::string body;
    std::string headersStart;  // "" when no headers may be reported
  };
  const std::string gzip("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10);
  const Case cases[] = {
      {"404 body", HttpResponse("404 Not Found", "", "missing"), "missing", "HTTP/1.1 404 Not Found\r\n"},
      {"500 body", HttpResponse("500 Oops", "", "broken"), "broken", "HTTP/1.1 500 Oops\r\n"},
      {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n",
       "abcde", "HTTP/1.1 200 OK\r\n"},
      {"content-length too large", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort", "short",
       "HTTP/1.1 200 OK\r\n"},
      {"chunk cut off", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n9\r\nde", "abcde",
       "HTTP/1.1 200 OK\r\n"},
      {"bad chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\nzz\r\nde\r\n",
       "abc", "HTTP/1.1 200 OK\r\n"},
      {"no length, ends at close", "HTTP/1.1 200 OK\r\n\r\nuntil close", "until close",
       "HTTP/1.1 200 OK\r\n"},
      {"zero bytes and bad UTF-8", HttpResponse("200 OK", "", std::string("a\0b\xff\xfe", 5)),
       std::string("a\0b\xff\xfe", 5), "HTTP/1.1 200 OK\r\n"},
      {"gzip not asked for stays raw", HttpResponse("200 OK", "Content-Encoding: gzip\r\n", gzip), gzip,
       "HTTP/1.1 200 OK\r\n"},
      {"non-ASCII header value", HttpResponse("200 OK", "X-Name: \xe4\xb8\xad\r\n", "x"), "x",
       "HTTP/1.1 200 OK\r\nX-Name: \xe4\xb8\xad\r\n"},
      {"no status line", "just some bytes\r\n\r\n", "", ""},
      // libcurl refuses such a response as a whole.
      {"header line without colon", "HTTP/1.1 200 OK\r\nno colon\r\nContent-Length: 1\r\n\r\nx", "", ""},
      {"cut inside the headers", "HTTP/1.1 200 OK\r\nContent-Le", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestHttpServer server(Reply(c.response));
    const Fetched got = Fetch(To(server));
    EXPECT_EQ(got.body, c.body);
    EXPECT_EQ(got.sent, !c.headersStart.empty()) << got.error;
    EXPECT_EQ(got.gotHeaders, !c.headersStart.empty());
    EXPECT_TRUE(got.headers.starts_with(c.headersStart)) << got.headers;
  }
}

TEST_F(WinInetTest, HugeHeadersArriveWholeOrNotAtAll) {
  const std::string line = "X-Big: " + std::string(100 * 1024 - 20, 'h') + "\r\n";
  TestHttpServer big(Reply(HttpResponse("200 OK", line, "body")));
  const Fetched one = Fetch(To(big));
  EXPECT_EQ(one.body, "body") << one.error;
  EXPECT_NE(one.headers.find(line), std::string::npos);

  // Header lines that never end are refused before they exhaust memory.
  TestHttpServer endless([](const ReceivedRequest&, Connection& c) {
    c.Send("HTTP/1.1 200 OK\r\n");
    const std::string header = "X-More: " + std::string(8000, 'm') + "\r\n";
    while (c.Send(header)) {
    }
  });
  const Fetched two = Fetch(To(endless));
  EXPECT_FALSE(two.gotHeaders);
  EXPECT_EQ(two.body, "");
}

TEST_F(WinInetTest, BodyBeyondTheCapCountsAsEndOfData) {
  InternetSettings settings = GetInternetSettings();
  settings.maxBodyBytes = 10000;
  SetInternetSettings(settings);
  TestHttpServer endless([](const ReceivedRequest&, Connection& c) {
    c.Send("HTTP/1.1 200 OK\r\n\r\n");
    const std::string block(4096, 'e');
    while (c.Send(block)) {
    }
  });
  const Fetched got = Fetch(To(endless));
  EXPECT_TRUE(got.sent);
  EXPECT_EQ(got.body, std::string(10000, 'e'));
}

TEST_F(WinInetTest, RedirectsFollowedUnlessNoAutoRedirectAndLoopsEnd) {
  TestHttpServer server([](const ReceivedRequest& r, Connection& c) {
    const std::string line = r.RequestLine();
    if (line.starts_with("GET /start ")) {
      c.Send(HttpResponse("302 Found", "Location: /next\r\nSet-Cookie: hop=1\r\n", "moved"));
    } else if (line.starts_with("GET /empty ")) {
      c.Send(HttpResponse("302 Found", "Location: \r\n", "nowhere to go"));
    } else if (line.starts_with("GET /next ")) {
      c.Send(HttpResponse("200 OK", "X-Final: yes\r\n", "final"));
    } else {
      c.Send(HttpResponse("301 Moved", "Location: /loop\r\n", "again"));
    }
  });
  const Fetched followed = Fetch(To(server, "/start"));
  EXPECT_EQ(followed.body, "final");
  EXPECT_TRUE(followed.headers.starts_with("HTTP/1.1 200 OK\r\nX-Final: yes\r\n")) << followed.headers;
  ASSERT_EQ(server.RequestCount(), 2u);
  EXPECT_EQ(server.Requests()[1].Header("Cookie"), "hop=1");  // stored on the way

  Call noRedirect = To(server, "/start");
  noRedirect.flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
  const Fetched stopped = Fetch(noRedirect);
  EXPECT_EQ(stopped.body, "moved");
  EXPECT_TRUE(stopped.headers.starts_with("HTTP/1.1 302 Found\r\nLocation: /next\r\n"));
  EXPECT_EQ(server.RequestCount(), 3u);

  // An empty Location leads nowhere: the 3xx response is the final one.
  EXPECT_EQ(Fetch(To(server, "/empty")).body, "nowhere to go");
  EXPECT_EQ(server.RequestCount(), 4u);

  const long long started = testsupport::MonotonicMs();
  const Fetched loop = Fetch(To(server, "/loop"));
  EXPECT_LT(testsupport::MonotonicMs() - started, 5000);
  EXPECT_EQ(server.RequestCount(), 4u + 1 + static_cast<std::size_t>(GetInternetSettings().maxRedirects));
  EXPECT_EQ(loop.body, "");
  EXPECT_TRUE(loop.headers.starts_with("HTTP/1.1 301 Moved\r\n"));
}

TEST_F(WinInetTest, RedirectFromHttpToHttpsOnlyWithTheFlag) {
  TestHttpServer secure(Reply(HttpResponse("200 OK", "", "secret")), {.tls = true});
  TestHttpServer plain(Reply(HttpResponse("302 Found", "Location: " + secure.Url("/s") + "\r\n", "")));

  Call allowed = To(plain);
  allowed.flags |= INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
  const Fetched got = Fetch(allowed);
  EXPECT_EQ(got.body, "secret") << got.error;
  EXPECT_TRUE(got.headers.starts_with("HTTP/1.1 200 OK\r\n"));
  EXPECT_EQ(secure.RequestCount(), 1u);

  const Fetched refused = Fetch(To(plain));
  EXPECT_EQ(refused.body, "");
  EXPECT_TRUE(refused.headers.starts_with("HTTP/1.1 302 Found\r\n"));
  EXPECT_EQ(secure.RequestCount(), 1u);
}

TEST_F(WinInetTest, SecureRequestsVerifyTheCertificate) {
  TestHttpServer secure(Reply(HttpResponse("200 OK", "", "secret")), {.tls = true});
  Call call = To(secure);
  call.flags |= INTERNET_FLAG_SECURE;
  EXPECT_EQ(Fetch(call).body, "secret");

  InternetSettings settings = GetInternetSettings();
  settings.trustedCertificatesPem.clear();  // the system's bundle does not know the test certificate
  SetInternetSettings(settings);
  const Fetched untrusted = Fetch(call);
  EXPECT_FALSE(untrusted.sent);
  EXPECT_EQ(untrusted.body, "");
  EXPECT_FALSE(untrusted.gotHeaders);
  EXPECT_EQ(secure.RequestCount(), 1u);
}

TEST_F(WinInetTest, HttpProxyListServesPlainHttpOnly) {
  TestHttpServer server(Reply(HttpResponse("200 OK", "", "via")));
  TestHttpServer secure(Reply(HttpResponse("200 OK", "", "direct")), {.tls = true});
  TestHttpProxy proxy;
  const std::string list = "http=" + proxy.Address();

  Call call = To(server, "/p?q=1");
  call.proxyList = list.c_str();
  EXPECT_EQ(Fetch(call).body, "via");
  ASSERT_EQ(proxy.Requests().size(), 1u);
  EXPECT_EQ(proxy.Requests()[0].RequestLine(),
            "GET http://127.0.0.1:" + std::to_string(server.Port()) + "/p?q=1 HTTP/1.1");
  EXPECT_EQ(server.Requests().at(0).RequestLine(), "GET /p?q=1 HTTP/1.1");

  Call https = To(secure);
  https.flags |= INTERNET_FLAG_SECURE;
  https.proxyList = list.c_str();
  EXPECT_EQ(Fetch(https).body, "direct");
  EXPECT_EQ(proxy.Requests().size(), 1u);

  TestHttpServer refusing(Reply(""));
  const std::string deadList = "http=127.0.0.1:" + std::to_string(refusing.Port());
  refusing.Stop();  // nothing listens there any more
  call.proxyList = deadList.c_str();
  const Fetched dead = Fetch(call);
  EXPECT_FALSE(dead.sent);
  EXPECT_EQ(dead.body, "");
}

TEST_F(WinInetTest, CookieStoreIsSharedByThreadsUnlessNoCookies) {
  TestHttpServer server([](const ReceivedRequest& r, Connection& c) {
    if (r.RequestLine().starts_with("GET /set ")) {
      c.Send(HttpResponse("200 OK", "Set-Cookie: sid=42; path=/\r\n", ""));
    } else {
      c.Send(HttpResponse("200 OK", "", ""));
    }
  });
  Call blind = To(server, "/set");
  blind.flags |= INTERNET_FLAG_NO_COOKIES;
  Fetch(blind);  // not stored
  Fetch(To(server, "/check"));
  EXPECT_EQ(server.Requests().at(1).HeaderCount("Cookie"), 0);

  std::thread([&] { Fetch(To(server, "/set")); }).join();
  std::thread([&] { Fetch(To(server, "/check")); }).join();
  EXPECT_EQ(server.Requests().at(3).Header("Cookie"), "sid=42");

  Call own = To(server, "/check");
  own.flags |= INTERNET_FLAG_NO_COOKIES;
  own.headers = "Cookie: mine=1";
  Fetch(own);
  EXPECT_EQ(server.Requests().at(4).HeaderCount("Cookie"), 1);
  EXPECT_EQ(server.Requests().at(4).Header("Cookie"), "mine=1");
}

TEST_F(WinInetTest, SilentAndSlowServersAndUnreachableHosts) {
  TestHttpServer silent([](const ReceivedRequest&, Connection& c) { c.HangUntilClosed(); });
  const long long started = testsupport::MonotonicMs();
  const Fetched timedOut = Fetch(To(silent));
  const long long waited = testsupport::MonotonicMs() - started;
  EXPECT_FALSE(timedOut.sent);
  EXPECT_EQ(timedOut.body, "");
  EXPECT_GE(waited, 900);
  EXPECT_LT(waited, 4000);

  // A byte every 300 ms is slow but never idle for the receive time-out.
  TestHttpServer slow([](const ReceivedRequest&, Connection& c) {
    c.Send("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n");
    c.SendSlowly("slow!", 300);
  });
  EXPECT_EQ(Fetch(To(slow)).body, "slow!");

  TestHttpServer gone(Reply(""));
  const int port = gone.Port();
  gone.Stop();
  Call refused;
  refused.port = port;
  Call unresolvable;
  unresolvable.server = "no-such-host.invalid";
  unresolvable.port = 80;
  Call odd;
  odd.server = "user@127.0.0.1";
  odd.port = port;
  TestHttpServer reset([](const ReceivedRequest&, Connection& c) { c.Reset(); });
  for (const Call& call : {refused, unresolvable, odd, To(reset)}) {
    SCOPED_TRACE(call.server);
    const Fetched got = Fetch(call);
    EXPECT_TRUE(got.opened);
    EXPECT_FALSE(got.sent);
    EXPECT_EQ(got.body, "");
    EXPECT_FALSE(got.gotHeaders);
    EXPECT_NE(got.error, "");
  }
}

}  // namespace
