#include "net/HttpFetch.h"

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>

#include "net/CookieJar.h"
#include "net/FetchRoot.h"
#include "net/FetchSettings.h"
#include "net/FetchTexts.h"
#include "runtime/NumberOps.h"
#include "runtime/TextOps.h"

namespace mofeng::net {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr int kMaxRedirects = 20;
// Upper bound of the chunk curl hands over; ReadChunkSize never exceeds it.
constexpr long kReceiveBuffer = 102400;
// How often a running fetch looks at its cancel token and its clocks.
constexpr int kPollMs = 50;
constexpr long long kRetryAfterCapSeconds = 60;

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlText {
    void operator()(char* text) const { curl_free(text); }
};
using CurlString = std::unique_ptr<char, CurlText>;

// Scheme, host and port of a URL; empty fields when it cannot be parsed.
struct Origin {
    std::string scheme;
    std::string host;
    std::string port;

    bool operator==(const Origin&) const = default;
};

std::string UrlPart(CURLU* url, CURLUPart part, unsigned flags = 0) {
    char* text = nullptr;
    if (curl_url_get(url, part, &text, flags) != CURLUE_OK || text == nullptr) {
        return {};
    }
    CurlString owned(text);
    return runtime::AsciiLower(text);
}

Origin OriginOf(CURLU* url) {
    return {UrlPart(url, CURLUPART_SCHEME), UrlPart(url, CURLUPART_HOST),
            UrlPart(url, CURLUPART_PORT, CURLU_DEFAULT_PORT)};
}

// State of one request; its callbacks run on the fetching thread only.
struct Transfer {
    CURL* easy = nullptr;
    std::string host;
    std::string body;
    std::size_t maxBodyBytes = 0;
    std::optional<long long> announcedLength;
    std::optional<std::chrono::seconds> retryAfter;
    bool reserved = false;
    bool connected = false;  // the stall clock runs only once connected
    std::array<char, CURL_ERROR_SIZE> errorText{};
    Clock::time_point windowStart;
    std::size_t windowBytes = 0;  // received since windowStart
};

// "Name: value" when line is that header (name compared ignoring case).
std::optional<std::string_view> HeaderValue(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || line[name.size()] != ':') {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = line[i];
        if (runtime::AsciiLower(c) != name[i]) {
            return std::nullopt;
        }
    }
    std::string_view value = line.substr(name.size() + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
        value.remove_prefix(1);
    }
    while (!value.empty() &&
           (value.back() == '\r' || value.back() == '\n' || value.back() == ' ')) {
        value.remove_suffix(1);
    }
    return value;
}

// A decimal value of at most 18 digits; nullopt for anything else ("abc",
// "-5", "").
std::optional<long long> DecimalValue(std::string_view text) {
    const auto value = runtime::DigitsValue(text, 999'999'999'999'999'999);
    if (!value || text.size() > 18) {
        return std::nullopt;
    }
    return static_cast<long long>(*value);
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t length = size * count;
    transfer.windowBytes += length;
    if (!transfer.reserved) {
        transfer.reserved = true;
        // The whole announced body at once (within the limit): growing by
        // doubling would briefly hold up to three times a large reply.
        const std::size_t chunk = ReadChunkSize(transfer.announcedLength);
        const std::size_t wanted = transfer.announcedLength && *transfer.announcedLength > 0
                                       ? static_cast<std::size_t>(*transfer.announcedLength)
                                       : chunk;
        transfer.body.reserve(std::min(std::max(wanted, chunk), transfer.maxBodyBytes));
    }
    // A short count makes curl stop: the body is cut at exactly the limit.
    const std::size_t room = transfer.maxBodyBytes - transfer.body.size();
    const std::size_t taken = std::min(length, room);
    transfer.body.append(data, taken);
    return taken;
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::string_view line(data, size * count);
    transfer.windowBytes += line.size();
    if (line.substr(0, 5) == "HTTP/") {  // a new reply: forget an interim one's headers
        transfer.announcedLength.reset();
        transfer.retryAfter.reset();
    } else if (const auto length = HeaderValue(line, "content-length")) {
        transfer.announcedLength = DecimalValue(*length);
    } else if (const auto after = HeaderValue(line, "retry-after")) {
        if (const auto seconds = DecimalValue(*after)) {
            transfer.retryAfter = std::chrono::seconds(std::min(*seconds, kRetryAfterCapSeconds));
        }
    } else if (const auto cookie = HeaderValue(line, "set-cookie")) {
        ProcessCookieJar().Store(transfer.host, *cookie);
    }
    return line.size();
}

int OnConnected(void* user, char*, char*, int, int) {
    auto& transfer = *static_cast<Transfer*>(user);
    transfer.connected = true;
    transfer.windowStart = Clock::now();
    transfer.windowBytes = 0;
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

struct RequestSetup {
    const FetchRoot& root;
    const TransportLimits& limits;
    const FetchSettings& settings;
    std::string noProxy;
    std::string cookieHeader;
    const RequestHeaders* headers = nullptr;
};

// Over https (reuse on) a connection is kept for the thread's next fetch;
// plain http keeps one connection per fetch.
bool KeepsAlive(CURLU* url, const RequestSetup& setup) {
    return setup.settings.reuseConnections && UrlPart(url, CURLUPART_SCHEME) == "https";
}

// TLS options: certificates always verified; an added authority file is
// read besides the system's folder of authorities (CAPATH keeps its default).
// Over https the HTTP/1.0 request asks to keep its connection, so the thread's
// next fetch to the host skips the TCP and TLS handshakes.
bool ConfigureTls(CURL* easy, const RequestSetup& setup, bool keepAlive) {
    const bool reuse = setup.settings.reuseConnections;
    return curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK &&
           curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L) == CURLE_OK &&
           (setup.settings.caFile.empty() ||
            curl_easy_setopt(easy, CURLOPT_CAINFO, setup.settings.caFile.c_str()) == CURLE_OK) &&
           curl_easy_setopt(easy, CURLOPT_HTTPHEADER,
                            keepAlive ? setup.root.keepAliveHeaders : setup.root.headers) ==
               CURLE_OK &&
           (reuse || (curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L) == CURLE_OK &&
                      curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L) == CURLE_OK &&
                      curl_easy_setopt(easy, CURLOPT_SSL_SESSIONID_CACHE, 0L) == CURLE_OK));
}

