// Page text decoding of any reply (Content-Type header and body): the
// declared charset is a lower-case token, the text stops at the first NUL,
// a UTF-8 page comes out as whole GBK characters and any other page as its
// bytes unchanged; the call that takes the page gives the same text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzCheck.h"
#include "net/PageText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace mofeng;
    FuzzedDataProvider input(data, size);
    net::FetchedPage page;
    page.contentType = input.ConsumeRandomLengthString(64);
    page.body = input.ConsumeRemainingBytesAsString();

    const std::string charset = net::DeclaredCharset(page);
    FUZZ_CHECK(charset.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-_.:") ==
               std::string::npos);

    const std::string text = net::PageTextAsGbk(page);
    FUZZ_CHECK(text.find('\0') == std::string::npos);
    if (charset == "utf-8" || charset == "utf8") {
        FUZZ_CHECK(fuzz::IsWellFormedGbk(text));
    } else {
        FUZZ_CHECK(text == page.body.substr(0, page.body.find('\0')));
    }
    // Taking the page gives the same text.
    FUZZ_CHECK(net::PageTextAsGbk(net::FetchedPage(page)) == text);
    return 0;
}
