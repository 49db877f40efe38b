#include "web/http_request.h"

#include <array>
#include <cstring>

#include "platform/inet/wininet.h"
#include "text/extract.h"
#include "text/text_ops.h"
#include "web/charset.h"
#include "web/cookies.h"
#include "web/header_value.h"
#include "web/url_parts.h"

namespace {

using namespace inet;

constexpr const char* kDefaultUserAgent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; KTR9B; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";
constexpr DWORD kReadChunk = 1024;
constexpr std::size_t kHeaderBufferSize = 5000;
// "utf-8" in the body counts only when it starts at a 1-based position below 500.
constexpr std::size_t kSniffLastStart = 498;

// The agent: the caller's User-Agent line when there is one, else the default.
Text AgentFrom(const Text& headers) {
  if (FindText(headers, "User-Agent:", 1, false) == -1) return kDefaultUserAgent;
  Text agent = TrimBlanks(ExtractBetween(headers, "User-Agent:", "\r\n"));
  // The line is the last one, with no "\r\n" behind it: read it as the whole text's value.
  if (agent.empty()) agent = HeaderValue(headers);
  return agent;
}

DWORD RequestFlags(std::string_view url, bool ownCookies, bool noRedirect) {
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE;
  if (ownCookies) flags |= INTERNET_FLAG_NO_COOKIES;
  if (noRedirect) flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
  if (LowerAscii(LeftPart(url, 5)) == "https") {
    flags |= INTERNET_FLAG_SECURE;
  } else {
    flags |= INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
  }
  return flags;
}

// Completes the caller's header text with the default lines, writing each change back.
void AddDefaultHeaders(Text& headers, std::string_view url, const Text* cookies) {
  if (!ContainsText(headers, "Referer:")) {
    headers = headers.empty() ? "Referer: " + Text(url) : headers + "\r\nReferer: " + Text(url);
  }
  if (!ContainsText(headers, "Accept:")) headers += "\r\nAccept: */*";
  if (!ContainsText(headers, "Accept-Language:")) headers += "\r\nAccept-Language: zh-cn";
  if (!ContainsText(headers, "Content-Type:"))
    headers += "\r\nContent-Type: application/x-www-form-urlencoded";
  if (cookies != nullptr && !cookies->empty()) headers += "\r\nCookie: " + *cookies;
}

// The whole body, read in chunks until a read gives no byte. Room for what is already there is
// made at once, so a large body is not copied while it grows; beyond that, growth is geometric,
// so the cost of reading stays linear in the size of the body.
Text ReadBody(const InternetHandle& request) {
  Text body;
  DWORD available = 0;
  if (InternetQueryDataAvailable(request, &available, 0, 0)) body.reserve(available);
  while (true) {
    std::array<char, kReadChunk> chunk{};
    DWORD read = 0;
    InternetReadFile(request, chunk.data(), kReadChunk, &read);
    if (read == 0) break;
    body.append(chunk.data(), read);
  }
  return body;
}

// Location (also Content-Location) and Set-Cookie lines of the raw response headers.
void ScanHeaderLines(const Text& responseHeaders, Text& location, Text& receivedCookies) {
  receivedCookies.clear();
  for (const Text& line : SplitText(responseHeaders, "\r\n")) {
    if (ContainsText(line, "Location:")) location = HeaderValue(line);
    if (ContainsText(line, "Set-Cookie")) {
      receivedCookies += TrimBlanks(ExtractBetween(line, "Set-Cookie:", ";")) + "; ";
    }
  }
  receivedCookies = LeftPart(receivedCookies, static_cast<int>(receivedCookies.size()) - 2);
}

bool IsUtf8Page(std::string_view body, std::string_view responseHeaders) {
  // Only the first occurrence counts, so it is enough to look where one could start in time.
  const std::string_view window = body.substr(0, kSniffLastStart + 5);
  if (window.find("utf-8") != std::string_view::npos) return true;
  return FindText(responseHeaders, "utf-8", 1, false) != -1;
}

}  // namespace

Text HttpRequest(std::string_view url, const HttpRequestOptions& options) {
  // Omitted variables become locals, so every step below can write its result somewhere.
  Text ownHeaders;
  Text ownReceivedCookies;
  Text ownLocation;
  Text ownResponseHeaders;
  ByteSet ownPostBytes;
  Text& headers = options.headers != nullptr ? *options.headers : ownHeaders;
  Text& receivedCookies = options.receivedCookies != nullptr ? *options.receivedCookies : ownReceivedCookies;
  Text& location = options.location != nullptr ? *options.location : ownLocation;
  Text& responseHeaders = options.responseHeaders != nullptr ? *options.responseHeaders : ownResponseHeaders;
  ByteSet& postBytes = options.postBytes != nullptr ? *options.postBytes : ownPostBytes;

  const char* verb = options.method == 1 ? "POST" : "GET";
  const Text agent = AgentFrom(headers);

  InternetHandle root;
  if (options.proxy != nullptr) {
    const Text proxyList = "http=" + *options.proxy;
    root = InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PROXY, proxyList.c_str(), "", 0);
  } else {
    root = InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  }
  if (!root) return {};
  InternetHandle connection = InternetConnectA(root, UrlHost(url).c_str(), UrlPort(url), nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0);
  if (!connection) return {};
  const DWORD flags = RequestFlags(url, options.cookies != nullptr, options.noRedirect);
  InternetHandle request =
      HttpOpenRequestA(connection, verb, UrlPath(url).c_str(), "HTTP/1.1", nullptr, nullptr, flags, 0);
  if (!request) return {};

  AddDefaultHeaders(headers, url, options.cookies);
  const void* bodyData = nullptr;
  DWORD bodyLength = 0;
  if (options.method != 0) {
    if (postBytes.empty()) postBytes = ToByteSet(options.postText);
    bodyData = postBytes.empty() ? nullptr : postBytes.data();
    bodyLength = static_cast<DWORD>(postBytes.size());
  }
  HttpSendRequestA(request, headers.c_str(), static_cast<DWORD>(headers.size()), bodyData, bodyLength);
  Text body = ReadBody(request);

  // When the headers do not fit (with their NUL), the buffer keeps its spaces.
  responseHeaders.assign(kHeaderBufferSize, ' ');
  DWORD length = kHeaderBufferSize;
  HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, responseHeaders.data(), &length, nullptr);
  responseHeaders.resize(std::strlen(responseHeaders.c_str()));

  InternetCloseHandle(std::move(request));
  InternetCloseHandle(std::move(connection));
  InternetCloseHandle(std::move(root));

  ScanHeaderLines(responseHeaders, location, receivedCookies);
  if (options.cookies != nullptr) MergeCookies(*options.cookies, receivedCookies);
  if (location.empty()) location = responseHeaders;

  if (IsUtf8Page(body, responseHeaders)) {
    const ByteSet converted = ConvertCharset(ByteSet(body.begin(), body.end()));
    body.assign(converted.begin(), converted.end());
  }
  body.resize(std::strlen(body.c_str()));  // the text ends at the first zero byte
  return body;
}
