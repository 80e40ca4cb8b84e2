#include "sim/TlsContext.h"

#if MOFENG_SIM_TLS
#include <openssl/err.h>
#include <openssl/ssl.h>
#endif

namespace mofeng::sim {

#if MOFENG_SIM_TLS

TlsContext::~TlsContext() {
    SSL_CTX_free(m_context);
}

bool TlsContext::Available() {
    return true;
}

std::unique_ptr<TlsContext> TlsContext::Load(const std::string& certFile,
                                             const std::string& keyFile, std::string& error) {
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    if (context == nullptr) {
        error = "cannot create a TLS context";
        return nullptr;
    }
    std::unique_ptr<TlsContext> loaded(new TlsContext(context));
    SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
    // Clients resume sessions by ticket; a reused connection needs neither.
    SSL_CTX_set_session_cache_mode(context, SSL_SESS_CACHE_SERVER);
    if (SSL_CTX_use_certificate_chain_file(context, certFile.c_str()) != 1) {
        error = "cannot use the certificate file '" + certFile + "'";
        ERR_clear_error();
        return nullptr;
    }
    if (SSL_CTX_use_PrivateKey_file(context, keyFile.c_str(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_check_private_key(context) != 1) {
        error = "cannot use the key file '" + keyFile + "' with that certificate";
        ERR_clear_error();
        return nullptr;
    }
    return loaded;
}

#else

TlsContext::~TlsContext() = default;

bool TlsContext::Available() {
    return false;
}

std::unique_ptr<TlsContext> TlsContext::Load(const std::string&, const std::string&,
                                             std::string& error) {
    error = "this build of the simulator cannot serve TLS";
    return nullptr;
}

#endif

}  // namespace mofeng::sim
