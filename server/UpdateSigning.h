// The server side of signed self-updates (--sign-updates KEY): the signature of a file of the
// file area, made with an Ed25519 private key, kept as NAME.sig beside the file (the 64 raw bytes
// of the signature of exactly the file's bytes).
#pragma once

#include <memory>
#include <string>

typedef struct evp_pkey_st EVP_PKEY;

class cUpdateSigner
{
public:
    cUpdateSigner();
    ~cUpdateSigner();
    cUpdateSigner(const cUpdateSigner &) = delete;
    cUpdateSigner &operator=(const cUpdateSigner &) = delete;

    // Reads an Ed25519 private key from a PEM file; false with `error` when it is not one.
    bool Load(const std::string &keyFile, std::string &error);
    // Makes sure `signaturePath` holds the signature of the file at `path` as it is now: when it
    // does not, the signature is written under a temporary name beside it and renamed over it.
    // False when the file cannot be read (or is larger than 512 MiB) or the signature not written.
    bool SignFile(const std::string &path, const std::string &signaturePath) const;

private:
    EVP_PKEY *Key = nullptr;
};
