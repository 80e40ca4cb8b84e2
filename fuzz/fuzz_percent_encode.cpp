// Percent-encoding of a GBK keyword: every byte of its UTF-8 form as "%XX"
// in upper-case hex, and decoding gives that UTF-8 form back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "net/PercentEncode.h"
#include "runtime/CodePage.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;  // lower-case hex is not what is written
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace mofeng;
    const std::string_view gbk(reinterpret_cast<const char*>(data), size);
    const std::string encoded = net::PercentEncodeUtf8(gbk);

    FUZZ_CHECK(encoded.size() % 3 == 0);
    std::string decoded;
    for (std::size_t at = 0; at < encoded.size(); at += 3) {
        FUZZ_CHECK(encoded[at] == '%');
        const int high = HexValue(encoded[at + 1]);
        const int low = HexValue(encoded[at + 2]);
        FUZZ_CHECK(high >= 0 && low >= 0);
        decoded += static_cast<char>(high * 16 + low);
    }
    FUZZ_CHECK(decoded == runtime::GbkToUtf8(gbk));
    return 0;
}
