#include "platform/inet/wininet.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <string_view>

#include "platform/inet/body_buffer.h"
#include "platform/inet/curl_handles.h"
#include "platform/inet/curl_process.h"

namespace inet {

class InternetObject {
 public:
  enum class Kind { Root, Connection, Request };
  explicit InternetObject(Kind k) : kind(k) {}

  Kind kind;
  // Each handle copies what it needs from its parent, so that it outlives a closed parent.
  std::string agent;
  std::string proxyList;  // empty: direct
  std::string server;
  int port = 0;
  std::string verb;
  std::string object;
  DWORD flags = 0;

  // The last transfer of a request.
  CurlEasy easy;
  std::array<char, CURL_ERROR_SIZE> errorText{};
  std::string error;
  std::size_t maxBody = 0;
  BodyBuffer body;
  std::size_t readPosition = 0;
  std::string rawHeaders;
  bool headersComplete = false;
};

void InternetObjectCloser::operator()(InternetObject* object) const {
  delete object;
}

namespace {

using Kind = InternetObject::Kind;

// A header block larger than this is refused: no web server sends one, and a server that
// streams header lines forever must not exhaust memory.
constexpr std::size_t kMaxHeaderBytes = 1 << 20;

std::mutex settingsLock;
InternetSettings& Settings() {
  // Never destroyed, like the cookie store: detached workers may send requests during exit.
  static InternetSettings* const settings = new InternetSettings();
  return *settings;
}

bool Is(const InternetHandle& handle, Kind kind) {
  return handle && handle->kind == kind;
}

std::string_view OrEmpty(const char* text) {
  return text == nullptr ? std::string_view() : text;
}

bool IsAsciiSpace(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsAsciiSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsAsciiSpace(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The server of a WinINet proxy list for one scheme: a "scheme=server" entry, else a bare entry.
std::string ProxyFor(std::string_view list, std::string_view scheme) {
  std::string bare;
  while (!list.empty()) {
    const std::size_t end = list.find_first_of(" ;");
    std::string_view entry = list.substr(0, end);
    list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
    if (entry.empty()) continue;
    const std::size_t equals = entry.find('=');
    if (equals == std::string_view::npos) {
      if (bare.empty()) bare = entry;
    } else if (EqualsIgnoringCase(entry.substr(0, equals), scheme)) {
      return std::string(entry.substr(equals + 1));
    }
  }
  return bare;
}

// Host names reach libcurl inside a URL: anything but a plain name or address could change
// which host the URL means, so such a name cannot be connected to.
bool IsPlainHostName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                    c == '-' || c == '_';
    if (!ok) return false;
  }
  return true;
}

// WinINet escapes the spaces of the object name and nothing else.
std::string EscapeSpaces(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    if (c == ' ') {
      out += "%20";
    } else {
      out += c;
    }
  }
  return out;
}

std::string RequestUrl(const InternetObject& request) {
  const bool secure = (request.flags & INTERNET_FLAG_SECURE) != 0;
  int port = request.port;
  if (port == 0) port = secure ? 443 : 80;  // WinINet's "invalid port": the scheme's default
  std::string url = secure ? "https://" : "http://";
  url += request.server;
  url += ':';
  url += std::to_string(port);
  if (request.object.empty() || request.object.front() != '/') url += '/';
  url += EscapeSpaces(request.object);
  return url;
}

struct HeaderList {
  CurlSlist lines;
  bool ok = true;
};

// The caller's CRLF-separated header lines as libcurl entries, plus entries that keep libcurl
// from adding header lines of its own that WinINet does not send.
HeaderList BuildHeaderList(std::string_view text) {
  HeaderList list;
  bool hasAccept = false;
  bool hasContentType = false;
  bool hasExpect = false;
  std::string entry;
  while (!text.empty() && list.ok) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;  // not a header line; WinINet skips it too
    const std::string_view name = Trim(line.substr(0, colon));
    hasAccept = hasAccept || EqualsIgnoringCase(name, "Accept");
    hasContentType = hasContentType || EqualsIgnoringCase(name, "Content-Type");
    hasExpect = hasExpect || EqualsIgnoringCase(name, "Expect");
    entry.assign(line);
    // libcurl reads "Name:" with no value as "drop this header"; "Name;" sends it empty.
    if (Trim(line.substr(colon + 1)).empty()) entry = std::string(line.substr(0, colon)) + ";";
    list.ok = AppendToSlist(list.lines, entry.c_str());
  }
  if (list.ok && !hasAccept) list.ok = AppendToSlist(list.lines, "Accept:");
  if (list.ok && !hasContentType) list.ok = AppendToSlist(list.lines, "Content-Type:");
  if (list.ok && !hasExpect) list.ok = AppendToSlist(list.lines, "Expect:");
  return list;
}

std::size_t OnBody(char* bytes, std::size_t size, std::size_t count, void* user) {
  auto* request = static_cast<InternetObject*>(user);
  // Taking fewer bytes than offered ends the transfer: the body ends at the cap.
  return request->body.Append(bytes, size * count, request->maxBody);
}

