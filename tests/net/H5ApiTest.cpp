#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/H5Api.h"
#include "net/H5ListingCount.h"
#include "net/H5Reply.h"
#include "net/RunSettings.h"

namespace mofeng::net {
namespace {

TEST(H5Api, SignIsTheMd5OfTokenTimeKeyAndDataAndTheUrlCarriesEveryParameter) {
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    const H5Api api;
    // A quote and a backslash in the keyword survive both levels of quoting.
    const std::string data = H5SearchData(api, "\xE8\xBF\x9E\"a\\");
    EXPECT_EQ(data,
              "{\"appId\":\"34385\",\"params\":\"{\\\"q\\\":\\\"\xE8\xBF\x9E\\\\\\\"a\\\\\\\\\\\","
              "\\\"page\\\":1,\\\"n\\\":48}\"}");
    EXPECT_EQ(H5Sign("tok", 1700000000000, "12574478", data),
              Md5Hex("tok&1700000000000&12574478&" + data));
    const std::string url = H5SearchUrl("https://h5.example", api, data, "tok", 1700000000000);
    EXPECT_EQ(url.rfind("https://h5.example/h5/mtop.relationrecommend.wirelessrecommend.recommend/"
                        "2.0/?jsv=",
                        0),
              0u)
        << url;
    for (const std::string& part :
         std::vector<std::string>{"&appKey=12574478&", "&t=1700000000000&",
                                  "&sign=" + H5Sign("tok", 1700000000000, "12574478", data) + "&",
                                  "&api=mtop.relationrecommend.wirelessrecommend.recommend&",
                                  "&v=2.0&", "&type=jsonp&dataType=jsonp&callback=mtopjsonp1&",
                                  "&data=%7B%22appId%22%3A%2234385%22"}) {
        EXPECT_NE(url.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(url.find_first_of(" \"{}\\"), std::string::npos);
}

TEST(H5Api, TokenIsTheTokenCookieUpToItsFirstUnderscore) {
    EXPECT_EQ(H5TokenFrom("a=1; _m_h5_tk=abc123_1700000000000; _m_h5_tk_enc=zz"), "abc123");
    EXPECT_EQ(H5TokenFrom("_m_h5_tk=abc"), "abc");
    // Not its sibling, nor a cookie whose name merely ends the same.
    EXPECT_EQ(H5TokenFrom("_m_h5_tk_enc=zz; x_m_h5_tk=q_1"), "");
    EXPECT_EQ(H5TokenFrom(""), "");
}

TEST(H5Reply, ReadsRetAndTheCountWhereverTheyStandAndNothingFromABrokenReply) {
    const H5Reply success = ReadH5Reply(
        "mtopjsonp1({\"api\":\"x\",\"data\":{\"itemsArray\":[{\"mainInfo\":{\"totalResults\":"
        "\"9\"}}],\"mainInfo\":{\"page\":1,\"totalResults\":\"123456\"}},"
        "\"ret\":[\"SUCCESS::\\u8c03\\u7528\\u6210\\u529f\"],\"v\":\"2.0\"})");
    ASSERT_TRUE(success.readable);
    EXPECT_EQ(success.Code(), "SUCCESS");
    EXPECT_EQ(success.Message(), "\xE8\xB0\x83\xE7\x94\xA8\xE6\x88\x90\xE5\x8A\x9F");  // 调用成功
    EXPECT_EQ(success.totalResults, "123456");  // not the item's own member of that name

    const H5Reply number = ReadH5Reply(
        " {\"ret\":[\"SUCCESS::ok\"],\"data\":{\"mainInfo\":{\"totalResults\":4400.0}}}");
    EXPECT_EQ(number.totalResults, "4400");
    EXPECT_FALSE(ReadH5Reply("{\"data\":{\"mainInfo\":{\"totalResults\":null}}}").totalResults);

    for (const char* broken :
         {"", "mtopjsonp1(", "<html>login</html>", "{\"ret\":[\"SUCCESS::ok\"],",
          "{\"ret\":[\"SUCCESS::ok\"],\"data\":{\"mainInfo\":{\"totalResults\":\"12\"}}",
          "{\"ret\":[\"a\\u12\"]}"}) {
        SCOPED_TRACE(broken);
        const H5Reply reply = ReadH5Reply(broken);
        EXPECT_FALSE(reply.readable);
        EXPECT_TRUE(reply.ret.empty());
        EXPECT_FALSE(reply.totalResults);
    }
    // Nesting beyond the bound is refused, not followed down the stack.
    const std::string deep = "{\"a\":" + std::string(100000, '[') + std::string(100000, ']') + "}";
    EXPECT_FALSE(ReadH5Reply(deep).readable);
    // A huge message is kept only up to the bound.
    const H5Reply huge = ReadH5Reply("{\"ret\":[\"E::" + std::string(100000, 'x') + "\"]}");
    ASSERT_EQ(huge.ret.size(), 1u);
    EXPECT_EQ(huge.ret[0].size(), kMaxH5Text);
}

TEST(H5Reply, CodesSortIntoReplyTokenRefusedBlockedAndFailed) {
    const struct {
        const char* body;
        FetchOutcome outcome;
        bool tokenRefused;
    } cases[] = {
        {R"({"ret":["SUCCESS::ok"],"data":{}})", FetchOutcome::Reply, false},
        {R"({"ret":["FAIL_SYS_TOKEN_EMPTY::empty"],"data":{}})", FetchOutcome::Failed, true},
        {R"({"ret":["FAIL_SYS_TOKEN_EXOIRED::stale"],"data":{}})", FetchOutcome::Failed, true},
        {R"({"ret":["FAIL_SYS_SESSION_EXPIRED::x"]})", FetchOutcome::Blocked, false},
        {R"({"ret":["FAIL_SYS_USER_VALIDATE::x"]})", FetchOutcome::Blocked, false},
        {R"({"ret":["RGV587_ERROR::SM::x"]})", FetchOutcome::Blocked, false},
        {R"({"ret":["FAIL_SYS_X::y"],"data":{"url":"https://a/punish?x5secdata=1"}})",
         FetchOutcome::Blocked, false},
        {R"({"ret":["FAIL_SYS_ILLEGAL_ACCESS::illegal"]})", FetchOutcome::Failed, false},
        // Readable but not the call's shape: a reply without the count.
        {R"({"other":1})", FetchOutcome::Reply, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        const H5Verdict verdict = JudgeH5Reply(ReadH5Reply(c.body), c.body);
        EXPECT_EQ(verdict.outcome, c.outcome);
        EXPECT_EQ(verdict.tokenRefused, c.tokenRefused);
    }
}

TEST(H5Settings, SourceUrlAndNamesResolveLikeTheOtherEndpoints) {
    auto resolve = [](SettingsSources sources, const char* h5Env, RunSettings& settings) {
        std::string error;
        const bool ok = ResolveRunSettings(
            sources,
            [h5Env](const char* name) {
                return std::string(name) == "MOFENG_H5_URL" ? h5Env : nullptr;
            },
            settings, error);
        return ok ? std::string() : error;
    };
    RunSettings settings;
    EXPECT_EQ(resolve({}, nullptr, settings), "");
    EXPECT_EQ(settings.endpoints.searchSource, SearchSource::Page);
    EXPECT_EQ(settings.endpoints.h5Base, "https://h5api.m.taobao.com");

    SettingsSources h5;
    h5.searchSource = "h5";
    h5.h5AppKey = "42";
    EXPECT_EQ(resolve(h5, "http://127.0.0.1:9/", settings), "");
    EXPECT_EQ(settings.endpoints.searchSource, SearchSource::H5);
    EXPECT_EQ(settings.endpoints.h5Base, "http://127.0.0.1:9");
    EXPECT_EQ(settings.endpoints.ListingCountBase(), "http://127.0.0.1:9");
    EXPECT_EQ(settings.endpoints.h5.appKey, "42");

    h5.demo = true;  // demo over the environment, as for the other endpoints
    EXPECT_EQ(resolve(h5, "http://127.0.0.1:9", settings), "");
    EXPECT_TRUE(settings.h5FromDemo);
    settings.UseDemoBase("http://127.0.0.1:5");
    EXPECT_EQ(settings.endpoints.h5Base, "http://127.0.0.1:5");

    SettingsSources bad;
    bad.searchSource = "html";
    EXPECT_NE(resolve(bad, nullptr, settings).find("--search-source"), std::string::npos);
    bad = {};
    bad.h5Api = "mtop/../x";
    EXPECT_NE(resolve(bad, nullptr, settings).find("--h5-api"), std::string::npos);
    bad = {};
    bad.h5AppId = "3a";
    EXPECT_NE(resolve(bad, nullptr, settings).find("--h5-app-id"), std::string::npos);
    EXPECT_NE(resolve({}, "ftp://x", settings).find("MOFENG_H5_URL"), std::string::npos);
}

}  // namespace
}  // namespace mofeng::net
