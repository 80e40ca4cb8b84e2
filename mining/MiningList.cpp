#include "mining/MiningList.h"

#include "runtime/CodePage.h"

namespace mofeng::mining {

std::vector<std::pair<std::string, int>> MiningListColumns() {
    return {{runtime::Utf8ToGbk("序号"), 55}, {runtime::Utf8ToGbk("关键词"), 340}};
}

}  // namespace mofeng::mining
