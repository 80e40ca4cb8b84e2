#include "runtime/platform/CodePageConversion.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace mofeng::runtime::platform {
namespace {

constexpr UINT kGbk = 936;

// Bytes of the GBK character at the start of s: 1 for ASCII and 0x80, 2 for
// a lead byte 0x81..0xFE with a byte after it; 0 when it cannot start one.
std::size_t GbkCharacterLength(std::string_view s) {
    const auto lead = static_cast<unsigned char>(s[0]);
    if (lead <= 0x80) {
        return 1;
    }
    return lead <= 0xFE && s.size() >= 2 ? 2 : 0;
}

// Bytes of the UTF-8 sequence that the lead byte announces; 0 for a byte
// that cannot lead one. Whether the sequence is well formed is left to
// MultiByteToWideChar with MB_ERR_INVALID_CHARS.
std::size_t Utf8SequenceLength(std::string_view s) {
    const auto lead = static_cast<unsigned char>(s[0]);
    const std::size_t length = lead < 0x80    ? 1
                               : lead >= 0xF0 ? 4
                               : lead >= 0xE0 ? 3
                               : lead >= 0xC2 ? 2
                                              : 0;
    return length <= s.size() ? length : 0;
}

// One character to UTF-16; 0 code units when it is not valid in codePage.
int ToWide(UINT codePage, std::string_view character, wchar_t (&wide)[2]) {
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, character.data(),
                               static_cast<int>(character.size()), wide, 2);
}

}  // namespace

// Character by character, so that it stops exactly where iconv stops: the
// Windows calls only say that a whole buffer failed, not where.
std::size_t ConvertLeadingPart(Conversion conversion, std::string_view in, std::string& out) {
    const bool fromGbk = conversion == Conversion::GbkToUtf8;
    std::size_t done = 0;
    while (done < in.size()) {
        const std::string_view rest = in.substr(done);
        const std::size_t length = fromGbk ? GbkCharacterLength(rest) : Utf8SequenceLength(rest);
        wchar_t wide[2];
        const int units =
            length == 0 ? 0 : ToWide(fromGbk ? kGbk : CP_UTF8, rest.substr(0, length), wide);
        if (units == 0) {
            break;
        }
        char bytes[8];
        BOOL usedDefault = FALSE;
        const int written = fromGbk
                                ? WideCharToMultiByte(CP_UTF8, 0, wide, units, bytes, sizeof bytes,
                                                      nullptr, nullptr)
                                : WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide, units,
                                                      bytes, sizeof bytes, nullptr, &usedDefault);
        if (written <= 0 || usedDefault) {
            break;  // no GBK counterpart
        }
        out.append(bytes, static_cast<std::size_t>(written));
        done += length;
    }
    return done;
}

}  // namespace mofeng::runtime::platform
