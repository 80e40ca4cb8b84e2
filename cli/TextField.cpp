#include "cli/TextField.h"

#include "runtime/CodePage.h"

namespace mofeng::cli {

std::string TextField(const std::string& gbk) {
    std::string utf8 = runtime::GbkToUtf8(gbk);
    for (char& c : utf8) {
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    }
    return utf8;
}

}  // namespace mofeng::cli