// Keeps the header block of the last response; each response (after a redirect, or after a
// 100 Continue) starts anew with its status line.
std::size_t OnHeader(char* bytes, std::size_t size, std::size_t count, void* user) {
  auto* request = static_cast<InternetObject*>(user);
  const std::size_t total = size * count;
  std::string_view line(bytes, total);
  const bool statusLine = line.starts_with("HTTP/");
  if (statusLine && (request->headersComplete || request->rawHeaders.empty())) {
    request->rawHeaders.clear();
    request->headersComplete = false;
  } else if (request->headersComplete) {
    return total;  // trailer lines after a chunked body belong to no header block
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (line.empty()) {
    if (request->rawHeaders.empty()) return total;
    request->headersComplete = true;
  } else if (request->rawHeaders.size() + line.size() + 4 > kMaxHeaderBytes) {
    return 0;
  }
  request->rawHeaders.append(line);
  request->rawHeaders.append("\r\n");
  return total;
}

void ConfigureTransfer(CURL* easy, InternetObject& request, const InternetSettings& settings) {
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, request.errorText.data());
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &request);
  curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(easy, CURLOPT_HEADERDATA, &request);
  curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, settings.connectTimeoutMs);
  // An idle receive time-out, not a total one: below 1 byte/s for that long ends the transfer.
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, std::max(1L, settings.receiveTimeoutSeconds));
  if (!settings.trustedCertificatesPem.empty()) {
    curl_blob blob{const_cast<char*>(settings.trustedCertificatesPem.data()),
                   settings.trustedCertificatesPem.size(), CURL_BLOB_COPY};
    curl_easy_setopt(easy, CURLOPT_CAINFO_BLOB, &blob);
  }
  if (!request.agent.empty()) curl_easy_setopt(easy, CURLOPT_USERAGENT, request.agent.c_str());
}

void ConfigureRedirects(CURL* easy, DWORD flags, long maxRedirects) {
  const bool follow = (flags & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, follow ? 1L : 0L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, maxRedirects);
  // A redirect that changes the scheme is followed only when the matching flag allows it.
  const char* protocols = "http";
  if ((flags & INTERNET_FLAG_SECURE) != 0) {
    protocols = (flags & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP) != 0 ? "https,http" : "https";
  } else if ((flags & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS) != 0) {
    protocols = "http,https";
  }
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, protocols);
}

void ConfigureProxyAndCookies(CURL* easy, const InternetObject& request) {
  const bool secure = (request.flags & INTERNET_FLAG_SECURE) != 0;
  std::string proxy = ProxyFor(request.proxyList, secure ? "https" : "http");
  if (!proxy.empty() && proxy.find("://") == std::string::npos) proxy = "http://" + proxy;
  // "" also keeps libcurl from taking a proxy from the environment, which WinINet never reads.
  curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
  if ((request.flags & INTERNET_FLAG_NO_COOKIES) == 0) {
    curl_easy_setopt(easy, CURLOPT_SHARE, CookieShare());
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");  // the cookie engine on, no file
  }
}

// The verb and the body. As WinINet, a GET with an empty body has no Content-Length line;
// every other request with a body does, even for zero bytes.
void ConfigureBody(CURL* easy, const std::string& verb, const void* body, DWORD length) {
  if (verb == "HEAD") {
    curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    return;
  }
  if (verb == "GET" && length == 0) {
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    return;
  }
  curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(length));
  curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body != nullptr && length > 0 ? body : "");
  if (verb != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, verb.c_str());
}

void ResetResponse(InternetObject& request) {
  request.easy.reset();
  request.errorText.fill('\0');
  request.error.clear();
  request.body.Clear();
  request.readPosition = 0;
  request.rawHeaders.clear();
  request.headersComplete = false;
}

}  // namespace

InternetHandle InternetOpenA(const char* agent, DWORD accessType, const char* proxy,
                             const char* /*proxyBypass*/, DWORD /*flags*/) {
  EnsureCurlInitialised();
  if (accessType != INTERNET_OPEN_TYPE_DIRECT && accessType != INTERNET_OPEN_TYPE_PROXY) return nullptr;
  InternetHandle root(new InternetObject(Kind::Root));
  root->agent = OrEmpty(agent);
  // Loopback is not bypassed (WinINet would), so that a proxy can be tested on loopback.
  if (accessType == INTERNET_OPEN_TYPE_PROXY) root->proxyList = OrEmpty(proxy);
  return root;
}

InternetHandle InternetConnectA(const InternetHandle& internet, const char* serverName, int port,
                                const char* /*userName*/, const char* /*password*/, DWORD service,
                                DWORD /*flags*/, std::uintptr_t /*context*/) {
  if (!Is(internet, Kind::Root) || OrEmpty(serverName).empty() || service != INTERNET_SERVICE_HTTP)
    return nullptr;
  InternetHandle connection(new InternetObject(Kind::Connection));
  connection->agent = internet->agent;
  connection->proxyList = internet->proxyList;
  connection->server = serverName;
  connection->port = port;
  return connection;
}

