#include "mining/MiningList.h"

#include "mining/MiningTexts.h"

namespace mofeng::mining {

std::vector<std::pair<std::string, int>> MiningListColumns() {
    return {{std::string(columns::Caption(columns::Column::Number)), 55},
            {std::string(columns::Caption(columns::Column::Keyword)), 260},
            {SuggestWeightCaption(), 80}};
}

}  // namespace mofeng::mining
