#include <mutex>

#include "net/HttpFetch.h"

namespace mofeng::net {
namespace {

constexpr std::size_t kMaxChunk = 102400;
constexpr std::size_t kChunkWithoutLength = 10240;

std::mutex g_limitsMutex;
TransportLimits g_limits;

}  // namespace

std::size_t ReadChunkSize(std::optional<long long> contentLength) {
    if (!contentLength || *contentLength <= 0) {
        return kChunkWithoutLength;
    }
    // Compared before adding one, so a huge announced length cannot overflow.
    if (*contentLength >= static_cast<long long>(kMaxChunk)) {
        return kMaxChunk;
    }
    return static_cast<std::size_t>(*contentLength) + 1;
}

void SetTransportLimits(const TransportLimits& limits) {
    std::lock_guard lock(g_limitsMutex);
    g_limits = limits;
}

TransportLimits CurrentTransportLimits() {
    std::lock_guard lock(g_limitsMutex);
    return g_limits;
}

}  // namespace mofeng::net
