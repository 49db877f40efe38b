// WinINet's narrow-character HTTP operations over libcurl: the same calls, calling order, flags
// and results that a WinINet client relies on. One handle type stands for the root, connection
// and request handles; closing one handle never touches another, so any closing order is safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace inet {

using DWORD = std::uint32_t;

inline constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;
inline constexpr DWORD INTERNET_OPEN_TYPE_PROXY = 3;
inline constexpr DWORD INTERNET_SERVICE_HTTP = 3;

inline constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000;
inline constexpr DWORD INTERNET_FLAG_NEED_FILE = 0x00000010;
inline constexpr DWORD INTERNET_FLAG_NO_COOKIES = 0x00080000;
inline constexpr DWORD INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000;
inline constexpr DWORD INTERNET_FLAG_SECURE = 0x00800000;
inline constexpr DWORD INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS = 0x00004000;
inline constexpr DWORD INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP = 0x00008000;

inline constexpr DWORD HTTP_QUERY_RAW_HEADERS_CRLF = 22;

class InternetObject;
struct InternetObjectCloser {
  void operator()(InternetObject* object) const;
};
// A root, connection or request handle; null on failure. Releasing it closes it.
using InternetHandle = std::unique_ptr<InternetObject, InternetObjectCloser>;

// Root handle. `accessType` INTERNET_OPEN_TYPE_DIRECT, or INTERNET_OPEN_TYPE_PROXY with a proxy
// list such as "http=127.0.0.1:8080" (entries "scheme=host:port" or a bare "host:port" for
// every scheme, separated by blanks or ";"). Null for any other access type.
InternetHandle InternetOpenA(const char* agent, DWORD accessType, const char* proxy, const char* proxyBypass,
                             DWORD flags);

// Connection handle for one server. Null for an empty server name, a service other than
// INTERNET_SERVICE_HTTP or a handle that is not a root handle. Nothing goes on the wire yet.
InternetHandle InternetConnectA(const InternetHandle& internet, const char* serverName, int port,
                                const char* userName, const char* password, DWORD service, DWORD flags,
                                std::uintptr_t context);

// Request handle for `verb` (null: "GET") and `objectName` (the path with its query; spaces are
// sent as %20). INTERNET_FLAG_SECURE selects TLS. Null for a handle that is not a connection.
InternetHandle HttpOpenRequestA(const InternetHandle& connect, const char* verb, const char* objectName,
                                const char* version, const char* referrer, const char* const* acceptTypes,
                                DWORD flags, std::uintptr_t context);

// Performs the whole transfer: sends the CRLF-separated header lines (`headersLength` bytes, or
// up to the NUL for DWORD(-1)) and the body, and receives the final response. False when no
// complete response header block arrived; what was received of the body is readable in every
// case.
bool HttpSendRequestA(const InternetHandle& request, const char* headers, DWORD headersLength,
                      const void* optional, DWORD optionalLength);

// Copies the next at most `numberOfBytesToRead` body bytes; *numberOfBytesRead is 0 at the end of
// the data and on a handle that has no response.
bool InternetReadFile(const InternetHandle& file, void* buffer, DWORD numberOfBytesToRead,
                      DWORD* numberOfBytesRead);

// The number of body bytes that the next reads can return without waiting (after a send: all
// that are left of the body).
bool InternetQueryDataAvailable(const InternetHandle& file, DWORD* numberOfBytesAvailable, DWORD flags,
                                std::uintptr_t context);

// HTTP_QUERY_RAW_HEADERS_CRLF: the final response's status line and header lines, each ended by
// CRLF, then a closing CRLF, NUL-terminated. When `*bufferLength` cannot hold them with the NUL,
// fails, leaves the buffer untouched and sets *bufferLength to the size needed.
bool HttpQueryInfoA(const InternetHandle& request, DWORD infoLevel, void* buffer, DWORD* bufferLength,
                    DWORD* index);

// Closes the handle; false for a null handle.
bool InternetCloseHandle(InternetHandle handle);

// libcurl's explanation of the last transfer of a request ("" when it succeeded), for tests and
// diagnostics: the routines above report failures only as WinINet does.
std::string InternetRequestError(const InternetHandle& request);

// Process-wide settings, read when a request is sent.
struct InternetSettings {
  long connectTimeoutMs = 60000;
  // A read that waits this long without a byte ends the transfer; there is no total limit.
  long receiveTimeoutSeconds = 30;
  long maxRedirects = 5;
  // Body bytes beyond this count as the end of the data, so that a body that never ends cannot
  // exhaust memory. 256 MiB is far above any web page.
  std::size_t maxBodyBytes = std::size_t{256} << 20;
  // PEM certificates trusted for TLS instead of the system's bundle; empty: the system's.
  std::string trustedCertificatesPem;
};
InternetSettings GetInternetSettings();
void SetInternetSettings(const InternetSettings& settings);

// Forgets every cookie of the process-wide cookie store, as ending the browser session does.
void InternetEndBrowserSession();

}  // namespace inet
