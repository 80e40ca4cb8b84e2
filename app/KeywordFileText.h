#pragma once

#include <string>

namespace mofeng::app {

// Bytes of a keyword file -> GBK bytes. A UTF-8 file (with a byte order mark,
// or well-formed UTF-8 holding at least one multi-byte sequence) and a UTF-16
// file with a little- or big-endian byte order mark are converted to GBK, the
// mark dropped; characters GBK cannot hold become "?". Any other file (GBK,
// plain ASCII, anything unrecognised) is returned byte for byte.
std::string KeywordFileToGbk(std::string bytes);

}  // namespace mofeng::app
