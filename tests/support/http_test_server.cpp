#include "tests/support/http_test_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <stdexcept>

#include "tests/support/tls_identity.h"

namespace testsupport {
namespace {

constexpr std::size_t kMaxRequestHead = 4 << 20;

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::vector<std::string> Lines(std::string_view head) {
  std::vector<std::string> lines;
  while (!head.empty()) {
    const std::size_t end = head.find('\n');
    std::string_view line = head.substr(0, end);
    head = end == std::string_view::npos ? std::string_view() : head.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) break;
    lines.emplace_back(line);
  }
  return lines;
}

// The server side of one accepted connection, plain or TLS.
class SocketConnection : public Connection {
 public:
  SocketConnection(int socket, int wake, SSL* ssl) : socket_(socket), wake_(wake), ssl_(ssl) {}

  // Waits for bytes; 0 at the end of the stream, on an error or when the server stops.
  std::size_t Receive(char* buffer, std::size_t size) {
    if (closed_) return 0;
    if (ssl_ == nullptr || SSL_pending(ssl_) == 0) {
      if (!WaitReadable()) return 0;
    }
    const long n =
        ssl_ != nullptr ? SSL_read(ssl_, buffer, static_cast<int>(size)) : ::recv(socket_, buffer, size, 0);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
  }

  bool Send(std::string_view bytes) override {
    while (!bytes.empty() && !closed_) {
      const long n =
          ssl_ != nullptr
              ? SSL_write(ssl_, bytes.data(), static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 20)))
              : ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return !closed_;
  }

  void Reset() override {
    linger hard{1, 0};
    setsockopt(socket_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    closed_ = true;
    wasReset_ = true;
  }

  void HangUntilClosed() override {
    char sink[4096];
    while (Receive(sink, sizeof sink) > 0) {
    }
  }

  bool closed_ = false;
  bool wasReset_ = false;

 private:
  bool WaitReadable() {
    pollfd fds[2] = {{socket_, POLLIN, 0}, {wake_, POLLIN, 0}};
    while (true) {
      const int n = ::poll(fds, 2, -1);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0 || (fds[1].revents & POLLIN) != 0) return false;
      return true;
    }
  }

  int socket_;
  int wake_;
  SSL* ssl_;
};

// Reads one request (head, then a Content-Length or chunked body) from `connection`, keeping
// bytes that follow it in `pending`. False when the peer closed first.
bool ReadRequest(SocketConnection& connection, std::string& pending, ReceivedRequest& request) {
  char buffer[16384];
  auto fill = [&]() {
    const std::size_t n = connection.Receive(buffer, sizeof buffer);
    pending.append(buffer, n);
    return n > 0;
  };
  std::size_t headEnd = std::string::npos;
  while (true) {
    const std::size_t crlf = pending.find("\r\n\r\n");
    const std::size_t lf = pending.find("\n\n");
    if (crlf != std::string::npos) headEnd = crlf + 4;
    if (lf != std::string::npos && (headEnd == std::string::npos || lf + 2 < headEnd)) headEnd = lf + 2;
    if (headEnd != std::string::npos) break;
    if (pending.size() > kMaxRequestHead || !fill()) return false;
  }
  request.head = pending.substr(0, headEnd);
  pending.erase(0, headEnd);
  const std::string length = request.Header("Content-Length");
  if (!length.empty()) {
    const std::size_t want = std::strtoull(length.c_str(), nullptr, 10);
    while (pending.size() < want) {
      if (!fill()) return false;
    }
    request.body = pending.substr(0, want);
    pending.erase(0, want);
  } else if (SameName(request.Header("Transfer-Encoding"), "chunked")) {
    std::size_t at = 0;
    while (true) {
      std::size_t lineEnd;
      while ((lineEnd = pending.find("\r\n", at)) == std::string::npos) {
        if (!fill()) return false;
      }
      const std::size_t size = std::strtoull(pending.c_str() + at, nullptr, 16);
      const std::size_t next = lineEnd + 2 + size + 2;
      while (pending.size() < next) {
        if (!fill()) return false;
      }
      at = next;
      if (size == 0) break;
    }
    request.body = pending.substr(0, at);
    pending.erase(0, at);
  }
  return true;
}

}  // namespace

std::string ReceivedRequest::RequestLine() const {
  const std::vector<std::string> lines = Lines(head);
  return lines.empty() ? std::string() : lines.front();
}

std::vector<std::string> ReceivedRequest::HeaderLines() const {
  std::vector<std::string> lines = Lines(head);
  if (!lines.empty()) lines.erase(lines.begin());
  return lines;
}

