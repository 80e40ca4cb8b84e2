#include "sim/Simulator.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>

#include "sim/FaultPlan.h"
#include "sim/H5Endpoint.h"
#include "sim/ReplyWriter.h"
#include "sim/RequestTarget.h"
#include "sim/SearchPage.h"
#include "sim/SimHttpServer.h"
#include "sim/StableHash.h"
#include "sim/SuggestReply.h"
#include "sim/TestAuthority.h"
#include "sim/TlsContext.h"
#include "sim/TrendDocument.h"
#include "sim/platform/SocketCalls.h"

namespace mofeng::sim {
namespace {

const std::string kHtmlType = "text/html; charset=utf-8";
const std::string kSearchType = "text/html; charset=gbk";
const std::string kTrendType = "application/json; charset=utf-8";
const std::string kSuggestType = "text/javascript; charset=utf-8";

constexpr std::string_view kNotFoundPage =
    "<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head>\n"
    "<body><h1>404 Not Found</h1><p>The requested page does not exist.</p></body></html>\n";
constexpr std::string_view kLoginPage =
    "<!DOCTYPE html>\n<html><head><title>Login</title></head>\n"
    "<body><form action=\"/member/login.jhtml\" method=\"post\">Please log in."
    "</form></body></html>\n";
constexpr std::string_view kServerErrorPage =
    "<!DOCTYPE html>\n<html><head><title>500 Internal Server Error</title></head>\n"
    "<body><h1>500 Internal Server Error</h1><p>The server is busy. Please try again "
    "later.</p></body></html>\n";

// Today's page no longer carries the count: the "totalHits" member goes.
void WithoutListingCount(std::string& page) {
    constexpr std::string_view kMember = "\"totalHits\":\"";
    const std::size_t at = page.find(kMember);
    if (at == std::string::npos) {
        return;
    }
    const std::size_t end = page.find("\",", at + kMember.size());
    page.erase(at, end == std::string::npos ? kMember.size() : end + 2 - at);
}

std::string JoinedHeader(const httplib::Request& request, const std::string& name,
                         std::vector<std::string>* each = nullptr) {
    std::string joined;
    const auto [first, last] = request.headers.equal_range(name);
    for (auto it = first; it != last; ++it) {
        joined += (joined.empty() ? "" : "; ") + it->second;
        if (each != nullptr) {
            each->push_back(it->second);
        }
    }
    return joined;
}

}  // namespace

std::string ValidateSimulatorOptions(const SimulatorOptions& options) {
    if (options.port < 0 || options.port > 65535) {
        return "port must be 0..65535";
    }
    if (options.fanout < 1 || options.fanout > 8) {
        return "fanout must be 1..8";
    }
    if (options.latencyMs < 0 || options.latencyMs > 600000) {
        return "latency must be 0..600000 ms";
    }
    const double rates[] = {options.failRate, options.dropRate, options.stallRate,
                            options.garbageRate};
    double sum = 0;
    for (double rate : rates) {
        if (!(rate >= 0.0 && rate <= 1.0)) {
            return "each rate must be 0..1";
        }
        sum += rate;
    }
    if (sum > 1.0 + 1e-9) {
        return "the rates must not add up to more than 1";
    }
    if (!(options.rateLimit >= 0 && options.rateLimit <= 100000)) {
        return "the rate limit must be 0..100000 requests per second";
    }
    if (options.tlsCertFile.empty() != options.tlsKeyFile.empty()) {
        return "a TLS certificate needs its key, and a key its certificate";
    }
    if (options.upgradePort < -1 || options.upgradePort > 65535) {
        return "the upgrade port must be 0..65535";
    }
    if (options.testAuthority && !options.tlsCertFile.empty()) {
        return "TLS files and a test authority exclude each other";
    }
    if (options.upgradePort >= 0 && options.tlsCertFile.empty() && !options.testAuthority) {
        return "an upgrade port needs TLS (a certificate and its key)";
    }
    if (!options.requireCookie.empty()) {
        const std::size_t eq = options.requireCookie.find('=');
        if (eq == 0 || eq == std::string::npos ||
            options.requireCookie.find_first_of("; \t\r\n") != std::string::npos) {
            return "the required cookie must read NAME=VALUE";
        }
    }
    return {};
}

struct Simulator::Impl {
    explicit Impl(SimulatorOptions o)
        : options(std::move(o)),
          data(options.seed, options.fanout),
          searchPage(data),
          h5(data, options.seed, std::chrono::seconds(options.h5TokenTtlS)) {}

