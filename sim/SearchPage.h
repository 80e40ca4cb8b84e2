#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/KeywordData.h"

namespace mofeng::sim {

// Builds the search result page: GBK HTML of some hundred KB with the listing
// count in the embedded page configuration ("totalHits":"N",) and the related
// searches as one <a trace="relatedSearch" …>TEXT</a> link per line. The item
// listings around them are drawn from a pool generated once per seed, so a
// page costs little more than copying it. Thread-safe after construction.
class SearchPage final {
public:
    explicit SearchPage(const KeywordData& data);

    // keyword: UTF-8 as decoded from the request. Returns GBK bytes.
    std::string Build(std::string_view keyword) const;

private:
    struct Item {
        std::vector<std::string> pieces;  // GBK; the keyword goes between pieces
    };

    const KeywordData& m_data;
    std::string m_style;       // GBK
    std::string m_navigation;  // GBK
    std::string m_footer;      // GBK
    std::vector<Item> m_items;
};

}  // namespace mofeng::sim
