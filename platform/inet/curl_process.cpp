#include "platform/inet/curl_process.h"

#include <cstdlib>
#include <mutex>

#include "platform/inet/curl_handles.h"

namespace inet {
namespace {

// The locks that libcurl asks for, one per kind of shared data.
struct ShareLocks {
  std::mutex byData[CURL_LOCK_DATA_LAST];
};

void LockShared(CURL*, curl_lock_data data, curl_lock_access, void* locks) {
  static_cast<ShareLocks*>(locks)->byData[data].lock();
}

void UnlockShared(CURL*, curl_lock_data data, void* locks) {
  static_cast<ShareLocks*>(locks)->byData[data].unlock();
}

struct CookieStore {
  ShareLocks locks;
  CurlShare share;

  CookieStore() : share(curl_share_init()) {
    if (!share) std::abort();  // out of memory at start-up: nothing sensible is left to do
    curl_share_setopt(share.get(), CURLSHOPT_LOCKFUNC, LockShared);
    curl_share_setopt(share.get(), CURLSHOPT_UNLOCKFUNC, UnlockShared);
    curl_share_setopt(share.get(), CURLSHOPT_USERDATA, &locks);
    curl_share_setopt(share.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
  }
};

CookieStore& TheCookieStore() {
  EnsureCurlInitialised();
  // Never destroyed: detached worker threads may still be inside a transfer while the process
  // exits, and the store with its locks must outlive them.
  static CookieStore* const store = new CookieStore();
  return *store;
}

// Initialises libcurl and the store while statics are initialised, before main starts threads.
[[maybe_unused]] const bool initialisedAtStart = (TheCookieStore(), true);

}  // namespace

void EnsureCurlInitialised() {
  static std::once_flag once;
  // curl_global_cleanup is never called, for the same reason the cookie store is never freed.
  std::call_once(once, [] {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) std::abort();
  });
}

CURLSH* CookieShare() {
  return TheCookieStore().share.get();
}

}  // namespace inet
