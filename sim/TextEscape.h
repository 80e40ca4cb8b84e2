#pragma once

#include <string>
#include <string_view>

// Text helpers of the simulator's replies. Inputs and outputs are UTF-8
// unless a name says otherwise.
namespace mofeng::sim {

// Every invalid UTF-8 byte becomes U+FFFD and every ASCII control character
// (0x00-0x1F, 0x7F) a space, so that keyword texts can go into any reply.
std::string NormalizeKeyword(std::string_view bytes);

// Number of code points of valid UTF-8 text.
std::size_t CodePointCount(std::string_view utf8);

// HTML text for a GBK page: & < > " escaped, and characters that GBK cannot
// hold written as numeric references (&#20320;). Still UTF-8.
std::string HtmlTextForGbk(std::string_view utf8);

// Contents of a JSON string: " \ / and control characters escaped ("/" as
// "\/", the way the suggestion service writes closing tags).
std::string JsonStringContent(std::string_view utf8);

// Percent-decoding of a query component: %XX gives the byte, "+" a space; a
// malformed escape stays as it is.
std::string PercentDecode(std::string_view text);

// Every byte that is not an ASCII letter, digit or one of -._~ as %XX.
std::string PercentEncode(std::string_view bytes);

}  // namespace mofeng::sim
