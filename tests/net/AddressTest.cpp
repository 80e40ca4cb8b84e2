#include <gtest/gtest.h>

#include <cstdlib>

#include "net/EndpointConfig.h"
#include "net/PercentEncode.h"

namespace mofeng::net {
namespace {

TEST(PercentEncodeUtf8, EncodesEveryByteOfTheUtf8Form) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"a 1", "%61%20%31"},
        {"\t", "%09"},
        {"abc", "%61%62%63"},
        {"\xC1\xAC\xD2\xC2\xC8\xB9", "%E8%BF%9E%E8%A1%A3%E8%A3%99"},  // 连衣裙
        {"%&=#+", "%25%26%3D%23%2B"},
        {"\x80", "%E2%82%AC"},  // GBK 0x80 is the euro sign
        {"A\xD2\xC2z", "%41%E8%A1%A3%7A"},
    };
    for (const auto& [gbk, encoded] : cases) {
        EXPECT_EQ(PercentEncodeUtf8(gbk), encoded) << encoded;
    }
}

TEST(NormalizeBaseUrl, AcceptsSchemeHostAndPortOnly) {
    const std::pair<std::string, std::string> cases[] = {
        {"http://s.taobao.com", "http://s.taobao.com"},
        {"http://127.0.0.1:8080/", "http://127.0.0.1:8080"},
        {"https://example.test:443", "https://example.test:443"},
        {"HTTP://Upper.Case.Host", "http://Upper.Case.Host"},
        {"http://[::1]:9000/", "http://[::1]:9000"},
        {"http://[::1]", "http://[::1]"},
        {"http://host:1", "http://host:1"},
        {"http://host:65535", "http://host:65535"},
    };
    for (const auto& [text, normalized] : cases) {
        EXPECT_EQ(NormalizeBaseUrl(text), normalized) << '"' << text << '"';
    }
    const char* unusable[] = {
        "",
        "s.taobao.com",
        "ftp://host",
        "http://",
        "http:///",
        "http://host//",
        "http://host/path",
        "http://host?q=1",
        "http://host#top",
        "http://user@host",
        "http://host:",
        "http://host:0",
        "http://host:65536",
        "http://host:99999999999999999999",
        "http://host:80a",
        "http://ho st",
        " http://host",
        "http://host ",
        "http://[::1",
        "http://[zz]:80",
    };
    for (const char* text : unusable) {
        EXPECT_EQ(NormalizeBaseUrl(text), "") << '"' << text << '"';
    }
}

TEST(EndpointConfig, BuildsTheThreeRequestAddresses) {
    EndpointConfig config;
    config.searchBase = "http://127.0.0.1:1";
    config.indexBase = "http://127.0.0.1:2";
    config.suggestBase = "http://127.0.0.1:3";
    EXPECT_EQ(config.SearchPageUrl("%61"),
              "http://127.0.0.1:1/search?initiative_id=staobaoz_20150308&js=1&q=%61");
    EXPECT_EQ(config.TrendUrl(""), "http://127.0.0.1:2/trendindex.json?query=");
    EXPECT_EQ(config.SuggestUrl("%E8%BF%9E"),
              "http://127.0.0.1:3/sug?code=utf-8&q=%E8%BF%9E&_ksTS=1391415790937_12555"
              "&callback=jsonp12556&k=1&area=c2c&bucketid=19");
}

TEST(EndpointConfig, EnvironmentOverridesOnlyUsableValues) {
    setenv("MOFENG_SEARCH_URL", "http://127.0.0.1:8080/", 1);
    setenv("MOFENG_INDEX_URL", "http://127.0.0.1:8080/index", 1);
    setenv("MOFENG_SUGGEST_URL", "", 1);
    const EndpointConfig config = EndpointConfig::FromEnvironment();
    unsetenv("MOFENG_SEARCH_URL");
    unsetenv("MOFENG_INDEX_URL");
    unsetenv("MOFENG_SUGGEST_URL");
    const EndpointConfig defaults;
    EXPECT_EQ(config.searchBase, "http://127.0.0.1:8080");
    EXPECT_EQ(config.indexBase, defaults.indexBase);
    EXPECT_EQ(config.suggestBase, defaults.suggestBase);
    const EndpointConfig unset = EndpointConfig::FromEnvironment();
    EXPECT_EQ(unset.searchBase, defaults.searchBase);
}

}  // namespace
}  // namespace mofeng::net
