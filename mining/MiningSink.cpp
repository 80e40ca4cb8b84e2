#include "mining/MiningSink.h"

#include "mining/MiningList.h"

namespace mofeng::mining {

bool TableMiningSink::ListHasKeyword(std::string_view keyword) {
    return m_list.FindRow(keyword, kKeywordColumn) != -1;
}

bool TableMiningSink::AppendRow(std::string number, std::string keyword) {
    return m_list.AppendRows({runtime::Row{std::move(number), std::move(keyword)}}) >= 0;
}

}  // namespace mofeng::mining