    // The record of a request as it arrives, numbered; no outcome yet.
    RequestRecord Arrived(const httplib::Request& request);
    void Handle(const httplib::Request& request, httplib::Response& response);
    // A server whose every request goes to handle.
    std::unique_ptr<SimHttpServer> MakeServer(void (Impl::*handle)(const httplib::Request&,
                                                                   httplib::Response&)) {
        auto server = std::make_unique<SimHttpServer>(stopping);
        server->set_pre_routing_handler(
            [this, handle](const httplib::Request& request, httplib::Response& response) {
                (this->*handle)(request, response);
                return httplib::Server::HandlerResponse::Handled;
            });
        return server;
    }
    // The upgrade port's answer: the same target over HTTPS on the same host.
    void Upgrade(const httplib::Request& request, httplib::Response& response);
    void HandleH5(const httplib::Request& request, httplib::Response& response,
                  RequestRecord& record);
    void Remember(const RequestRecord& record);
    // A fresh folder in the temporary directory with a test authority in it.
    bool MakeAuthority(TestAuthorityFiles& files);
    void SleepUnlessStopping(int milliseconds) const;

    const SimulatorOptions options;
    const KeywordData data;
    const SearchPage searchPage;
    H5Endpoint h5;

    std::mutex lifecycle;  // Start and Stop
    std::atomic<bool> stopping{false};
    std::unique_ptr<SimHttpServer> server;
    std::thread listener;
    std::atomic<bool> listenerDone{false};
    std::atomic<int> port{0};
    std::unique_ptr<TlsContext> tls;
    std::filesystem::path authorityFolder;  // of the test authority; removed at destruction
    std::string authorityCaFile;
    std::unique_ptr<SimHttpServer> upgradeServer;
    std::thread upgradeListener;
    std::atomic<int> upgradePort{0};
    std::atomic<bool> upgradeDone{false};

    // Whether an endpoint request goes over the rate limit (a one-second window).
    bool OverRateLimit();
    bool HasRequiredCookie(const std::string& cookies) const;
    // Today's login rule: the required cookie, or without one any cookie but
    // the simulator's own.
    bool LoggedIn(const std::string& cookies) const;