InternetHandle HttpOpenRequestA(const InternetHandle& connect, const char* verb, const char* objectName,
                                const char* /*version*/, const char* /*referrer*/,
                                const char* const* /*acceptTypes*/, DWORD flags, std::uintptr_t /*context*/) {
  // Always HTTP/1.1. No Referer or Accept line of its own: they come from the header text.
  if (!Is(connect, Kind::Connection)) return nullptr;
  InternetHandle request(new InternetObject(Kind::Request));
  request->agent = connect->agent;
  request->proxyList = connect->proxyList;
  request->server = connect->server;
  request->port = connect->port;
  request->verb = OrEmpty(verb).empty() ? "GET" : verb;
  request->object = OrEmpty(objectName);
  request->flags = flags;
  return request;
}

bool HttpSendRequestA(const InternetHandle& request, const char* headers, DWORD headersLength,
                      const void* optional, DWORD optionalLength) {
  if (!Is(request, Kind::Request)) return false;
  InternetObject& r = *request;
  ResetResponse(r);
  const InternetSettings settings = GetInternetSettings();
  r.maxBody = settings.maxBodyBytes;
  if (!IsPlainHostName(r.server) || r.port < 0 || r.port > 65535) {
    r.error = "host name or port cannot be connected to";
    return false;
  }
  CurlEasy easy(curl_easy_init());
  std::string_view headerText;
  if (headers != nullptr) {
    headerText = headersLength == static_cast<DWORD>(-1) ? std::string_view(headers)
                                                         : std::string_view(headers, headersLength);
  }
  HeaderList headerList = BuildHeaderList(headerText);
  if (!easy || !headerList.ok) {
    r.error = "out of memory";
    return false;
  }
  const std::string url = RequestUrl(r);
  curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy.get(), CURLOPT_HTTPHEADER, headerList.lines.get());
  ConfigureTransfer(easy.get(), r, settings);
  ConfigureRedirects(easy.get(), r.flags, settings.maxRedirects);
  ConfigureProxyAndCookies(easy.get(), r);
  ConfigureBody(easy.get(), r.verb, optional, optionalLength);
  // A transfer cut short keeps what arrived: the body received so far is the body.
  const CURLcode result = curl_easy_perform(easy.get());
  if (result != CURLE_OK) r.error = r.errorText[0] != '\0' ? r.errorText.data() : curl_easy_strerror(result);
  // The header list and the easy handle are no longer used by libcurl once perform returns.
  curl_easy_setopt(easy.get(), CURLOPT_HTTPHEADER, nullptr);
  r.easy = std::move(easy);
  return r.headersComplete;
}

bool InternetReadFile(const InternetHandle& file, void* buffer, DWORD numberOfBytesToRead,
                      DWORD* numberOfBytesRead) {
  if (numberOfBytesRead == nullptr) return false;
  *numberOfBytesRead = 0;
  if (!Is(file, Kind::Request) || buffer == nullptr) return false;
  const std::size_t n =
      file->body.CopyOut(file->readPosition, static_cast<char*>(buffer), numberOfBytesToRead);
  file->readPosition += n;
  *numberOfBytesRead = static_cast<DWORD>(n);
  return true;
}

bool InternetQueryDataAvailable(const InternetHandle& file, DWORD* numberOfBytesAvailable, DWORD /*flags*/,
                                std::uintptr_t /*context*/) {
  if (numberOfBytesAvailable == nullptr) return false;
  *numberOfBytesAvailable = 0;
  if (!Is(file, Kind::Request)) return false;
  *numberOfBytesAvailable = static_cast<DWORD>(file->body.Size() - file->readPosition);
  return true;
}

bool HttpQueryInfoA(const InternetHandle& request, DWORD infoLevel, void* buffer, DWORD* bufferLength,
                    DWORD* /*index*/) {
  if (!Is(request, Kind::Request) || infoLevel != HTTP_QUERY_RAW_HEADERS_CRLF || bufferLength == nullptr)
    return false;
  if (!request->headersComplete) return false;  // no response, or its header block cut short
  const std::string& raw = request->rawHeaders;
  const std::size_t needed = raw.size() + 1;
  if (buffer == nullptr || *bufferLength < needed) {
    *bufferLength = static_cast<DWORD>(needed);
    return false;
  }
  std::memcpy(buffer, raw.c_str(), needed);
  *bufferLength = static_cast<DWORD>(raw.size());
  return true;
}

bool InternetCloseHandle(InternetHandle handle) {
  return handle != nullptr;
}

std::string InternetRequestError(const InternetHandle& request) {
  return Is(request, Kind::Request) ? request->error : std::string("not a request handle");
}

InternetSettings GetInternetSettings() {
  std::lock_guard lock(settingsLock);
  return Settings();
}

void SetInternetSettings(const InternetSettings& settings) {
  std::lock_guard lock(settingsLock);
  Settings() = settings;
}

void InternetEndBrowserSession() {
  EnsureCurlInitialised();
  CurlEasy easy(curl_easy_init());
  if (!easy) return;
  curl_easy_setopt(easy.get(), CURLOPT_SHARE, CookieShare());
  curl_easy_setopt(easy.get(), CURLOPT_COOKIELIST, "ALL");
}

}  // namespace inet
