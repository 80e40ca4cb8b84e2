#include "mining/MiningCommands.h"

#include <string>
#include <vector>

#include "mining/MiningList.h"
#include "runtime/TextOps.h"

namespace mofeng::mining {
namespace {

constexpr int kMainKeywordColumn = columns::Index(columns::Column::Keyword);
constexpr int kMustContainMaxBytes = 2;

}  // namespace

bool IsMustContainTooLong(std::string_view text) {
    return runtime::TextLength(text) > kMustContainMaxBytes;
}

int SendKeywords(runtime::Table& miningList, runtime::Table& mainList) {
    std::vector<std::string> keywords = miningList.ColumnTexts(kKeywordColumn);
    if (keywords.empty()) {
        return 0;
    }
    std::vector<runtime::Row> rows;
    rows.reserve(keywords.size());
    for (std::string& keyword : keywords) {
        runtime::Row row(kMainKeywordColumn + 1);
        row[kMainKeywordColumn] = std::move(keyword);
        rows.push_back(std::move(row));
    }
    const int count = static_cast<int>(rows.size());
    return mainList.AppendRows(std::move(rows)) < 0 ? 0 : count;
}

}  // namespace mofeng::mining
