#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// MD5 from the system's own crypto: OpenSSL's libcrypto on POSIX systems,
// BCrypt on Windows (no extra library to ship there).
namespace mofeng::runtime::platform {

using Md5Digest = std::array<std::uint8_t, 16>;

// The 16-byte MD5 digest of bytes. MD5 is only used to sign requests the way
// the server expects, never for security.
Md5Digest Md5(std::string_view bytes);

}  // namespace mofeng::runtime::platform