const char* UserAgent(const RequestHeaders* headers) {
    return headers != nullptr && !headers->userAgent.empty() ? headers->userAgent.c_str()
                                                             : kUserAgent;
}

bool Configure(CURL* easy, CURLU* url, const RequestSetup& setup, Transfer& transfer) {
    const bool explicitProxy = !setup.settings.proxy.empty();
    const bool ok =
        curl_easy_setopt(easy, CURLOPT_CURLU, url) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_0}) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_USERAGENT, UserAgent(setup.headers)) == CURLE_OK &&
        (setup.headers == nullptr || setup.headers->referer.empty() ||
         curl_easy_setopt(easy, CURLOPT_REFERER, setup.headers->referer.c_str()) == CURLE_OK) &&
        ConfigureTls(easy, setup, KeepsAlive(url, setup)) &&
        // Redirects are followed here, one origin check per hop.
        curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK &&
        // curl refuses a malformed Content-Length before any body; the length
        // is read by OnHeader instead, and a short body is caught after. A
        // kept-alive connection needs curl to know where the body ends.
        curl_easy_setopt(easy, CURLOPT_IGNORE_CONTENT_LENGTH, KeepsAlive(url, setup) ? 0L : 1L) ==
            CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_SHARE, setup.root.share) == CURLE_OK &&
        (setup.cookieHeader.empty() ||
         curl_easy_setopt(easy, CURLOPT_COOKIE, setup.cookieHeader.c_str()) == CURLE_OK) &&
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
        // A cancelled fetch must not wait for a name lookup still running.
        curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L) == CURLE_OK &&
        (explicitProxy
             ? curl_easy_setopt(easy, CURLOPT_PROXY, setup.settings.proxy.c_str()) == CURLE_OK &&
                   curl_easy_setopt(easy, CURLOPT_NOPROXY, "") == CURLE_OK
             : curl_easy_setopt(easy, CURLOPT_NOPROXY, setup.noProxy.c_str()) == CURLE_OK) &&
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS,
                         static_cast<long>(setup.limits.connectTimeout.count())) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kReceiveBuffer) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, OnConnected) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_PREREQDATA, &transfer) == CURLE_OK &&
        curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer.errorText.data()) == CURLE_OK;
    return ok;
}

TransportError FromCurl(CURLcode code, const Transfer& transfer) {
    switch (code) {
        case CURLE_OK:
            return TransportError::None;
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_URL_MALFORMAT:
            return TransportError::UnusableUrl;
        case CURLE_OPERATION_TIMEDOUT:
            return TransportError::ConnectTimeout;  // the only curl timeout set
        case CURLE_WRITE_ERROR:
            return transfer.body.size() >= transfer.maxBodyBytes ? TransportError::BodyTooLarge
                                                                 : TransportError::Dropped;
        case CURLE_COULDNT_RESOLVE_HOST:
            return TransportError::Resolve;
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_CONNECT:
            return TransportError::Connect;
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
            return TransportError::Certificate;
        case CURLE_SSL_CONNECT_ERROR:
            return TransportError::Tls;
        default:
            return transfer.connected ? TransportError::Dropped : TransportError::Connect;
    }
}

