// Splitting a URL into the host, port and path that a connection needs. Text rules only:
// no URL object, no percent-decoding.
#pragma once

#include <string_view>

#include "text/text.h"

// Lower-case host of `url` ("http://" assumed without a scheme), without its port unless
// `keepPort`; with `mainDomainOnly` only its last two labels. "HTTP://A.B.com:81/x" gives "a.b.com".
Text UrlHost(std::string_view url, bool mainDomainOnly = false, bool keepPort = false);
// The port after the host's last ":", else 443 for "https" URLs and 80 for everything else.
int UrlPort(std::string_view url);
// Everything from the first "/" after the host, query included; "/" when there is none.
Text UrlPath(std::string_view url);
