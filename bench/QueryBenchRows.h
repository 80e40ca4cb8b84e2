#pragma once

#include <string>
#include <vector>

#include "runtime/CodePage.h"
#include "runtime/Table.h"

// What the query benchmarks run over: numbered GBK keyword rows.
namespace mofeng::bench {

// count rows "序号, keyword": ten product words with a running suffix.
inline std::vector<runtime::Row> KeywordRows(int count) {
    const char* const words[] = {"连衣裙", "衬衫",   "牛仔裤", "凉鞋", "双肩包",
                                 "口红",   "手机壳", "保温杯", "毛衣", "耳机"};
    std::vector<runtime::Row> rows;
    for (int i = 0; i < count; ++i) {
        const std::string keyword = std::string(words[i % 10]) + " " + std::to_string(i / 10);
        rows.push_back({std::to_string(i + 1), runtime::Utf8ToGbk(keyword)});
    }
    return rows;
}

}  // namespace mofeng::bench