std::string ReceivedRequest::Header(std::string_view name) const {
  for (const std::string& line : HeaderLines()) {
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos && SameName(TrimSpaces(std::string_view(line).substr(0, colon)), name))
      return std::string(TrimSpaces(std::string_view(line).substr(colon + 1)));
  }
  return {};
}

int ReceivedRequest::HeaderCount(std::string_view name) const {
  int count = 0;
  for (const std::string& line : HeaderLines()) {
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos && SameName(TrimSpaces(std::string_view(line).substr(0, colon)), name))
      ++count;
  }
  return count;
}

bool Connection::SendSlowly(std::string_view bytes, int gapMs) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) ::usleep(static_cast<useconds_t>(gapMs) * 1000);
    if (!Send(bytes.substr(i, 1))) return false;
  }
  return true;
}

TestHttpServer::TestHttpServer(Handler handler) : TestHttpServer(std::move(handler), Options{}) {}

TestHttpServer::TestHttpServer(Handler handler, Options options)
    : handler_(std::move(handler)), options_(options) {
  int wake[2];
  if (::pipe2(wake, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  wakeRead_ = wake[0];
  wakeWrite_ = wake[1];
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int reuse = 1;  // a fixed port must be free again at once after the previous test
  if (listener_ >= 0) ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(options_.port));
  socklen_t size = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 128) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
    throw std::runtime_error("cannot listen on 127.0.0.1");
  port_ = ntohs(address.sin_port);
  if (options_.tls) TlsServerContext();  // made now, not by the first connection's thread
  acceptThread_ = std::thread([this] { AcceptLoop(); });
}

TestHttpServer::~TestHttpServer() {
  Stop();
}

std::string TestHttpServer::Url(std::string_view pathAndQuery) const {
  return std::string(options_.tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) +
         std::string(pathAndQuery);
}

std::vector<ReceivedRequest> TestHttpServer::Requests() const {
  std::lock_guard guard(lock_);
  return requests_;
}

std::size_t TestHttpServer::RequestCount() const {
  std::lock_guard guard(lock_);
  return requests_.size();
}

void TestHttpServer::Record(const ReceivedRequest& request) {
  std::lock_guard guard(lock_);
  requests_.push_back(request);
}

void TestHttpServer::AcceptLoop() {
  while (true) {
    pollfd fds[2] = {{listener_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if ((fds[1].revents & POLLIN) != 0) return;
    const int socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (socket < 0) continue;
    std::lock_guard guard(lock_);
    openSockets_.push_back(socket);
    connectionThreads_.emplace_back([this, socket] { Serve(socket); });
  }
}

void TestHttpServer::Serve(int socket) {
  SSL* ssl = nullptr;
  if (options_.tls) {
    ssl = SSL_new(TlsServerContext());
    SSL_set_fd(ssl, socket);
    if (SSL_accept(ssl) <= 0) {
      SSL_free(ssl);
      ssl = nullptr;
    }
  }
  SocketConnection connection(socket, wakeRead_, ssl);
  if (options_.tls && ssl == nullptr) connection.closed_ = true;  // handshake failed
  std::string pending;
  ReceivedRequest request;
  while (!connection.closed_ && ReadRequest(connection, pending, request)) {
    Record(request);
    connection.keepAlive_ = false;
    handler_(request, connection);
    if (!connection.keepAlive_) break;
    request = {};
  }
  if (ssl != nullptr) {
    if (!connection.wasReset_) SSL_shutdown(ssl);
    SSL_free(ssl);
  }
  {
    std::lock_guard guard(lock_);
    openSockets_.erase(std::remove(openSockets_.begin(), openSockets_.end(), socket), openSockets_.end());
  }
  ::close(socket);
}

void TestHttpServer::Stop() {
  if (stopping_.exchange(true)) return;
  const char wake = 1;
  static_cast<void>(::write(wakeWrite_, &wake, 1));
  if (acceptThread_.joinable()) acceptThread_.join();
  std::vector<std::thread> threads;
  {
    std::lock_guard guard(lock_);
    for (int socket : openSockets_) ::shutdown(socket, SHUT_RDWR);
    threads.swap(connectionThreads_);
  }
  for (std::thread& thread : threads) thread.join();
  ::close(listener_);
  ::close(wakeRead_);
  ::close(wakeWrite_);
}

long long MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

std::string HttpResponse(std::string_view status, std::string_view headerLines, std::string_view body) {
  std::string response = "HTTP/1.1 ";
  response += status;
  response += "\r\n";
  response += headerLines;
  response += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
  response += body;
  return response;
}

Handler Reply(std::string raw) {
  return [raw = std::move(raw)](const ReceivedRequest&, Connection& connection) { connection.Send(raw); };
}

}  // namespace testsupport
