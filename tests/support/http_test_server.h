// A small HTTP server for tests: listens on 127.0.0.1 on a port of its own (port 0), records
// every request byte for byte, and answers each with whatever a test scripts, including broken,
// slow and silent answers. Optionally speaks TLS with a certificate made for the test run.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace testsupport {

// One request exactly as it arrived.
struct ReceivedRequest {
  std::string head;  // request line and header lines with their line ends, and the blank line
  std::string body;  // by Content-Length, or the chunked body as sent

  std::string Raw() const { return head + body; }
  std::string RequestLine() const;
  // Header lines in order, without line ends.
  std::vector<std::string> HeaderLines() const;
  // Value of the first header line of that name (any case), trimmed; "" when there is none.
  std::string Header(std::string_view name) const;
  // Number of header lines of that name (any case).
  int HeaderCount(std::string_view name) const;
};

// The server's side of one accepted connection, handed to the test's handler.
class Connection {
 public:
  virtual ~Connection() = default;
  // Sends the bytes as they are; false once the peer has gone.
  virtual bool Send(std::string_view bytes) = 0;
  // Sends one byte at a time with `gapMs` milliseconds between bytes.
  bool SendSlowly(std::string_view bytes, int gapMs);
  // Closes the connection with a TCP reset.
  virtual void Reset() = 0;
  // Says nothing until the peer closes or the server stops.
  virtual void HangUntilClosed() = 0;
  // Reads the next request on this connection once the handler returns (default: close).
  void KeepAlive() { keepAlive_ = true; }
  bool keepAlive_ = false;
};

using Handler = std::function<void(const ReceivedRequest&, Connection&)>;

class TestHttpServer {
 public:
  struct Options {
    bool tls = false;
    // 0: a free port of the system's choice. A fixed port is for tests of code whose server
    // address is compiled in; such tests hold a CTest resource lock on that port.
    int port = 0;
  };
  explicit TestHttpServer(Handler handler);
  TestHttpServer(Handler handler, Options options);
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  int Port() const { return port_; }
  // "http://127.0.0.1:<port>" (or "https://") followed by `pathAndQuery`.
  std::string Url(std::string_view pathAndQuery = "/") const;
  std::vector<ReceivedRequest> Requests() const;
  std::size_t RequestCount() const;
  // Stops accepting, wakes silent handlers, closes every connection and joins the threads.
  void Stop();

 private:
  void AcceptLoop();
  void Serve(int socket);
  void Record(const ReceivedRequest& request);

  Handler handler_;
  Options options_;
  int listener_ = -1;
  int port_ = 0;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::atomic<bool> stopping_{false};
  std::thread acceptThread_;
  mutable std::mutex lock_;
  std::vector<ReceivedRequest> requests_;
  std::vector<std::thread> connectionThreads_;
  std::vector<int> openSockets_;
};

// "HTTP/1.1 <status>\r\n" + `headerLines` (each ended by "\r\n") + Content-Length and
// "Connection: close" + blank line + `body`.
std::string HttpResponse(std::string_view status, std::string_view headerLines, std::string_view body);
// A handler that sends `raw` to every request and closes.
Handler Reply(std::string raw);

// Milliseconds of a monotonic clock, for measuring how long a call took.
long long MonotonicMs();

// The certificate (PEM) that the TLS servers of this process present, for 127.0.0.1 and
// localhost; trusting it lets a client verify them.
const std::string& TestCertificatePem();

// An HTTP proxy for plain-http requests on 127.0.0.1: records each request as it arrived and
// forwards it (request line in origin form) to the loopback server that its URL names.
class TestHttpProxy {
 public:
  TestHttpProxy();
  int Port() const { return server_.Port(); }
  // "127.0.0.1:<port>", the form a proxy argument takes.
  std::string Address() const;
  std::vector<ReceivedRequest> Requests() const { return server_.Requests(); }

 private:
  TestHttpServer server_;
};

}  // namespace testsupport
