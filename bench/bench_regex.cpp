// Regex object over the texts it meets in practice: a large GBK search page
// with a handful of related-search links, and a trend JSON reply.
#include <benchmark/benchmark.h>

#include <string>

#include "regex/RegexObject.h"
#include "runtime/CodePage.h"

namespace {

using mofeng::regex::RegexObject;

constexpr const char* kRelatedPattern = R"re(<a trace="relatedSearch" href=".*?">(.*?)</a>)re";
constexpr const char* kTrendPattern =
    R"re((\d+),(\d+),(\d+),(\d+),(\d+),(\d+),(\d+),0],"lastdate":")re";

// About 300 KB of GBK markup: a long one-line script, result items with
// Chinese titles, and ten related-search links two thirds of the way down.
std::string MakeSearchPage() {
    std::string html =
        "<!DOCTYPE html>\n<html><head><meta charset=\"gbk\"><title>连衣裙_淘宝搜索</title>\n"
        "<script>g_page_config = {\"mods\":{\"itemlist\":{\"data\":{\"auctions\":[";
    for (int i = 0; i < 400; ++i) {
        html += "{\"nid\":\"" + std::to_string(5000000 + i * 37) +
                "\",\"raw_title\":\"夏季新款雪纺连衣裙女\",\"view_price\":\"" +
                std::to_string(59 + i % 200) + ".00\"},";
    }
    html += "{}]}}}};</script>\n</head><body>\n";
    const char* titles[] = {"2024夏季新款<span class=\"H\">连衣裙</span>女韩版修身显瘦雪纺长裙",
                            "法式复古碎花<span class=\"H\">连衣裙</span>温柔风收腰",
                            "大码女装胖mm遮肉<span class=\"H\">连衣裙</span>中长款"};
    std::string related;
    const char* relatedTexts[] = {"连衣裙夏",   "连衣裙女夏",  "雪纺连衣裙", "长裙",
                                  "碎花连衣裙", "连衣裙 长款", "吊带裙",     "白色连衣裙",
                                  "法式长裙",   "Polo连衣裙"};
    for (int i = 0; i < 10; ++i) {
        related += "<a trace=\"relatedSearch\" href=\"/search?q=r" + std::to_string(i) + "\">" +
                   relatedTexts[i] + "</a>\n";
    }
    for (int i = 0; html.size() < 312 * 1024; ++i) {
        const std::string id = std::to_string(600000000 + i * 7919);
        html +=
            "<div class=\"item\" data-nid=\"" + id +
            "\"><div class=\"pic\"><a href=\"//item.example/item.htm?id=" + id +
            "\" target=\"_blank\"><img src=\"//img.example/i" + std::to_string(i % 4) + "/" + id +
            ".jpg\" alt=\"连衣裙\"></a></div>\n<div class=\"price\">￥<strong>" +
            std::to_string(39 + i % 300) +
            ".00</strong></div><div class=\"title\"><a href=\"//item.example/item.htm?id=" + id +
            "\">" + titles[i % 3] + "</a></div>\n<div class=\"shop\"><a href=\"//shop.example/" +
            id +
            "\">某某旗舰店</a></div><div class=\"location\">浙江 杭州</div>"
            "<div class=\"deal-cnt\">" +
            std::to_string(i * 13 % 5000) + "人付款</div></div>\n";
        if (i == 200) {
            html += "<div class=\"related\"><span>您是不是想找：</span>" + related + "</div>\n";
        }
    }
    html += "</body></html>\n";
    return mofeng::runtime::Utf8ToGbk(html);
}

// About 20 KB of trend JSON: several 30-day arrays, the last one followed by lastdate.
std::string MakeTrendJson() {
    std::string json = R"({"data":{"keyword":"连衣裙","trend":[)";
    for (int series = 0; json.size() < 20 * 1024; ++series) {
        json += R"({"name":"series)" + std::to_string(series) + R"(","index":[)";
        for (int day = 0; day < 30; ++day) {
            json += std::to_string(10000 + (series * 131 + day * 977) % 90000) + ",";
        }
        json += R"(1],"note":"x"},)";
    }
    json += R"({"index":[100,110,121,133,146,161,177,0],"lastdate":"2014-02-02"}]}})";
    return mofeng::runtime::Utf8ToGbk(json);
}

const std::string& SearchPage() {
    static const std::string page = MakeSearchPage();
    return page;
}

const std::string& TrendJson() {
    static const std::string json = MakeTrendJson();
    return json;
}

// As the callers use it: a fresh object, one Search, group 1 of every match.
void BM_RelatedLinksFreshObject(benchmark::State& state) {
    const std::string& page = SearchPage();
    for (auto _ : state) {
        RegexObject regex;
        regex.Search(kRelatedPattern, page);
        for (int i = 1; i <= regex.MatchCount(); ++i) {
            benchmark::DoNotOptimize(regex.SubMatchText(i, 1));
        }
        if (regex.MatchCount() != 10) {
            state.SkipWithError("expected ten related links");
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
    state.counters["page_bytes"] = static_cast<double>(page.size());
}
BENCHMARK(BM_RelatedLinksFreshObject)->Unit(benchmark::kMillisecond);

// One object searching again: the compiled pattern is reused.
void BM_RelatedLinksReusedObject(benchmark::State& state) {
    const std::string& page = SearchPage();
    RegexObject regex;
    for (auto _ : state) {
        regex.Search(kRelatedPattern, page);
        benchmark::DoNotOptimize(regex.SubMatchText(1, 1));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_RelatedLinksReusedObject)->Unit(benchmark::kMillisecond);

// The GBK to UTF-8 conversion alone, the fixed cost under every page search.
void BM_PageConversionOnly(benchmark::State& state) {
    const std::string& page = SearchPage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(mofeng::runtime::GbkToUtf8(page));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_PageConversionOnly)->Unit(benchmark::kMillisecond);

// Thousands of matches on the page, none of them read back.
void BM_ManyMatchesOnPage(benchmark::State& state) {
    const std::string& page = SearchPage();
    int matches = 0;
    for (auto _ : state) {
        RegexObject regex;
        regex.Search(R"(\d+)", page);
        matches = regex.MatchCount();
    }
    state.counters["matches"] = matches;
}
BENCHMARK(BM_ManyMatchesOnPage)->Unit(benchmark::kMillisecond);

void BM_TrendSeries(benchmark::State& state) {
    const std::string& json = TrendJson();
    for (auto _ : state) {
        RegexObject regex;
        regex.Search(kTrendPattern, json);
        for (int group = 1; group <= 7; ++group) {
            benchmark::DoNotOptimize(regex.SubMatchText(1, group));
        }
        if (regex.SubMatchText(1, 7) != "177") {
            state.SkipWithError("trend series not found");
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * json.size()));
    state.counters["json_bytes"] = static_cast<double>(json.size());
}
BENCHMARK(BM_TrendSeries)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
