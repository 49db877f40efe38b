// The key and self-signed certificate that the test servers of this process present over TLS.
#pragma once

#include <openssl/ssl.h>

namespace testsupport {

// A server context with the test certificate (made once, on first use).
SSL_CTX* TlsServerContext();

}  // namespace testsupport
