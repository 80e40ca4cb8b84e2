#pragma once

#include <curl/curl.h>

#include <cstddef>

namespace mofeng::net {

// What every fetch of the process shares: the DNS cache and the TLS session
// cache (one share object, one mutex per kind of shared data) and the fixed
// request header lists. Connections themselves stay with the thread that
// opened them: libcurl's shared connection pool is not safe across threads.
// Read-only after creation.
struct FetchRoot {
    CURLSH* share = nullptr;
    curl_slist* headers = nullptr;           // Accept only
    curl_slist* keepAliveHeaders = nullptr;  // Accept, and keep-alive for HTTP/1.0
};

// The process-wide root, created on first use; creation is serialised so that
// two first fetches arriving together create one root. nullptr when it cannot
// be created (the next call tries again). Never destroyed: fetches on other
// threads may still use it while the process exits. Any thread.
const FetchRoot* AcquireFetchRoot();

// How many roots this process has created (1 once any fetch has run).
std::size_t FetchRootCreationCount();

}  // namespace mofeng::net
