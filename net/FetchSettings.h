#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "net/LoginCookies.h"

namespace mofeng::net {

// How the runs fetch, shared by every fetch of the process; the front ends
// set it from one resolution (ResolveRunSettings). The defaults keep a healthy
// server's behaviour: no pause between requests, two retries of failures.
struct FetchSettings {
    int retries = 2;                           // extra tries of a failed fetch
    std::chrono::milliseconds minInterval{0};  // between request starts, per host
    int pauseAfterBlocked = 3;  // rows (or expansions) blocked in a row before a run pauses
    std::string proxy;          // http/https/socks5 URL; empty: environment
    std::string cookieFile;     // path of the loaded file, for display only
    // PEM file of certificate authorities trusted besides the system's (for
    // networks that inspect TLS); empty: the system's only.
    std::string caFile;
    // Off: every fetch opens its own connection and full TLS handshake (for
    // comparison only; the product always reuses).
    bool reuseConnections = true;
    LoginCookies login;
};

void SetFetchSettings(FetchSettings settings);
// The current settings; a snapshot that later changes do not touch.
std::shared_ptr<const FetchSettings> CurrentFetchSettings();

}  // namespace mofeng::net
