// Certificates and keys made at run time for the TLS tests. One EC key signs every certificate;
// the PEM files live in a temporary folder that is removed when the program ends.
#pragma once

#include <string>

typedef struct ssl_ctx_st SSL_CTX;

struct cTestCertificate
{
    std::string CertFile;
    std::string KeyFile;
};

enum class eTestCertificate
{
    SelfSigned, // CN=localhost, valid now
    Expired,    // CN=localhost, expired a year ago
    OtherHost,  // CN=other.example.org, valid now
};

const cTestCertificate &TestCertificate(eTestCertificate which = eTestCertificate::SelfSigned);

// The key of every test certificate, encrypted with TestKeyPassword.
inline constexpr const char *TestKeyPassword = "sesame";
const std::string &EncryptedTestKeyFile();

// A new server context with `which` and its key (the caller frees it); throws on failure.
SSL_CTX *NewTestServerContext(eTestCertificate which = eTestCertificate::SelfSigned);

// The SHA-256 of the DER form of the certificate in a PEM file, as lower-case hex; "" when the
// file holds no certificate.
std::string CertificateSHA256Hex(const std::string &pemFile);
// A digest as some tools print it: upper case, bytes separated by ':' (a pin may be written so).
std::string UpperWithColons(const std::string &hex);
