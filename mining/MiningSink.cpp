#include "mining/MiningSink.h"

#include "mining/MiningList.h"

namespace mofeng::mining {

bool TableMiningSink::ListHasKeyword(std::string_view keyword) {
    return m_list.FindRow(keyword, kKeywordColumn) != -1;
}

bool TableMiningSink::AppendRow(std::string number, std::string keyword) {
    return m_list.AppendRows({runtime::Row{std::move(number), std::move(keyword)}}) >= 0;
}

void TableMiningSink::SawWeight(std::string_view keyword, std::string weight) {
    if (m_keepWeights && ListHasKeyword(keyword)) {
        m_weights.insert_or_assign(std::string(keyword), std::move(weight));
    }
}

std::string TableMiningSink::WeightOf(std::string_view keyword) const {
    const auto it = m_weights.find(keyword);
    return it == m_weights.end() ? std::string() : it->second;
}

}  // namespace mofeng::mining
