#include "net/HttpFetch.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "net/FetchRoot.h"

namespace mofeng::net {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr long kMaxRedirects = 20;
// Upper bound of the chunk curl hands over; ReadChunkSize never exceeds it.
constexpr long kReceiveBuffer = 102400;
// How often a running fetch looks at its cancel token and stall clock.
constexpr int kPollMs = 50;

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

// State of one fetch; its callbacks run on the fetching thread only.
struct Transfer {
    CURL* easy = nullptr;
    std::string body;
    std::size_t maxBodyBytes = 0;
    bool reserved = false;
    bool connected = false;          // the stall clock runs only once connected
    Clock::time_point lastActivity;  // last connect or received byte
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t length = size * count;
    transfer.lastActivity = Clock::now();
    if (!transfer.reserved) {
        transfer.reserved = true;
        curl_off_t announced = -1;
        curl_easy_getinfo(transfer.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
        const auto chunk =
            ReadChunkSize(announced >= 0 ? std::optional<long long>(announced) : std::nullopt);
        transfer.body.reserve(std::min(chunk, transfer.maxBodyBytes));
    }
    // A short count makes curl stop: the body is cut at exactly the limit.
    const std::size_t room = transfer.maxBodyBytes - transfer.body.size();
    const std::size_t taken = std::min(length, room);
    transfer.body.append(data, taken);
    return taken;
}

std::size_t OnHeader(char*, std::size_t size, std::size_t count, void* user) {
    static_cast<Transfer*>(user)->lastActivity = Clock::now();
    return size * count;
}

int OnConnected(void* user, char*, char*, int, int) {
    auto& transfer = *static_cast<Transfer*>(user);
    transfer.connected = true;
    transfer.lastActivity = Clock::now();
    return CURL_PREREQFUNC_OK;
}

// Proxies come from the environment, like the platform's preconfigured
// settings; loopback addresses never go through one.
std::string NoProxyHosts() {
    const char* fromEnvironment = std::getenv("no_proxy");
    if (fromEnvironment == nullptr || *fromEnvironment == '\0') {
        fromEnvironment = std::getenv("NO_PROXY");
    }
    std::string hosts = fromEnvironment != nullptr ? fromEnvironment : "";
    if (hosts == "*") {
        return hosts;
    }
    if (!hosts.empty()) {
        hosts += ',';
    }
    return hosts + "localhost,127.0.0.0/8,::1";
}

bool Configure(CURL* easy, CURLU* url, const FetchRoot& root, const TransportLimits& limits,
               const std::string& noProxy, Transfer& transfer) {
    const bool ok =
        curl_easy_setopt(easy, CURLOPT_CURLU, url) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_0}) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, root.headers) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_SHARE, root.share) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "") == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
        // A cancelled fetch must not wait for a name lookup still running.
        curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_NOPROXY, noProxy.c_str()) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                         static_cast<long>(limits.connectTimeout.count())) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBuffer) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, OnConnected) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_PREREQDATA, &transfer) == CURLE_OK;
    return ok;
}

// Drives the transfer until it ends, is cancelled or stalls; what arrived is
// kept in every case.
void Run(CURLM* multi, Transfer& transfer, const TransportLimits& limits,
         const runtime::CancelToken* cancel) {
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK || running == 0) {
            return;
        }
        if (cancel != nullptr && cancel->IsCancelled()) {
            return;
        }
        if (transfer.connected && Clock::now() - transfer.lastActivity >= limits.stallTimeout) {
            return;
        }
        if (curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr) != CURLM_OK) {
            return;
        }
    }
}

}  // namespace

std::string HttpFetch(std::string_view url, const runtime::CancelToken* cancel) {
    return HttpFetch(url, cancel, nullptr);
}

std::string HttpFetch(std::string_view url, const runtime::CancelToken* cancel,
                      std::string* contentType) {
    if (contentType != nullptr) {
        contentType->clear();
    }
    const std::string target(url.substr(0, url.find('#')));  // the fragment is never sent
    if (target.empty() || (cancel != nullptr && cancel->IsCancelled())) {
        return {};
    }
    const FetchRoot* root = AcquireFetchRoot();
    if (root == nullptr) {
        return {};
    }
    // Taken as given: no scheme guessing, no dot-segment squashing.
    std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
    if (!parsed ||
        curl_url_set(parsed.get(), CURLUPART_URL, target.c_str(), CURLU_PATH_AS_IS) != CURLUE_OK) {
        return {};
    }
    const TransportLimits limits = CurrentTransportLimits();
    const std::string noProxy = NoProxyHosts();
    Transfer transfer;
    transfer.maxBodyBytes = limits.maxBodyBytes;

    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!multi || !easy) {
        return {};
    }
    transfer.easy = easy.get();
    if (!Configure(easy.get(), parsed.get(), *root, limits, noProxy, transfer) ||
        curl_multi_add_handle(multi.get(), easy.get()) != CURLM_OK) {
        return {};
    }
    Run(multi.get(), transfer, limits, cancel);
    curl_multi_remove_handle(multi.get(), easy.get());
    const char* type = nullptr;
    if (contentType != nullptr &&
        curl_easy_getinfo(easy.get(), CURLINFO_CONTENT_TYPE, &type) == CURLE_OK &&
        type != nullptr) {
        *contentType = type;
    }
    return std::move(transfer.body);
}

}  // namespace mofeng::net
