#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "RawHttpServer.h"
#include "net/CookieJar.h"
#include "net/FetchSettings.h"
#include "net/HttpFetch.h"
#include "net/LoginCookies.h"

namespace mofeng::net {
namespace {

using test::RawHttpServer;

TEST(CookieJar, KeepsDomainRulesExpiryAndAPerDomainCap) {
    CookieJar jar;
    jar.Store("s.taobao.com", "a=1; Path=/");
    jar.Store("s.taobao.com", "b=2; Domain=.taobao.com");
    jar.Store("s.taobao.com", "evil=1; Domain=example.com");  // not the host's domain
    jar.Store("s.taobao.com", "a=3");                         // replaces, becomes newest
    EXPECT_EQ(jar.HeaderFor("s.taobao.com"), "a=3; b=2");
    EXPECT_EQ(jar.HeaderFor("suggest.taobao.com"), "b=2");
    EXPECT_EQ(jar.HeaderFor("example.com"), "");
    jar.Store("s.taobao.com", "a=gone; Max-Age=0");
    jar.Store("x.taobao.com", "b=gone; Domain=taobao.com; Expires=Thu, 01 Jan 1970 00:00:00 GMT");
    EXPECT_EQ(jar.HeaderFor("s.taobao.com"), "");

    for (int i = 0; i < 1000; ++i) {
        jar.Store("h", "c" + std::to_string(i) + "=v");
    }
    EXPECT_EQ(jar.CountFor("h"), CookieJar::kMaxCookiesPerDomain);
    EXPECT_EQ(jar.HeaderFor("h").rfind("c999=v"), jar.HeaderFor("h").size() - 6);  // newest kept
    EXPECT_EQ(jar.HeaderFor("h").find("c0=v"), std::string::npos);                 // oldest gone
    jar.Clear();
    for (int i = 0; i < 20; ++i) {
        jar.Store("h", "big" + std::to_string(i) + "=" + std::string(1000, 'x'));
    }
    EXPECT_LE(jar.HeaderFor("h").size(), CookieJar::kMaxBytesPerDomain + 100);
    EXPECT_LT(jar.CountFor("h"), 10u);
}

std::filesystem::path WriteFile(const std::string& name, const std::string& text) {
    const auto path = std::filesystem::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(LoginCookies, ReadsCookiesTxtAndPastedHeadersAndRefusesWithoutQuoting) {
    const auto good =
        WriteFile("mofeng_cookies_good.txt",
                  "# Netscape HTTP Cookie File\n"
                  "\n"
                  ".taobao.com\tTRUE\t/\tFALSE\t0\tcookie2\tsecretA\n"
                  "#HttpOnly_s.taobao.com\tFALSE\t/\tTRUE\t4102444800\t_tb_token_\tsecretB\r\n"
                  "old.taobao.com\tFALSE\t/\tFALSE\t1000\texpired\tx\n");
    std::vector<Cookie> cookies;
    std::string error;
    ASSERT_TRUE(ReadCookieFile(good, cookies, error)) << error;
    ASSERT_EQ(cookies.size(), 2u);
    EXPECT_EQ(cookies[0].domain, "taobao.com");
    EXPECT_TRUE(cookies[0].includeSubdomains);
    EXPECT_EQ(cookies[1].domain, "s.taobao.com");
    EXPECT_EQ(cookies[1].value, "secretB");

    const auto bad = WriteFile("mofeng_cookies_bad.txt", "taobao.com\tTRUE\tsecretC\n");
    EXPECT_FALSE(ReadCookieFile(bad, cookies, error));
    EXPECT_NE(error.find("line 1"), std::string::npos);
    EXPECT_EQ(error.find("secretC"), std::string::npos);
    EXPECT_FALSE(ReadCookieFile(std::filesystem::temp_directory_path(), cookies, error));

    const std::pair<const char*, std::size_t> headers[] = {
        {"Cookie: a=1; b=2", 2}, {"a=1;b=2;", 2}, {" t=x=y ", 1}, {"", 0}};
    for (const auto& [text, count] : headers) {
        EXPECT_TRUE(ParseCookieHeader(text, cookies, error)) << text;
        EXPECT_EQ(cookies.size(), count) << text;
    }
    EXPECT_FALSE(ParseCookieHeader("a=1; secretD", cookies, error));
    EXPECT_EQ(error.find("secretD"), std::string::npos);
    EXPECT_FALSE(ParseCookieHeader("a=1\r\nX-Injected: 1", cookies, error));
}

TEST(LoginCookies, FileAndPastedCookiesReachTheServerAndRepliesMayRefreshThem) {
    ProcessCookieJar().Clear();
    RawHttpServer server([](int s, const std::string& request) {
        const bool refresh = request.find("GET /refresh") == 0;
        RawHttpServer::SendAll(s, std::string("HTTP/1.0 200 OK\r\n") +
                                      (refresh ? "Set-Cookie: file=new\r\n" : "") +
                                      "Content-Length: 2\r\n\r\nok");
    });
    FetchSettings settings;
    Cookie fromFile{"127.0.0.1", false, "file", "F"};
    Cookie otherHost{"taobao.com", true, "elsewhere", "E"};
    settings.login.fromFile = {fromFile, otherHost};
    std::string error;
    ASSERT_TRUE(ParseCookieHeader("pasted=P", settings.login.pasted, error));
    SetFetchSettings(settings);
    HttpFetch(server.Url("/first"));
    HttpFetch(server.Url("/refresh"));
    HttpFetch(server.Url("/after"));
    SetFetchSettings({});
    ProcessCookieJar().Clear();
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_NE(requests[0].find("Cookie: file=F; pasted=P\r\n"), std::string::npos) << requests[0];
    EXPECT_EQ(requests[0].find("elsewhere"), std::string::npos);
    EXPECT_NE(requests[2].find("Cookie: file=new; pasted=P\r\n"), std::string::npos) << requests[2];
}

}  // namespace
}  // namespace mofeng::net
