#include <gtest/gtest.h>

#include "query/SuggestWeight.h"
#include "runtime/CodePage.h"
#include "sim/Simulator.h"

namespace mofeng::query {
namespace {

using runtime::Utf8ToGbk;

TEST(SuggestWeight, EntriesKeepTheirWeightAsGivenWithoutBoldTags) {
    const auto found = WeightedSuggestionsFromText(
        Utf8ToGbk(R"(jsonp1({"result":[["连衣裙","718826.9811948987"],["连衣裙<b>夏<\/b>","12"],)"
                  R"(["x","-3"],["y","1.2e5"]]}))"));
    ASSERT_EQ(found.size(), 2u);  // neither a signed weight nor an exponent is a weight
    EXPECT_EQ(found[0].text, Utf8ToGbk("连衣裙"));
    EXPECT_EQ(found[0].weight, "718826.9811948987");
    EXPECT_EQ(found[1].text, Utf8ToGbk("连衣裙夏"));
    EXPECT_EQ(found[1].weight, "12");
    EXPECT_EQ(SuggestWeightDisplay("718826.5"), "718827");
    EXPECT_EQ(SuggestWeightDisplay("12"), "12");
    EXPECT_EQ(SuggestWeightDisplay(""), "");
}

TEST(SuggestWeight, TheSimulatorGivesEachKeywordAStableWeightOnlyForItself) {
    sim::SimulatorOptions options;
    options.suggestSelf = true;
    options.seed = 7;
    sim::Simulator simulator(options);
    ASSERT_TRUE(simulator.Start());
    net::EndpointConfig config;
    config.suggestBase = simulator.BaseUrl();
    for (const char* keyword : {"连衣裙", "手机壳 男"}) {
        const SuggestWeightResult found = LookUpSuggestWeight(config, Utf8ToGbk(keyword), nullptr);
        EXPECT_EQ(found.outcome, net::LookupOutcome::Normal) << keyword;
        EXPECT_EQ(found.weight, simulator.Data().SuggestWeight(keyword));
        EXPECT_NE(found.weight.find('.'), std::string::npos);  // the decimal as sent
    }
    sim::Simulator other(sim::SimulatorOptions{.seed = 8, .suggestSelf = true});
    EXPECT_NE(other.Data().SuggestWeight("连衣裙"), simulator.Data().SuggestWeight("连衣裙"));

    sim::Simulator plain;  // replies without the keyword's own entry
    ASSERT_TRUE(plain.Start());
    config.suggestBase = plain.BaseUrl();
    const SuggestWeightResult none = LookUpSuggestWeight(config, Utf8ToGbk("连衣裙"), nullptr);
    EXPECT_EQ(none.outcome, net::LookupOutcome::NoData);
    EXPECT_EQ(none.weight, "");
}

}  // namespace
}  // namespace mofeng::query
