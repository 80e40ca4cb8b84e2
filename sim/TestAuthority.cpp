#include "sim/TestAuthority.h"

#if MOFENG_SIM_TLS
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>
#endif

namespace mofeng::sim {

#if MOFENG_SIM_TLS
namespace {

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertFree {
    void operator()(X509* cert) const { X509_free(cert); }
};
struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyFree>;
using Cert = std::unique_ptr<X509, CertFree>;

bool AddExtension(X509* cert, X509* issuer, int nid, const std::string& value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
    if (extension == nullptr) {
        return false;
    }
    const bool added = X509_add_ext(cert, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    return added;
}

// A certificate for key named commonName, signed by signer (itself when
// issuer is null).
Cert MakeCertificate(EVP_PKEY* key, const char* commonName, long serial, X509* issuer,
                     EVP_PKEY* signer, int fromDays, int toDays) {
    Cert cert(X509_new());
    if (!cert) {
        return nullptr;
    }
    X509_NAME* name = X509_get_subject_name(cert.get());
    const bool ok =
        X509_set_version(cert.get(), 2) == 1 &&
        ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial) == 1 &&
        X509_gmtime_adj(X509_getm_notBefore(cert.get()), 86400L * fromDays) != nullptr &&
        X509_gmtime_adj(X509_getm_notAfter(cert.get()), 86400L * toDays) != nullptr &&
        X509_set_pubkey(cert.get(), key) == 1 &&
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char*>(commonName), -1, -1,
                                   0) == 1 &&
        X509_set_issuer_name(cert.get(),
                             issuer != nullptr ? X509_get_subject_name(issuer) : name) == 1;
    return ok ? std::move(cert) : nullptr;
}

bool Sign(X509* cert, EVP_PKEY* signer) {
    return X509_sign(cert, signer, EVP_sha256()) > 0;
}

bool WriteCert(const std::string& path, X509* cert) {
    std::unique_ptr<BIO, BioFree> file(BIO_new_file(path.c_str(), "w"));
    return file && PEM_write_bio_X509(file.get(), cert) == 1;
}

bool WriteKey(const std::string& path, EVP_PKEY* key) {
    std::unique_ptr<BIO, BioFree> file(BIO_new_file(path.c_str(), "w"));
    return file &&
           PEM_write_bio_PrivateKey(file.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
}

}  // namespace

bool MakeTestAuthority(const std::string& folder, const TestCertificateShape& shape,
                       TestAuthorityFiles& files, std::string& error) {
    const Key caKey(EVP_EC_gen("P-256"));
    const Key serverKey(EVP_EC_gen("P-256"));
    if (!caKey || !serverKey) {
        error = "cannot make a key";
        return false;
    }
    const Cert ca =
        MakeCertificate(caKey.get(), "mofeng test authority", 1, nullptr, caKey.get(), -1, 30);
    const bool caReady =
        ca && AddExtension(ca.get(), ca.get(), NID_basic_constraints, "critical,CA:TRUE") &&
        AddExtension(ca.get(), ca.get(), NID_key_usage, "critical,keyCertSign,cRLSign") &&
        AddExtension(ca.get(), ca.get(), NID_subject_key_identifier, "hash") &&
        Sign(ca.get(), caKey.get());
    std::string names;
    for (const std::string& entry : shape.names) {
        names += (names.empty() ? "" : ",") + entry;
    }
    const Cert server = caReady
                            ? MakeCertificate(serverKey.get(), "127.0.0.1", 2, ca.get(),
                                              caKey.get(), shape.validFromDays, shape.validToDays)
                            : nullptr;
    const bool serverReady =
        server &&
        AddExtension(server.get(), ca.get(), NID_basic_constraints, "critical,CA:FALSE") &&
        AddExtension(server.get(), ca.get(), NID_ext_key_usage, "serverAuth") &&
        AddExtension(server.get(), ca.get(), NID_authority_key_identifier, "keyid") &&
        (names.empty() || AddExtension(server.get(), ca.get(), NID_subject_alt_name, names)) &&
        Sign(server.get(), caKey.get());
    if (!serverReady) {
        error = "cannot make the certificates";
        return false;
    }
    files.caCert = folder + "/ca.pem";
    files.serverCert = folder + "/server.pem";
    files.serverKey = folder + "/server.key";
    if (!WriteCert(files.caCert, ca.get()) || !WriteCert(files.serverCert, server.get()) ||
        !WriteKey(files.serverKey, serverKey.get())) {
        error = "cannot write the certificate files into '" + folder + "'";
        return false;
    }
    return true;
}

#else

bool MakeTestAuthority(const std::string&, const TestCertificateShape&, TestAuthorityFiles&,
                       std::string& error) {
    error = "this build has no TLS library";
    return false;
}

#endif

}  // namespace mofeng::sim
