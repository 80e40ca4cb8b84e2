#include "sim/SearchPage.h"

#include <array>
#include <cstdio>

#include "runtime/CodePage.h"
#include "sim/ModifierVocabulary.h"
#include "sim/StableHash.h"
#include "sim/TextEscape.h"

namespace mofeng::sim {
namespace {

constexpr std::size_t kPoolItems = 96;
constexpr std::int64_t kMinPageBytes = 100 * 1024;
constexpr std::int64_t kMaxPageBytes = 230 * 1024;

constexpr std::array<std::string_view, 16> kTitleWords = {
    "清仓",     "特价", "包邮", "正品", "专柜同款", "品牌", "爆款",   "现货",
    "新品上市", "官方", "旗舰", "热卖", "限时折扣", "品质", "高级感", "时尚",
};
constexpr std::array<std::string_view, 12> kShopWords = {
    "衣橱",   "优品",   "时尚馆", "服饰", "小铺", "精品屋",
    "美衣坊", "工作室", "家",     "严选", "良品", "折扣店",
};
constexpr std::array<std::string_view, 10> kCities = {
    "浙江 杭州", "广东 广州", "广东 深圳", "江苏 苏州", "上海",
    "福建 泉州", "浙江 湖州", "北京",      "湖北 武汉", "浙江 嘉兴",
};
constexpr std::array<std::string_view, 8> kNavigation = {
    "淘宝网首页", "我的淘宝", "购物车", "收藏夹", "商品分类", "卖家中心", "联系客服", "网站导航",
};

template <typename List>
std::string_view Pick(StableRandom& random, const List& list) {
    return list[static_cast<std::size_t>(
        random.Between(0, static_cast<std::int64_t>(list.size()) - 1))];
}

std::string_view PickModifierText(StableRandom& random) {
    const auto all = Modifiers();
    return all[static_cast<std::size_t>(
                   random.Between(0, static_cast<std::int64_t>(all.size()) - 1))]
        .text;
}

std::string Format(const char* format, long long a, long long b = 0, long long c = 0) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, a, b, c);
    return buffer;
}

std::string MakeStyle(StableRandom& random) {
    std::string css;
    static constexpr std::array<std::string_view, 10> kBlocks = {
        "m-itemlist", "m-related",  "m-header", "m-sortbar", "m-pager",
        "m-shop",     "m-feedback", "m-nav",    "m-tab",     "m-footer",
    };
    for (int i = 0; i < 90; ++i) {
        css += "." + std::string(Pick(random, kBlocks)) + " .c" + std::to_string(i) +
               Format("{margin:%lldpx %lldpx;padding:0 %lldpx;", random.Between(0, 20),
                      random.Between(0, 20), random.Between(0, 12)) +
               Format("font-size:%lldpx;line-height:%lldpx;color:#%06llx}\n",
                      random.Between(12, 16), random.Between(16, 24), random.Between(0, 0xFFFFFF));
    }
    return css;
}

std::string MakeNavigation() {
    std::string html = "<div class=\"site-nav\" id=\"J_SiteNav\">\n<ul class=\"site-nav-bd\">\n";
    for (std::string_view entry : kNavigation) {
        html += "<li class=\"site-nav-menu\"><a href=\"/nav/" + PercentEncode(entry) +
                "\" target=\"_top\">" + std::string(entry) + "</a></li>\n";
    }
    html += "</ul>\n</div>\n";
    return html;
}

std::string MakeFooter() {
    return "<div class=\"m-feedback\"><a href=\"/feedback\">意见反馈</a></div>\n"
           "<div class=\"footer\" id=\"J_Footer\">\n"
           "<p><a href=\"/about\">关于我们</a> | <a href=\"/partners\">合作伙伴</a> | "
           "<a href=\"/join\">营销中心</a> | <a href=\"/help\">联系客服</a> | "
           "<a href=\"/open\">开放平台</a> | <a href=\"/jobs\">诚征英才</a></p>\n"
           "<p>&copy; 2003-2026 版权所有 增值电信业务经营许可证</p>\n</div>\n"
           "<script src=\"/assets/srp/index.js\" async></script>\n"
           "<script>window.g_srp_loaded=true;</script>\n</body>\n</html>\n";
}