// Drives one request until it ends, is cancelled, stalls or passes the
// deadline; what arrived is kept in every case.
TransportError Run(CURLM* multi, Transfer& transfer, const TransportLimits& limits,
                   Clock::time_point deadline, const runtime::CancelToken* cancel,
                   CURLcode& finished) {
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            return TransportError::Dropped;
        }
        if (running == 0) {
            int queued = 0;
            CURLMsg* message = curl_multi_info_read(multi, &queued);
            finished = message != nullptr && message->msg == CURLMSG_DONE ? message->data.result
                                                                          : CURLE_RECV_ERROR;
            return FromCurl(finished, transfer);
        }
        if (cancel != nullptr && cancel->IsCancelled()) {
            return TransportError::Cancelled;
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            return TransportError::Deadline;
        }
        if (transfer.connected && now - transfer.windowStart >= limits.stallTimeout) {
            if (transfer.windowBytes < kStallMinBytes) {
                return TransportError::Stall;
            }
            transfer.windowStart = now;
            transfer.windowBytes = 0;
        }
        if (curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr) != CURLM_OK) {
            return TransportError::Dropped;
        }
    }
}

// This thread's handles, made on its first request and kept for the next:
// a fresh multi handle costs a socket pair and its set-up on every request.
// Each request resets the easy handle's options before it sets its own.
struct ThreadHandles {
    std::unique_ptr<CURLM, MultiDeleter> multi{curl_multi_init()};
    std::unique_ptr<CURL, EasyDeleter> easy{curl_easy_init()};
};

ThreadHandles& HandlesOfThisThread() {
    thread_local ThreadHandles handles;
    return handles;
}

// Why a certificate was refused (GBK), from the TLS library's verification
// result (OpenSSL's X509_V_ERR_* numbers) or curl's code.
std::string CertificateProblem(CURL* easy, CURLcode code, std::string_view curlText) {
    if (code == CURLE_SSL_CACERT_BADFILE) {
        return UnreadableCaFileProblem();
    }
    // curl's own check of the name, after a good chain, says so only in its
    // message ("no alternative certificate subject name matches target host name").
    if (curlText.find("host name") != std::string_view::npos) {
        return NameMismatchProblem();
    }
    long verify = 0;
    curl_easy_getinfo(easy, CURLINFO_SSL_VERIFYRESULT, &verify);
    switch (verify) {
        case 9:
            return NotYetValidProblem();
        case 10:
            return ExpiredProblem();
        case 18:
        case 19:
            return SelfSignedProblem();
        case 2:
        case 20:
        case 21:
            return UntrustedIssuerProblem();
        case 62:  // host name
        case 64:  // IP address
            return NameMismatchProblem();
        default:
            return {};
    }
}

bool IsRedirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// One request to target; fills result and returns the redirect target of a
// 3xx reply (empty when none).
std::string RequestOnce(const std::string& target, CURLU* parsed, const RequestSetup& setup,
                        Clock::time_point deadline, const runtime::CancelToken* cancel,
                        FetchResult& result) {
    Transfer transfer;
    transfer.maxBodyBytes = setup.limits.maxBodyBytes;
    transfer.host = UrlPart(parsed, CURLUPART_HOST);
    RequestSetup withCookies = setup;
    withCookies.cookieHeader =
        ComposeCookieHeader(transfer.host, ProcessCookieJar(), setup.settings.login);

    ThreadHandles& handles = HandlesOfThisThread();
    CURLM* const multi = handles.multi.get();
    CURL* const easy = handles.easy.get();
    result.finalUrl = target;
    if (multi == nullptr || easy == nullptr) {
        result.error = TransportError::Connect;
        return {};
    }
    curl_easy_reset(easy);
    transfer.easy = easy;
    if (!Configure(easy, parsed, withCookies, transfer) ||
        curl_multi_add_handle(multi, easy) != CURLM_OK) {
        handles.easy.reset(curl_easy_init());
        result.error = TransportError::UnusableUrl;
        return {};
    }
    CURLcode finished = CURLE_OK;
    result.error = Run(multi, transfer, setup.limits, deadline, cancel, finished);
    result.certificateProblem.clear();
    if (result.error == TransportError::Certificate) {
        result.certificateProblem = CertificateProblem(easy, finished, transfer.errorText.data());
    }
    curl_multi_remove_handle(multi, easy);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, nullptr);  // the buffer ends with this request
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &result.status);
    const char* type = nullptr;
    result.contentType.clear();
    if (curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type != nullptr) {
        result.contentType = type;
    }
    if (result.error == TransportError::None && transfer.announcedLength &&
        static_cast<long long>(transfer.body.size()) < *transfer.announcedLength) {
        result.error = TransportError::Dropped;
    }
    result.retryAfter = transfer.retryAfter;
    result.body = std::move(transfer.body);
    const char* location = nullptr;
    if (result.error == TransportError::None && IsRedirect(result.status) &&
        curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &location) == CURLE_OK &&
        location != nullptr) {
        return location;
    }
    if (result.error != TransportError::None) {
        // A failed transfer can leave the easy handle refusing options that
        // the next request sets (curl 7.88: CURLOPT_BUFFERSIZE after a failed
        // name lookup), which failed every later fetch of the thread. The
        // connections stay in the multi handle's pool.
        handles.easy.reset(curl_easy_init());
    }
    return {};
}

