// Ed25519 key pairs made at run time for the signed-update tests: the private key as a PEM file
// (what DorvaneServer --sign-updates reads), the public key as PEM text (what a client build
// carries), and signatures made with them. Two different pairs; the files live in a temporary
// folder that is removed when the program ends.
#pragma once

#include <string>

struct cSigningKey
{
    std::string PrivateKeyFile;
    std::string PublicKeyPem;
};

// which: 0 or 1.
const cSigningKey &SigningKey(int which);
// The 64-byte Ed25519 signature of `bytes` with key `which`.
std::string SignWith(int which, const std::string &bytes);
