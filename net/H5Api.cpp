#include "net/H5Api.h"

#include "runtime/EscapedText.h"

namespace mofeng::net {
namespace {

// A JSON string literal of text (UTF-8 passed through, controls escaped).
std::string JsonString(std::string_view text) {
    return '"' + runtime::JsonStringContent(text) + '"';
}

}  // namespace

std::string H5SearchData(const H5Api& api, std::string_view keywordUtf8) {
    const std::string params = "{\"q\":" + JsonString(keywordUtf8) + ",\"page\":1,\"n\":48}";
    return "{\"appId\":" + JsonString(api.appId) + ",\"params\":" + JsonString(params) + "}";
}

std::string H5TokenFrom(std::string_view cookieHeader) {
    std::size_t from = 0;
    while (from < cookieHeader.size()) {
        std::size_t end = cookieHeader.find(';', from);
        if (end == cookieHeader.npos) {
            end = cookieHeader.size();
        }
        std::string_view pair = cookieHeader.substr(from, end - from);
        while (!pair.empty() && pair.front() == ' ') {
            pair.remove_prefix(1);
        }
        const std::size_t equals = pair.find('=');
        if (equals != pair.npos && pair.substr(0, equals) == kH5TokenCookie) {
            const std::string_view value = pair.substr(equals + 1);
            return std::string(value.substr(0, value.find('_')));
        }
        from = end + 1;
    }
    return {};
}

std::string H5Sign(std::string_view token, std::int64_t tMs, std::string_view appKey,
                   std::string_view data) {
    std::string text(token);
    text += '&';
    text += std::to_string(tMs);
    text += '&';
    text += appKey;
    text += '&';
    text += data;
    return Md5Hex(text);
}

std::string H5SearchUrl(std::string_view base, const H5Api& api, std::string_view data,
                        std::string_view token, std::int64_t tMs) {
    const std::string path = "/h5/" + api.api + "/" + std::string(kH5Version) + "/";
    return std::string(base) + path + "?jsv=2.7.2&appKey=" + PercentEncodeBytes(api.appKey) +
           "&t=" + std::to_string(tMs) + "&sign=" + H5Sign(token, tMs, api.appKey, data) +
           "&api=" + PercentEncodeBytes(api.api) + "&v=" + std::string(kH5Version) +
           "&type=jsonp&dataType=jsonp&callback=mtopjsonp1&data=" + PercentEncodeBytes(data);
}

}  // namespace mofeng::net
