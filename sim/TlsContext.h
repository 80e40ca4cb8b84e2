#pragma once

#include <memory>
#include <string>

using SSL_CTX = struct ssl_ctx_st;

namespace mofeng::sim {

// The server side of TLS for the simulator: a certificate chain and its key,
// loaded once. Empty (no TLS) when the build has no TLS library.
class TlsContext final {
public:
    ~TlsContext();
    TlsContext(const TlsContext&) = delete;
    TlsContext& operator=(const TlsContext&) = delete;

    // certFile: PEM chain, server certificate first; keyFile: its PEM key.
    // nullptr with the reason in error when either cannot be used.
    static std::unique_ptr<TlsContext> Load(const std::string& certFile, const std::string& keyFile,
                                            std::string& error);
    // Whether this build can serve TLS at all.
    static bool Available();

    SSL_CTX* Get() const { return m_context; }

private:
    explicit TlsContext(SSL_CTX* context) : m_context(context) {}

    SSL_CTX* m_context;
};

}  // namespace mofeng::sim
