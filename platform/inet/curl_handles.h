// Owners for libcurl's C handles: each is released exactly once by its own cleanup function.
#pragma once

#include <curl/curl.h>

#include <memory>

namespace inet {

struct CurlEasyCleanup {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct CurlShareCleanup {
  void operator()(CURLSH* share) const { curl_share_cleanup(share); }
};
struct CurlSlistFree {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

using CurlEasy = std::unique_ptr<CURL, CurlEasyCleanup>;
using CurlShare = std::unique_ptr<CURLSH, CurlShareCleanup>;
using CurlSlist = std::unique_ptr<curl_slist, CurlSlistFree>;

// Appends `line` to `list`; false (and `list` unchanged) when libcurl runs out of memory.
inline bool AppendToSlist(CurlSlist& list, const char* line) {
  curl_slist* grown = curl_slist_append(list.get(), line);
  if (grown == nullptr) return false;
  static_cast<void>(list.release());  // `grown` now owns the old nodes
  list.reset(grown);
  return true;
}

}  // namespace inet