    std::atomic<std::uint64_t> counter{0};
    std::atomic<std::uint64_t> endpointCounter{0};
    const std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    std::mutex rateMutex;
    std::deque<std::chrono::steady_clock::time_point> recentStarts;  // guarded by rateMutex
    mutable std::mutex recordsMutex;
    std::vector<RequestRecord> records;
    std::FILE* log = nullptr;  // guarded by recordsMutex
};

RequestRecord Simulator::Impl::Arrived(const httplib::Request& request) {
    RequestRecord record;
    record.number = ++counter;
    record.method = request.method;
    record.target = request.target;
    record.version = request.version;
    record.userAgent = JoinedHeader(request, "User-Agent");
    JoinedHeader(request, "Accept", &record.accept);
    record.cookie = JoinedHeader(request, "Cookie");
    record.connection = SimHttpServer::CurrentConnection();
    record.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return record;
}

void Simulator::Impl::Handle(const httplib::Request& request, httplib::Response& response) {
    RequestRecord record = Arrived(request);
    const std::uint64_t number = record.number;

    if (request.path == kSimLoginPath) {
        record.outcome = "login";
        Remember(record);
        response.status = 200;
        SendWhole(response, std::string(kLoginPage), kHtmlType);
        return;
    }
    if (request.path == kH5SearchPath) {
        HandleH5(request, response, record);
        return;
    }
    const RoutedRequest routed = RouteTarget(request.target);
    if (options.today && routed.endpoint == Endpoint::Trend) {
        record.outcome = "gone";
        Remember(record);
        response.status = 404;
        SendWhole(response, std::string(kNotFoundPage), kHtmlType);
        return;
    }
    if (routed.endpoint != Endpoint::None) {
        const std::uint64_t endpointNumber = ++endpointCounter;
        const bool limited = OverRateLimit();
        const bool blocked =
            (options.blockAfter > 0 && endpointNumber > options.blockAfter) ||
            !HasRequiredCookie(record.cookie) ||
            (options.today && routed.endpoint == Endpoint::Search && !LoggedIn(record.cookie));
        if (limited || blocked) {
            record.outcome = limited ? "rate-limited" : "blocked";
            Remember(record);
            if (limited) {
                response.status = 429;
                response.set_header("Retry-After", "1");
                SendWhole(response, "<html><body>Too many requests</body></html>", kHtmlType);
            } else {
                response.status = 302;
                response.set_header("Location", std::string(kSimLoginPath) + "?redirect=1");
                // A content provider of length 0 never ends the reply: a body it is.
                SendWhole(response, "<html><body>Please log in.</body></html>", kHtmlType);
            }
            return;
        }
    }
    const FaultRates rates{options.failRate, options.dropRate, options.stallRate,
                           options.garbageRate};
    const Outcome outcome = routed.endpoint == Endpoint::None || request.method != "GET"
                                ? Outcome::NotFound
                                : DecideFault(options.seed, number, rates);
    record.outcome = std::string(OutcomeName(outcome));
    Remember(record);

    if (number == 1) {
        char value[24];
        std::snprintf(value, sizeof value, "%016llx",
                      static_cast<unsigned long long>(Mix64(options.seed ^ 0x6D6673696DULL)));
        response.set_header("Set-Cookie", std::string("mfsim=") + value + "; Path=/");
    }
    SleepUnlessStopping(options.latencyMs);

    switch (outcome) {
        case Outcome::NotFound:
            response.status = 404;
            SendWhole(response, std::string(kNotFoundPage), kHtmlType);
            return;
        case Outcome::Fail:
            response.status = 500;
            SendWhole(response, std::string(kServerErrorPage), kHtmlType);
            return;
        default:
            break;
    }
    std::string body;
    const std::string* type = &kSearchType;
    switch (routed.endpoint) {
        case Endpoint::Search:
            body = searchPage.Build(routed.keyword);
            if (options.today) {
                WithoutListingCount(body);
            }
            break;
        case Endpoint::Trend:
            body = BuildTrendDocument(data, routed.keyword);
            type = &kTrendType;
            break;
        default:
            body = BuildSuggestReply(data, routed.keyword, routed.callback,
                                     options.decimalCounts || options.today, options.suggestSelf,
                                     options.today);
            type = &kSuggestType;
    }
    response.status = 200;
    switch (outcome) {
        case Outcome::Drop:
            SendPart(response, body, DropCut(options.seed, number, body.size()), *type);
            break;
        case Outcome::Stall:
            SendNothing(response, body.size(), *type, stopping);
            break;
        case Outcome::Garbage:
            SendWhole(response, GarbageBody(options.seed, number), *type);
            break;
        default:
            SendWhole(response, std::move(body), *type);
    }
}

void Simulator::Impl::Upgrade(const httplib::Request& request, httplib::Response& response) {
    RequestRecord record = Arrived(request);
    record.outcome = "upgrade";
    Remember(record);
    // The host as the client named it (an IPv6 literal keeps its brackets).
    std::string host = request.get_header_value("Host");
    const std::size_t colon = host.rfind(':');
    if (colon != std::string::npos && host.find(']', colon) == std::string::npos) {
        host.resize(colon);
    }
    if (host.empty()) {
        host = "127.0.0.1";
    }
    response.status = 301;
    response.set_header("Location",
                        "https://" + host + ":" + std::to_string(port.load()) + request.target);
    SendWhole(response, "<html><body>Moved Permanently</body></html>", kHtmlType);
}

bool Simulator::Impl::MakeAuthority(TestAuthorityFiles& files) {
    std::error_code failed;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(failed);
    if (failed) {
        return false;
    }
    std::random_device random;
    for (int attempt = 0; attempt < 8 && authorityFolder.empty(); ++attempt) {
        char name[40];
        std::snprintf(name, sizeof name, "mofeng-demo-%08x%08x", random(), random());
        if (std::filesystem::create_directory(temporary / name, failed)) {
            authorityFolder = temporary / name;
        }
    }
    std::string why;
    if (authorityFolder.empty() ||
        !MakeTestAuthority(authorityFolder.string(), TestCertificateShape{}, files, why)) {
        return false;
    }
    authorityCaFile = files.caCert;
    return true;
}

// The h5 call: the token protocol, RGV587_ERROR past the block limit; faults
// and latency do not apply.
void Simulator::Impl::HandleH5(const httplib::Request& request, httplib::Response& response,
                               RequestRecord& record) {
    const std::uint64_t endpointNumber = ++endpointCounter;
    const bool blocked = options.blockAfter > 0 && endpointNumber > options.blockAfter;
    H5Answer answer =
        blocked ? H5Endpoint::Blocked(request.params) : h5.Answer(request.params, record.cookie);
    record.outcome = answer.outcome;
    Remember(record);
    for (const std::string& cookie : answer.setCookies) {
        response.set_header("Set-Cookie", cookie);
    }
    response.status = 200;
    SendWhole(response, std::move(answer.body), kTrendType);
}

bool Simulator::Impl::OverRateLimit() {
    if (options.rateLimit <= 0) {
        return false;
    }
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard lock(rateMutex);
    while (!recentStarts.empty() && now - recentStarts.front() >= std::chrono::seconds(1)) {
        recentStarts.pop_front();
    }
    if (static_cast<double>(recentStarts.size()) >= options.rateLimit) {
        return true;
    }
    recentStarts.push_back(now);
    return false;
}

bool Simulator::Impl::HasRequiredCookie(const std::string& cookies) const {
    if (options.requireCookie.empty()) {
        return true;
    }
    // Cookie pairs are separated by "; ".
    std::size_t from = 0;
    while (from <= cookies.size()) {
        const std::size_t end = std::min(cookies.find(';', from), cookies.size());
        std::size_t begin = from;
        while (begin < end && cookies[begin] == ' ') {
            ++begin;
        }
        if (cookies.compare(begin, end - begin, options.requireCookie) == 0) {
            return true;
        }
        from = end + 1;
    }
    return false;
}

bool Simulator::Impl::LoggedIn(const std::string& cookies) const {
    if (!options.requireCookie.empty()) {
        return HasRequiredCookie(cookies);
    }
    for (std::size_t from = 0; from < cookies.size();) {
        const std::size_t end = std::min(cookies.find(';', from), cookies.size());
        std::size_t begin = from;
        while (begin < end && cookies[begin] == ' ') {
            ++begin;
        }
        if (end > begin && cookies.compare(begin, 6, "mfsim=") != 0) {
            return true;
        }
        from = end + 1;
    }
    return false;
}

void Simulator::Impl::Remember(const RequestRecord& record) {
    std::lock_guard lock(recordsMutex);
    records.push_back(record);
    if (log != nullptr) {
        const std::string line = FormatLogLine(record) + '\n';
        std::fwrite(line.data(), 1, line.size(), log);
        std::fflush(log);
    }
}

void Simulator::Impl::SleepUnlessStopping(int milliseconds) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!stopping.load() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            std::chrono::milliseconds(10), end - std::chrono::steady_clock::now()));
    }
}

