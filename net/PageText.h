#pragma once

#include <string>
#include <string_view>

#include "runtime/CancelToken.h"

namespace mofeng::net {

// A fetched reply: the body bytes and the Content-Type header as sent (empty
// when absent or when the fetch failed).
struct FetchedPage {
    std::string body;
    std::string contentType;
};

// HttpFetch that also keeps the Content-Type header; same request, same
// failure rules (every failure gives an empty body). Any thread.
FetchedPage HttpFetchPage(std::string_view url, const runtime::CancelToken* cancel = nullptr);

// The charset a reply declares: the Content-Type header's "charset=", else a
// <meta ... charset=...> within the first 4096 bytes of the body. Lower-case
// ASCII; empty when neither declares one.
std::string DeclaredCharset(const FetchedPage& page);

// The page as GBK text. A reply declaring UTF-8 ("utf-8" or "utf8") is
// converted from the body up to its first NUL; any other reply gives the body
// bytes up to the first NUL unchanged (pages are GBK unless they say so).
std::string PageTextAsGbk(const FetchedPage& page);
// The same, taking the page: a GBK body becomes the text in place, and a
// UTF-8 body is freed once converted, so a large page is never held twice
// over.
std::string PageTextAsGbk(FetchedPage&& page);

}  // namespace mofeng::net
