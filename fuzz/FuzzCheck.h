#pragma once

#include <cstddef>
#include <string_view>

// What the fuzz targets assert about a parser's result. A broken property
// aborts, so libFuzzer keeps the input exactly as it does for a crash.
namespace mofeng::fuzz {

[[noreturn]] void PropertyFailed(const char* property, const char* file, int line);

// Every byte >= 0x80 is the euro sign 0x80 or a lead 0x81..0xFE followed by a
// trail 0x40..0xFE other than 0x7F: no character is split or cut short.
bool IsWellFormedGbk(std::string_view text);

// How often sought occurs in text, overlaps counted.
std::size_t Occurrences(std::string_view text, std::string_view sought);

// ASCII letters compared without case.
bool ContainsIgnoringAsciiCase(std::string_view text, std::string_view sought);

}  // namespace mofeng::fuzz

#define FUZZ_CHECK(condition) \
    ((condition) ? (void)0 : ::mofeng::fuzz::PropertyFailed(#condition, __FILE__, __LINE__))
