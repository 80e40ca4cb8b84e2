#pragma once

#include <string>
#include <vector>

namespace mofeng::sim {

// Where MakeTestAuthority wrote its PEM files.
struct TestAuthorityFiles {
    std::string caCert;      // the authority's certificate: what a client trusts
    std::string serverCert;  // the server's certificate
    std::string serverKey;   // its private key
};

// What the server certificate says.
struct TestCertificateShape {
    // Subject alternative names: "IP:127.0.0.1", "DNS:localhost", ...
    std::vector<std::string> names = {"IP:127.0.0.1", "DNS:localhost"};
    int validFromDays = -1;  // relative to now; both negative: an expired certificate
    int validToDays = 30;
};

// A throw-away certificate authority and a server certificate it signed (EC
// P-256, SHA-256), written into folder (which must exist) as ca.pem,
// server.pem and server.key. For the demo simulator over HTTPS and the tests;
// never for anything that leaves the machine. False with the reason in error
// when the files cannot be made.
bool MakeTestAuthority(const std::string& folder, const TestCertificateShape& shape,
                       TestAuthorityFiles& files, std::string& error);

}  // namespace mofeng::sim
