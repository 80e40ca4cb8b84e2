#pragma once

#include <string>
#include <string_view>

namespace mofeng::app {

// Bytes of a keyword file -> GBK bytes. The file is GBK unless something says
// otherwise:
// - a byte order mark (UTF-8, UTF-16 LE or BE) decides, and is dropped;
// - UTF-16 without a mark (LooksLikeUtf16) is converted;
// - well-formed UTF-8 with multi-byte sequences is converted only when the
//   bytes are not valid GBK, or when its reading holds fewer uncommon
//   characters than the GBK reading (CommonnessOfGbk): a GBK file of common
//   words always stays byte for byte, and a tie stays GBK.
// Characters GBK cannot hold become runtime::kNoGbkFormMark. Anything else is returned as it is.
std::string KeywordFileToGbk(std::string bytes);

// True when the head of a file is UTF-16: a byte order mark, or (without one)
// a NUL in exactly one of the first two bytes and NUL high bytes in at least
// half the code units of that byte order.
bool LooksLikeUtf16(std::string_view head);

struct GbkCommonness {
    bool valid = true;         // every byte sequence is a GBK character
    std::size_t uncommon = 0;  // double-byte characters outside GB2312's symbols and level-1 hanzi
};
GbkCommonness CommonnessOfGbk(std::string_view bytes);

}  // namespace mofeng::app
