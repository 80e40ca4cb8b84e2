#include "net/FetchRoot.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>

namespace mofeng::net {
namespace {

struct SharedRoot final : FetchRoot {
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;
};

void LockShared(CURL*, curl_lock_data data, curl_lock_access, void* user) {
    static_cast<SharedRoot*>(user)->locks.at(data).lock();
}

void UnlockShared(CURL*, curl_lock_data data, void* user) {
    static_cast<SharedRoot*>(user)->locks.at(data).unlock();
}

// nullptr on any failure; everything half-made is released.
SharedRoot* CreateRoot() {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        return nullptr;
    }
    auto root = std::make_unique<SharedRoot>();
    root->share = curl_share_init();
    if (root->share == nullptr) {
        return nullptr;
    }
    // Exactly one Accept header, replacing curl's own.
    root->headers = curl_slist_append(nullptr, "Accept: */*");
    root->keepAliveHeaders = curl_slist_append(nullptr, "Accept: */*");
    if (root->keepAliveHeaders != nullptr) {
        curl_slist* const both =
            curl_slist_append(root->keepAliveHeaders, "Connection: Keep-Alive");
        if (both == nullptr) {
            curl_slist_free_all(root->keepAliveHeaders);
        }
        root->keepAliveHeaders = both;
    }
    const bool configured =
        root->headers != nullptr && root->keepAliveHeaders != nullptr &&
        curl_share_setopt(root->share, CURLSHOPT_LOCKFUNC, LockShared) == CURLSHE_OK &&
        curl_share_setopt(root->share, CURLSHOPT_UNLOCKFUNC, UnlockShared) == CURLSHE_OK &&
        curl_share_setopt(root->share, CURLSHOPT_USERDATA, root.get()) == CURLSHE_OK &&
        curl_share_setopt(root->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS) == CURLSHE_OK &&
        curl_share_setopt(root->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION) == CURLSHE_OK;
    if (!configured) {
        curl_share_cleanup(root->share);
        curl_slist_free_all(root->headers);
        curl_slist_free_all(root->keepAliveHeaders);
        return nullptr;
    }
    return root.release();
}

std::atomic<const FetchRoot*> g_root{nullptr};
std::atomic<std::size_t> g_creations{0};
std::mutex g_creationMutex;

}  // namespace

const FetchRoot* AcquireFetchRoot() {
    if (const FetchRoot* root = g_root.load(std::memory_order_acquire)) {
        return root;
    }
    std::lock_guard lock(g_creationMutex);
    const FetchRoot* root = g_root.load(std::memory_order_relaxed);
    if (root == nullptr) {
        root = CreateRoot();
        if (root != nullptr) {
            g_creations.fetch_add(1, std::memory_order_relaxed);
            g_root.store(root, std::memory_order_release);
        }
    }
    return root;
}

std::size_t FetchRootCreationCount() {
    return g_creations.load(std::memory_order_relaxed);
}

}  // namespace mofeng::net
