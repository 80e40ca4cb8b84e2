#include "runtime/platform/Md5.h"

#include <windows.h>

#include <bcrypt.h>

#include <limits>
#include <stdexcept>

namespace mofeng::runtime::platform {

Md5Digest Md5(std::string_view bytes) {
    Md5Digest digest{};
    // BCryptHash takes at most ULONG bytes at once; the signed texts are small.
    if (bytes.size() > std::numeric_limits<ULONG>::max()) {
        throw std::length_error("MD5 input too long");
    }
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!BCRYPT_SUCCESS(
            BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0))) {
        throw std::runtime_error("MD5 is not available from BCrypt");
    }
    BCRYPT_HASH_HANDLE hash = nullptr;
    NTSTATUS status = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0);
    if (BCRYPT_SUCCESS(status)) {
        auto* input = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
        status = BCryptHashData(hash, input, static_cast<ULONG>(bytes.size()), 0);
        if (BCRYPT_SUCCESS(status)) {
            status = BCryptFinishHash(hash, digest.data(), static_cast<ULONG>(digest.size()), 0);
        }
        BCryptDestroyHash(hash);
    }
    BCryptCloseAlgorithmProvider(algorithm, 0);
    if (!BCRYPT_SUCCESS(status)) {
        throw std::runtime_error("MD5 through BCrypt failed");
    }
    return digest;
}

}  // namespace mofeng::runtime::platform