Simulator::Simulator(SimulatorOptions options)
    : m_impl(std::make_unique<Impl>(std::move(options))) {}

Simulator::~Simulator() {
    Stop();
    if (m_impl->log != nullptr) {
        std::fclose(m_impl->log);
    }
    if (!m_impl->authorityFolder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_impl->authorityFolder, ignored);
    }
}

bool Simulator::Start() {
    Impl& impl = *m_impl;
    std::lock_guard lock(impl.lifecycle);
    if (impl.server) {
        return true;
    }
    if (!ValidateSimulatorOptions(impl.options).empty()) {
        return false;
    }
    {
        std::lock_guard records(impl.recordsMutex);
        if (!impl.options.logPath.empty() && impl.log == nullptr) {
            impl.log = std::fopen(impl.options.logPath.c_str(), "w");
            if (impl.log == nullptr) {
                return false;
            }
        }
    }
    if ((!impl.options.tlsCertFile.empty() || impl.options.testAuthority) && !impl.tls) {
        std::string certFile = impl.options.tlsCertFile;
        std::string keyFile = impl.options.tlsKeyFile;
        if (impl.options.testAuthority) {
            TestAuthorityFiles files;
            if (!impl.MakeAuthority(files)) {
                return false;
            }
            certFile = files.serverCert;
            keyFile = files.serverKey;
        }
        std::string why;
        impl.tls = TlsContext::Load(certFile, keyFile, why);
        if (!impl.tls) {
            return false;
        }
        platform::IgnoreBrokenPipe();
    }
    impl.stopping = false;
    auto server = impl.MakeServer(&Impl::Handle);
    if (impl.tls) {
        server->UseTls(impl.tls->Get());
    }
    const int bound = server->BindLoopback(impl.options.port);
    if (bound <= 0) {
        return false;
    }
    if (impl.options.upgradePort >= 0) {
        auto upgrade = impl.MakeServer(&Impl::Upgrade);
        const int upgradeBound = upgrade->BindLoopback(impl.options.upgradePort);
        if (upgradeBound <= 0) {
            return false;
        }
        impl.upgradePort = upgradeBound;
        impl.upgradeServer = std::move(upgrade);
    }
    impl.port = bound;
    impl.server = std::move(server);
    impl.listenerDone = false;
    impl.listener = std::thread([&impl] {
        impl.server->listen_after_bind();
        impl.listenerDone = true;
    });
    // stop() is ignored until the server runs, so Stop() must not come earlier.
    while (!impl.server->is_running() && !impl.listenerDone.load()) {
        std::this_thread::yield();
    }
    if (impl.upgradeServer) {
        impl.upgradeDone = false;
        impl.upgradeListener = std::thread([&impl] {
            impl.upgradeServer->listen_after_bind();
            impl.upgradeDone = true;
        });
        while (!impl.upgradeServer->is_running() && !impl.upgradeDone.load()) {
            std::this_thread::yield();
        }
    }
    return true;
}

