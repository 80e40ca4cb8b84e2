#pragma once

#include <string>
#include <string_view>

// Texts escaped for the wire: JSON string contents and URL components.
// Both work on bytes, so GBK and UTF-8 texts go through alike.
namespace mofeng::runtime {

// How a JSON string writes "/": as it is, or as "\/" (the way the suggestion
// service writes closing tags).
enum class JsonSlash { Plain, Escaped };

// The contents of a JSON string literal of bytes (without the quotes): '"'
// and '\' escaped, every byte below 0x20 as \u00xx (lower-case hex), "/" as
// `slash` says; every other byte, 0x7F and bytes from 0x80 up included, as
// it is.
std::string JsonStringContent(std::string_view bytes, JsonSlash slash = JsonSlash::Plain);

// Every byte but the unreserved ones (A-Z a-z 0-9 - . _ ~) as %XX
// (upper-case hex).
std::string PercentEncodeBytes(std::string_view bytes);

}  // namespace mofeng::runtime
