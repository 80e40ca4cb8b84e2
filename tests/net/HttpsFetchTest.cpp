#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "LocalHttpServer.h"
#include "net/FetchSettings.h"
#include "net/HttpFetch.h"
#include "net/PolicyFetch.h"
#include "sim/Simulator.h"
#include "sim/TestAuthority.h"
#include "tests/sim/SkipWithoutHttps.h"

namespace mofeng::net {
namespace {

namespace fs = std::filesystem;
using test::LocalHttpServer;

constexpr const char* kSearch = "/search?initiative_id=staobaoz_20150308&js=1&q=%61";

// A throw-away authority (and server certificate of the given shape) in its
// own folder, removed afterwards; the process's fetch settings restored.
class TestAuthority {
public:
    explicit TestAuthority(const sim::TestCertificateShape& shape = {}) {
        m_folder = fs::temp_directory_path() /
                   ("mofeng-tls-" + std::to_string(::getpid()) + "-" + std::to_string(++s_made));
        fs::create_directories(m_folder);
        std::string error;
        m_ready = sim::MakeTestAuthority(m_folder.string(), shape, m_files, error);
        EXPECT_TRUE(m_ready) << error;
    }
    ~TestAuthority() {
        SetFetchSettings({});
        fs::remove_all(m_folder);
    }
    const sim::TestAuthorityFiles& Files() const { return m_files; }