// One item listing; the keyword is inserted between the returned pieces.
std::vector<std::string> MakeItemPieces(StableRandom& random, std::size_t index) {
    const long long id = random.Between(520000000000LL, 759999999999LL);
    const long long shop = random.Between(10000000, 99999999);
    std::string title;
    for (int words = static_cast<int>(random.Between(3, 6)); words > 0; --words) {
        title += random.Chance(0.6) ? PickModifierText(random) : Pick(random, kTitleWords);
    }
    const std::string shopName = std::string(Pick(random, kShopWords)) +
                                 (random.Chance(0.4) ? "旗舰店" : "") +
                                 std::to_string(random.Between(1, 999));
    const std::string price = Format("%lld.%02lld", random.Between(19, 899),
                                     random.Chance(0.5) ? 0 : random.Between(0, 99));
    const std::string idText = std::to_string(id);

    std::vector<std::string> pieces;
    pieces.push_back(
        "<div class=\"item J_MouserOnverReq\" data-category=\"auctions\" data-index=\"" +
        std::to_string(index) + "\" data-nid=\"" + idText + "\">\n" +
        "<div class=\"pic-box J_MouseEneterLeave J_PicBox\"><div class=\"pic\">"
        "<a class=\"pic-link J_ClickStat J_ItemPicA\" data-nid=\"" +
        idText + "\" href=\"/item.htm?id=" + idText +
        "\" target=\"_blank\">"
        "<img class=\"J_ItemPic img\" src=\"/img/bao/uploaded/i" +
        std::to_string(random.Between(1, 4)) + "/" + idText + ".jpg_230x230.jpg\" alt=\"");
    pieces.push_back(
        title + "\"></a></div></div>\n" +
        "<div class=\"ctx-box J_MouseEneterLeave J_IconMoreNew\">\n" +
        "<div class=\"row row-1 g-clearfix\"><div class=\"price g_price g_price-highlight\">"
        "<span>&yen;</span><strong>" +
        price + "</strong></div>" + "<div class=\"deal-cnt\">" +
        std::to_string(random.Between(0, 20000)) + "人付款</div></div>\n" +
        "<div class=\"row row-2 title\"><a id=\"J_Itemlist_TLink_" + idText +
        "\" class=\"J_ClickStat\" data-nid=\"" + idText + "\" href=\"/item.htm?id=" + idText +
        "\" target=\"_blank\"><span class=\"H\">");
    pieces.push_back("</span>" + title + "</a></div>\n" +
                     "<div class=\"row row-3 g-clearfix\"><div class=\"shop\"><a class=\"shopname "
                     "J_MouseEneterLeave J_ShopInfo\" data-userid=\"" +
                     std::to_string(shop) + "\" href=\"/shop/" + std::to_string(shop) +
                     "\" target=\"_blank\"><span class=\"dsrs\">"
                     "<span class=\"dsr morethan\"></span></span><span>" +
                     shopName +
                     "</span></a></div>"
                     "<div class=\"location\">" +
                     std::string(Pick(random, kCities)) + "</div></div>\n" +
                     "<div class=\"row row-4 g-clearfix\"><ul class=\"icons\"><li class=\"icon\">"
                     "<span class=\"icon-service-baoyou\" title=\"包邮\"></span></li>" +
                     (random.Chance(0.5)
                          ? "<li class=\"icon\"><span class=\"icon-fest-shuangshiyi\" "
                            "title=\"七天无理由退换\"></span></li>"
                          : "") +
                     "</ul></div>\n</div>\n</div>\n");
    for (std::string& piece : pieces) {
        piece = runtime::Utf8ToGbk(piece);
    }
    return pieces;
}

std::string RelatedWordsJson(const std::vector<std::string>& keywords) {
    std::string json = "[";
    for (std::size_t i = 0; i < keywords.size(); ++i) {
        json += (i == 0 ? "{\"text\":\"" : ",{\"text\":\"") + JsonStringContent(keywords[i]) +
                "\",\"isHighlight\":false}";
    }
    return json + "]";
}

}  // namespace

SearchPage::SearchPage(const KeywordData& data) : m_data(data) {
    StableRandom random(StableHash(data.Seed(), "search page pool", 11));
    m_style = runtime::Utf8ToGbk(MakeStyle(random));
    m_navigation = runtime::Utf8ToGbk(MakeNavigation());
    m_footer = runtime::Utf8ToGbk(MakeFooter());
    m_items.reserve(kPoolItems);
    for (std::size_t i = 0; i < kPoolItems; ++i) {
        m_items.push_back(Item{MakeItemPieces(random, i)});
    }
}

