// The program's one routine for fetching a web page.
#pragma once

#include <string_view>

#include "text/text.h"

// The optional arguments of HttpRequest; a null pointer is an omitted argument. `cookies` and
// `proxy` switch behaviour by their presence alone, even when empty.
struct HttpRequestOptions {
  int method = 0; Text postText; Text* cookies = nullptr; Text* receivedCookies = nullptr;
  Text* headers = nullptr; Text* location = nullptr; bool noRedirect = false;
  ByteSet* postBytes = nullptr; const Text* proxy = nullptr; Text* responseHeaders = nullptr;
};

// Fetches `url` and returns its body as GBK text (UTF-8 pages converted), cut at the first zero
// byte; the empty text when the request could not be made. Never shows a message.
Text HttpRequest(std::string_view url, const HttpRequestOptions& options = {});
