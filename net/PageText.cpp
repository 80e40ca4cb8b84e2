#include "net/PageText.h"

#include <algorithm>
#include <cstddef>

#include "net/HttpFetch.h"
#include "runtime/CodePage.h"
#include "runtime/TextOps.h"

namespace mofeng::net {
namespace {

constexpr std::size_t kMetaScanBytes = 4096;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// The value of the first "charset=VALUE" in text (already lower-case), or
// empty. Quotes around the value are allowed.
std::string CharsetParameter(std::string_view lowered) {
    std::size_t at = 0;
    while ((at = lowered.find("charset", at)) != std::string_view::npos) {
        std::size_t p = at + 7;
        at = p;
        while (p < lowered.size() && IsSpace(lowered[p])) {
            ++p;
        }
        if (p >= lowered.size() || lowered[p] != '=') {
            continue;
        }
        ++p;
        while (p < lowered.size() && IsSpace(lowered[p])) {
            ++p;
        }
        if (p < lowered.size() && (lowered[p] == '"' || lowered[p] == '\'')) {
            ++p;
        }
        std::size_t end = p;
        while (end < lowered.size()) {
            const char c = lowered[end];
            const bool token = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                               c == '_' || c == '.' || c == ':';
            if (!token) {
                break;
            }
            ++end;
        }
        if (end > p) {
            return std::string(lowered.substr(p, end - p));
        }
    }
    return {};
}

std::string MetaCharset(std::string_view body) {
    const std::string head =
        runtime::AsciiLower(body.substr(0, std::min(body.size(), kMetaScanBytes)));
    std::size_t at = 0;
    while ((at = head.find("<meta", at)) != std::string::npos) {
        const std::size_t close = head.find('>', at);
        const std::size_t end = close == std::string::npos ? head.size() : close;
        std::string charset = CharsetParameter(std::string_view(head).substr(at, end - at));
        if (!charset.empty()) {
            return charset;
        }
        at = end;
    }
    return {};
}

}  // namespace

FetchedPage HttpFetchPage(std::string_view url, const runtime::CancelToken* cancel) {
    FetchedPage page;
    page.body = HttpFetch(url, cancel, &page.contentType);
    return page;
}

std::string DeclaredCharset(const FetchedPage& page) {
    std::string charset = CharsetParameter(runtime::AsciiLower(page.contentType));
    if (charset.empty()) {
        charset = MetaCharset(page.body);
    }
    return charset;
}

namespace {

bool DeclaresUtf8(const FetchedPage& page) {
    const std::string charset = DeclaredCharset(page);
    return charset == "utf-8" || charset == "utf8";
}

}  // namespace

std::string PageTextAsGbk(const FetchedPage& page) {
    const std::string_view text = runtime::TextViewFromBytes(page.body);
    return DeclaresUtf8(page) ? runtime::Utf8ToGbk(text) : std::string(text);
}

std::string PageTextAsGbk(FetchedPage&& page) {
    const bool utf8 = DeclaresUtf8(page);  // a meta tag may follow a NUL
    page.body.resize(runtime::TextViewFromBytes(page.body).size());
    if (!utf8) {
        return std::move(page.body);
    }
    std::string text = runtime::Utf8ToGbk(page.body);
    runtime::ReleaseText(page.body);
    return text;
}

}  // namespace mofeng::net
