// Self-signed TLS certificates: the data server's identity, made on first start, and the ones the
// tests and benchmarks make at run time all come from NewSelfSignedCertificate.
#pragma once

#include <openssl/types.h>

#include <string>

// A version-3 certificate for `key`, its subject (CN, and O when given) also its issuer, valid
// from `notBeforeSeconds` to `notAfterSeconds` relative to now, signed with SHA-256. The caller
// frees it; null on failure.
X509 *NewSelfSignedCertificate(EVP_PKEY *key, const char *commonName, const char *organisation,
                               long notBeforeSeconds, long notAfterSeconds, long serial);

// Creates an EC P-256 key and a self-signed certificate (ten years) as PEM files unless both
// files exist already. The key file is readable by its owner only. False with `error`.
bool EnsureCertificate(const std::string &certificateFile, const std::string &keyFile, std::string &error);