void Simulator::Stop() {
    Impl& impl = *m_impl;
    std::lock_guard lock(impl.lifecycle);
    if (!impl.server) {
        return;
    }
    impl.stopping = true;
    impl.server->stop();
    impl.server->AbortConnections();
    impl.listener.join();
    impl.server.reset();
    if (impl.upgradeServer) {
        impl.upgradeServer->stop();
        impl.upgradeServer->AbortConnections();
        impl.upgradeListener.join();
        impl.upgradeServer.reset();
    }
}

int Simulator::Port() const {
    return m_impl->port.load();
}

std::string Simulator::BaseUrl() const {
    const char* scheme =
        m_impl->options.tlsCertFile.empty() && !m_impl->options.testAuthority ? "http" : "https";
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(Port());
}

std::string Simulator::UpgradeBaseUrl() const {
    if (m_impl->options.upgradePort < 0 || m_impl->upgradePort.load() <= 0) {
        return {};
    }
    return "http://127.0.0.1:" + std::to_string(m_impl->upgradePort.load());
}

std::string Simulator::TestAuthorityCaFile() const {
    std::lock_guard lock(m_impl->lifecycle);
    return m_impl->authorityCaFile;
}

std::uint64_t Simulator::ConnectionCount() const {
    std::lock_guard lock(m_impl->lifecycle);
    return m_impl->server ? m_impl->server->ConnectionCount() : 0;
}

const SimulatorOptions& Simulator::Options() const {
    return m_impl->options;
}

std::vector<RequestRecord> Simulator::Requests() const {
    std::lock_guard lock(m_impl->recordsMutex);
    return m_impl->records;
}

std::uint64_t Simulator::RequestCount() const {
    return m_impl->counter.load();
}

bool Simulator::Settle(std::chrono::milliseconds limit) {
    return m_impl->server != nullptr && m_impl->server->Settle(limit);
}

void Simulator::ClearRequests() {
    std::lock_guard lock(m_impl->recordsMutex);
    m_impl->records.clear();
}

const KeywordData& Simulator::Data() const {
    return m_impl->data;
}

long long Simulator::ExpectedListingCount(std::string_view keyword) const {
    return m_impl->data.ListingCount(keyword);
}

std::optional<TrendValues> Simulator::ExpectedSeries(std::string_view keyword) const {
    return m_impl->data.Series(keyword);
}

std::vector<std::string> Simulator::ExpectedRelated(std::string_view keyword) const {
    return m_impl->data.RelatedLinkTexts(keyword);
}

std::vector<SuggestionEntry> Simulator::ExpectedSuggestions(std::string_view keyword) const {
    return m_impl->data.Suggestions(keyword);
}

SimulatorOptions DemoOptions(bool https, bool today) {
    SimulatorOptions options;
    options.today = today;
    options.testAuthority = https || today;
    options.upgradePort = today ? 0 : -1;
    return options;
}

std::string DemoBase(const Simulator& simulator) {
    const std::string upgrade = simulator.UpgradeBaseUrl();
    return upgrade.empty() ? simulator.BaseUrl() : upgrade;
}

}  // namespace mofeng::sim
