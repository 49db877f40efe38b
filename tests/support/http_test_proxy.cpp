#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/support/http_test_server.h"

namespace testsupport {
namespace {

// Opens a connection to 127.0.0.1:port; -1 on failure.
int ConnectLoopback(int port) {
  const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (socket >= 0 && ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
    return socket;
  if (socket >= 0) ::close(socket);
  return -1;
}

// Forwards a request for "http://127.0.0.1:<port>/..." or "http://localhost:<port>/..." and
// relays the answer until the server closes; 502 for any other target.
void Forward(const ReceivedRequest& request, Connection& client) {
  const std::string line = request.RequestLine();
  const std::size_t firstSpace = line.find(' ');
  const std::size_t lastSpace = line.rfind(' ');
  std::string target = line.substr(firstSpace + 1, lastSpace - firstSpace - 1);
  int port = -1;
  for (const char* prefix : {"http://127.0.0.1:", "http://localhost:"}) {
    if (target.starts_with(prefix)) {
      target.erase(0, std::string(prefix).size());
      port = std::atoi(target.c_str());
      const std::size_t slash = target.find('/');
      target = slash == std::string::npos ? "/" : target.substr(slash);
    }
  }
  const int upstream = port > 0 ? ConnectLoopback(port) : -1;
  if (upstream < 0) {
    client.Send(HttpResponse("502 Bad Gateway", "", "no such upstream"));
    return;
  }
  const std::string forwarded = line.substr(0, firstSpace + 1) + target + line.substr(lastSpace) +
                                request.head.substr(request.head.find('\n')) + request.body;
  static_cast<void>(::send(upstream, forwarded.data(), forwarded.size(), MSG_NOSIGNAL));
  char buffer[65536];
  long n;
  while ((n = ::recv(upstream, buffer, sizeof buffer, 0)) > 0) {
    if (!client.Send(std::string_view(buffer, static_cast<std::size_t>(n)))) break;
  }
  ::close(upstream);
}

}  // namespace

TestHttpProxy::TestHttpProxy() : server_(Forward) {}

std::string TestHttpProxy::Address() const {
  return "127.0.0.1:" + std::to_string(Port());
}

}  // namespace testsupport
