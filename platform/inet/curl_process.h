// What libcurl keeps for the whole process: its global initialisation and the cookie store that
// WinINet's own cookie handling stands for, shared by every thread.
#pragma once

#include <curl/curl.h>

namespace inet {

// Runs curl_global_init once. It also runs while the program's statics are initialised, before
// any thread exists; the call here only guards users that run even earlier.
void EnsureCurlInitialised();

// The process-wide cookie share handle (cookies locked per access, so threads may share it).
CURLSH* CookieShare();

}  // namespace inet
