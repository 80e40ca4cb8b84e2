#include "runtime/platform/Md5.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace mofeng::runtime::platform {

Md5Digest Md5(std::string_view bytes) {
    Md5Digest digest{};
    unsigned int length = 0;
    // Fails only when the provider lacks MD5 (a FIPS-only configuration).
    if (EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_md5(), nullptr) != 1 ||
        length != digest.size()) {
        throw std::runtime_error("MD5 is not available from libcrypto");
    }
    return digest;
}

}  // namespace mofeng::runtime::platform
