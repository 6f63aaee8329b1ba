// The check of a signed self-update: the downloaded copy must carry an Ed25519 signature, made
// with the private half of the update-signing key, of exactly its bytes. The signature file is
// the 64 raw bytes of the signature.
#pragma once

#include <string>

inline constexpr std::size_t UpdateSignatureSize = 64;
// A copy larger than this is not read into memory to be checked (and is not taken).
inline constexpr long long MaxSignedFileSize = 1LL << 29;

// True when `signature` is a valid Ed25519 signature of the bytes of the file at `path` under the
// public key in `publicKeyPem` (a PEM "PUBLIC KEY" block). False, with `why` in words for the
// user, when it is not or the key, the signature or the file cannot be read.
bool VerifyFileSignature(const std::string &publicKeyPem, const std::string &path,
                         const std::string &signature, std::string &why);