    sim::SimulatorOptions Serving(int upgradePort = -1) const {
        sim::SimulatorOptions options;
        options.tlsCertFile = m_files.serverCert;
        options.tlsKeyFile = m_files.serverKey;
        options.upgradePort = upgradePort;
        return options;
    }
    void Trust(bool reuseConnections = true) const {
        FetchSettings settings;
        settings.caFile = m_files.caCert;
        settings.reuseConnections = reuseConnections;
        SetFetchSettings(settings);
    }

private:
    static inline int s_made = 0;
    fs::path m_folder;
    sim::TestAuthorityFiles m_files;
    bool m_ready = false;
};

TEST(HttpsFetch, TrustedAuthorityGivesThePageWithTheFixedRequest) {
    MOFENG_SKIP_WITHOUT_HTTPS();
    TestAuthority authority;
    sim::Simulator simulator(authority.Serving());
    ASSERT_TRUE(simulator.Start());
    ASSERT_EQ(simulator.BaseUrl().rfind("https://127.0.0.1:", 0), 0u);
    authority.Trust();
    const FetchResult result = HttpFetchResult(simulator.BaseUrl() + kSearch);
    EXPECT_EQ(result.error, TransportError::None);
    EXPECT_EQ(result.status, 200);
    EXPECT_NE(result.body.find("totalHits"), std::string::npos);
    const auto requests = simulator.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].version, "HTTP/1.0");
    EXPECT_EQ(requests[0].userAgent, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    EXPECT_EQ(requests[0].accept, std::vector<std::string>{"*/*"});
}

TEST(HttpsFetch, BadCertificatesFailWithTheirReasonAndAreNotRetried) {
    MOFENG_SKIP_WITHOUT_HTTPS();
    sim::TestCertificateShape expired;
    expired.validFromDays = -30;
    expired.validToDays = -1;
    sim::TestCertificateShape otherHost;
    otherHost.names = {"DNS:elsewhere.invalid"};
    struct Case {
        const char* name;
        sim::TestCertificateShape shape;
        bool trusted;
        const char* reason;  // GBK
    };
    const Case cases[] = {
        {"unknown authority",
         {},
         false,
         "\xD6\xA4\xCA\xE9\xCE\xDE\xD0\xA7\xA3\xBA\xB0\xE4\xB7\xA2\xBB\xFA\xB9\xB9\xB2\xBB\xCA\xDC"
         "\xD0\xC5\xC8\xCE"},  // 证书无效：颁发机构不受信任
        {"expired", expired, true,
         "\xD6\xA4\xCA\xE9\xCE\xDE\xD0\xA7\xA3\xBA\xD2\xD1\xB9\xFD\xC6\xDA"},  // 证书无效：已过期
        {"other host", otherHost, true,
         "\xD6\xA4\xCA\xE9\xCE\xDE\xD0\xA7\xA3\xBA\xD3\xEB\xD6\xF7\xBB\xFA\xC3\xFB\xB2\xBB\xB7"
         "\xFB"},  // 证书无效：与主机名不符
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        TestAuthority authority(each.shape);
        sim::Simulator simulator(authority.Serving());
        ASSERT_TRUE(simulator.Start());
        FetchSettings settings;
        settings.retries = 2;
        if (each.trusted) {
            settings.caFile = authority.Files().caCert;
        }
        SetFetchSettings(settings);
        const PolicyFetchResult fetched = FetchWithPolicy(simulator.BaseUrl() + kSearch, nullptr);
        EXPECT_EQ(fetched.outcome, FetchOutcome::Failed);
        EXPECT_EQ(fetched.last.error, TransportError::Certificate);
        EXPECT_EQ(fetched.reason, each.reason);
        EXPECT_EQ(fetched.retries, 0);
        EXPECT_TRUE(fetched.last.body.empty());
        EXPECT_EQ(simulator.RequestCount(), 0u);  // nothing was sent
    }
}

TEST(HttpsFetch, UpgradeRedirectIsFollowedAndACrossHostOneRefused) {
    MOFENG_SKIP_WITHOUT_HTTPS();
    TestAuthority authority;
    sim::Simulator simulator(authority.Serving(/*upgradePort=*/0));
    ASSERT_TRUE(simulator.Start());
    ASSERT_FALSE(simulator.UpgradeBaseUrl().empty());
    authority.Trust();

    const FetchResult upgraded = HttpFetchResult(simulator.UpgradeBaseUrl() + kSearch);
    EXPECT_EQ(upgraded.error, TransportError::None);
    EXPECT_EQ(upgraded.status, 200);
    EXPECT_EQ(upgraded.finalUrl, simulator.BaseUrl() + kSearch);
    EXPECT_TRUE(upgraded.refusedRedirect.empty());
    EXPECT_NE(upgraded.body.find("totalHits"), std::string::npos);

    // The same port over https, but another host name: refused.
    const std::string elsewhere =
        "https://localhost:" + std::to_string(simulator.Port()) + std::string(kSearch);
    LocalHttpServer redirector([&](httplib::Server& routes) {
        routes.Get("/elsewhere", [&](const httplib::Request&, httplib::Response& res) {
            res.set_redirect(elsewhere, 301);
        });
    });
    const std::uint64_t before = simulator.RequestCount();
    const FetchResult refused = HttpFetchResult(redirector.Url("/elsewhere"));
    EXPECT_EQ(refused.status, 301);
    EXPECT_EQ(refused.refusedRedirect, elsewhere);
    EXPECT_EQ(simulator.RequestCount(), before);
    EXPECT_EQ(ClassifyFetch(refused), FetchOutcome::Reply);  // a reply without data, as before
}

TEST(HttpsFetch, ConnectionsAreReusedUnlessSwitchedOff) {
    MOFENG_SKIP_WITHOUT_HTTPS();
    TestAuthority authority;
    for (const bool reuse : {true, false}) {
        SCOPED_TRACE(reuse ? "reused" : "one per fetch");
        sim::Simulator simulator(authority.Serving());
        ASSERT_TRUE(simulator.Start());
        authority.Trust(reuse);
        constexpr int kFetches = 12;
        for (int i = 0; i < kFetches; ++i) {
            const std::string url =
                simulator.BaseUrl() + (i % 2 == 0 ? kSearch : "/trendindex.json?query=%61");
            ASSERT_EQ(HttpFetchResult(url).status, 200) << i;
        }
        const auto requests = simulator.Requests();
        ASSERT_EQ(requests.size(), static_cast<std::size_t>(kFetches));
        if (reuse) {
            EXPECT_EQ(simulator.ConnectionCount(), 1u);
            EXPECT_EQ(requests.back().connection, 1u);
        } else {
            EXPECT_EQ(simulator.ConnectionCount(), static_cast<std::uint64_t>(kFetches));
        }
        for (const auto& request : requests) {
            EXPECT_EQ(request.version, "HTTP/1.0");
            EXPECT_EQ(request.accept, std::vector<std::string>{"*/*"});
        }
    }
}

}  // namespace
}  // namespace mofeng::net