std::string SearchPage::Build(std::string_view keyword) const {
    const std::string text = NormalizeKeyword(keyword);
    const long long count = m_data.ListingCount(text);
    const std::vector<std::string> related = m_data.RelatedKeywords(text);
    const std::string html = HtmlTextForGbk(text);
    const std::string htmlGbk = runtime::Utf8ToGbk(html);
    const std::string encoded = PercentEncode(text);
    StableRandom random(StableHash(m_data.Seed(), text, 12));
    const std::int64_t target = random.Between(kMinPageBytes, kMaxPageBytes);

    std::string head =
        "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"gbk\">\n"
        "<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge,chrome=1\">\n"
        "<title>" +
        html +
        "_淘宝搜索</title>\n"
        "<meta name=\"keywords\" content=\"" +
        html +
        "\">\n"
        "<link rel=\"stylesheet\" href=\"/assets/srp/index.css\">\n<style>\n";
    std::string config =
        "</style>\n<script>\n    g_page_config = {\"pageName\":\"mainsrp\",\"mods\":{"
        "\"header\":{\"status\":\"show\",\"data\":{\"q\":\"" +
        JsonStringContent(text) +
        "\",\"tabParams\":{\"js\":\"1\",\"stats_click\":\"search_radio_all:1\","
        "\"initiative_id\":\"staobaoz_20150308\",\"ie\":\"utf8\"},\"dropdown\":[{\"url\":\"\","
        "\"text\":\"宝贝\",\"type\":\"item\"},{\"url\":\"/search_shop\",\"text\":\"店铺\","
        "\"type\":\"shop\"}]}},\"related\":{\"status\":\"" +
        std::string(related.empty() ? "hide" : "show") +
        "\",\"data\":{\"words\":" + RelatedWordsJson(related) +
        "}},\"sortbar\":{\"status\":\"show\"},\"pager\":{"
        "\"status\":\"show\",\"data\":{\"pageSize\":44,\"totalPage\":" +
        std::to_string(count == 0 ? 0 : std::min(100LL, (count + 43) / 44)) +
        ",\"currentPage\":1,\"totalCount\":" + std::to_string(count) +
        "}}},\"mainInfo\":{\"currentUrl\":\"/search?q=" + encoded +
        "\",\"modLinks\":{\"filter\":\"/search?q=" + encoded +
        "&js=1\"},\"srpGlobal\":{"
        "\"q\":\"" +
        JsonStringContent(text) + "\",\"encode_q\":\"" + encoded +
        "\",\"s\":0,\"bucketid\":" + std::to_string(random.Between(1, 30)) +
        "},\"traceInfo\":{\"pvStat\":\"" + std::to_string(random.Next() % 1000000) +
        "\",\"traceData\":{\"totalHits\":\"" + std::to_string(count) + "\",\"is_rs\":\"" +
        (related.empty() ? "0" : "1") + "\",\"rs\":\"" + std::to_string(related.size()) +
        "\",\"isp4p\":\"1\","
        "\"remoteip\":\"127.0.0.1\",\"multiSearch\":\"0\"}}},\"feature\":{\"webpOff\":false,"
        "\"retinaOff\":false,\"shopcardOff\":true}};\n"
        "    g_srp_loadCss();\n</script>\n</head>\n<body class=\"mainsrp\">\n";
    std::string search =
        "<div class=\"m-header\"><form id=\"J_SearchForm\" action=\"/search\" method=\"get\">\n"
        "<input type=\"hidden\" name=\"initiative_id\" value=\"staobaoz_20150308\">\n"
        "<input id=\"q\" name=\"q\" class=\"search-combobox-input\" value=\"" +
        html +
        "\" autocomplete=\"off\" accesskey=\"s\">\n"
        "<button class=\"btn-search\" type=\"submit\">搜索</button>\n</form></div>\n";
    std::string links;
    if (!related.empty()) {
        links =
            "<div class=\"m-related\" id=\"J_Related\">\n<span class=\"related-title\">"
            "您是不是想找：</span>\n";
        for (std::size_t i = 0; i < related.size(); ++i) {
            links += "<a trace=\"relatedSearch\" href=\"/search?q=" + PercentEncode(related[i]) +
                     "&amp;suggest=0_" + std::to_string(i + 1) +
                     "&amp;rs_id=" + std::to_string(i + 1) +
                     "&amp;source=related&amp;initiative_id=staobaoz_20150308\">" +
                     HtmlTextForGbk(related[i]) + "</a>\n";
        }
        links += "</div>\n";
    }
    std::string top = runtime::Utf8ToGbk(head) + m_style + runtime::Utf8ToGbk(config) +
                      m_navigation + runtime::Utf8ToGbk(search) + runtime::Utf8ToGbk(links) +
                      runtime::Utf8ToGbk("<div class=\"m-itemlist\" id=\"J_ItemList\">\n");

    std::string page;
    page.reserve(static_cast<std::size_t>(target) + 4096);
    page += top;
    std::size_t next = static_cast<std::size_t>(random.Next() % m_items.size());
    while (page.size() + m_footer.size() < static_cast<std::size_t>(target)) {
        const Item& item = m_items[next];
        for (std::size_t p = 0; p < item.pieces.size(); ++p) {
            if (p > 0) {
                page += htmlGbk;
            }
            page += item.pieces[p];
        }
        next = (next + 1) % m_items.size();
    }
    page += "</div>\n";
    page += m_footer;
    return page;
}

}  // namespace mofeng::sim