// http:// to https:// on the same host, whatever the ports: what a server
// that has moved to TLS answers to plain requests.
bool IsUpgrade(const Origin& from, const Origin& to) {
    return from.scheme == "http" && to.scheme == "https" && from.host == to.host &&
           !to.host.empty();
}

bool SendableUrl(std::string_view url) {
    return std::none_of(url.begin(), url.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7F;
    });
}

}  // namespace

FetchResult HttpFetchResult(std::string_view url, const runtime::CancelToken* cancel,
                            const RequestHeaders* headers) {
    const std::shared_ptr<const FetchSettings> settings = CurrentFetchSettings();
    return HttpFetchResult(url, *settings, cancel, headers);
}

FetchResult HttpFetchResult(std::string_view url, const FetchSettings& settings,
                            const runtime::CancelToken* cancel, const RequestHeaders* headers) {
    FetchResult result;
    std::string target(url.substr(0, url.find('#')));  // the fragment is never sent
    result.finalUrl = target;
    if (target.empty() || !SendableUrl(target)) {
        result.error = TransportError::UnusableUrl;
        return result;
    }
    if (target.size() > kMaxUrlBytes) {
        result.error = TransportError::UrlTooLong;
        return result;
    }
    if (cancel != nullptr && cancel->IsCancelled()) {
        result.error = TransportError::Cancelled;
        return result;
    }
    const FetchRoot* root = AcquireFetchRoot();
    if (root == nullptr) {
        result.error = TransportError::Connect;
        return result;
    }
    const TransportLimits limits = CurrentTransportLimits();
    const RequestSetup setup{*root, limits, settings, NoProxyHosts(), {}, headers};
    const auto deadline = Clock::now() + limits.overallDeadline;

    std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
    // Taken as given: no scheme guessing, no dot-segment squashing.
    if (!parsed ||
        curl_url_set(parsed.get(), CURLUPART_URL, target.c_str(), CURLU_PATH_AS_IS) != CURLUE_OK) {
        result.error = TransportError::UnusableUrl;
        return result;
    }
    Origin origin = OriginOf(parsed.get());
    if (origin.scheme != "http" && origin.scheme != "https") {
        result.error = TransportError::UnusableUrl;
        return result;
    }
    for (int hop = 0;; ++hop) {
        std::string next = RequestOnce(target, parsed.get(), setup, deadline, cancel, result);
        if (next.empty()) {
            return result;
        }
        std::unique_ptr<CURLU, UrlDeleter> following(curl_url());
        const bool parsable =
            following && curl_url_set(following.get(), CURLUPART_URL, next.c_str(),
                                      CURLU_PATH_AS_IS) == CURLUE_OK;
        const Origin nextOrigin = parsable ? OriginOf(following.get()) : Origin{};
        if (!parsable || !(nextOrigin == origin || IsUpgrade(origin, nextOrigin))) {
            result.refusedRedirect = std::move(next);
            return result;
        }
        origin = nextOrigin;  // once upgraded, the fetch stays on https
        if (hop + 1 >= kMaxRedirects) {
            result.error = TransportError::TooManyRedirects;
            result.body.clear();
            return result;
        }
        target = std::move(next);
        parsed = std::move(following);
    }
}

std::string HttpFetch(std::string_view url, const runtime::CancelToken* cancel) {
    return HttpFetchResult(url, cancel).body;
}

std::string HttpFetch(std::string_view url, const runtime::CancelToken* cancel,
                      std::string* contentType) {
    FetchResult result = HttpFetchResult(url, cancel);
    if (contentType != nullptr) {
        *contentType = std::move(result.contentType);
    }
    return std::move(result.body);
}

}  // namespace mofeng::net
