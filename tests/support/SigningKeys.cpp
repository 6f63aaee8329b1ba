#include "tests/support/SigningKeys.h"

#include "tests/support/TempDir.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <memory>
#include <stdexcept>

namespace
{
using cKey = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;

class cKeys
{
public:
    cKeys()
    {
        for (int i = 0; i < 2; ++i)
        {
            Keys[i].reset(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"));
            if (!Keys[i] || Folder.Path.empty())
                throw std::runtime_error("Ed25519 key generation");
            Made[i].PrivateKeyFile = Folder.File("update-key-" + std::to_string(i) + ".pem");
            std::unique_ptr<BIO, decltype(&BIO_free)> file(BIO_new_file(Made[i].PrivateKeyFile.c_str(), "w"),
                                                           BIO_free);
            std::unique_ptr<BIO, decltype(&BIO_free)> memory(BIO_new(BIO_s_mem()), BIO_free);
            if (!file || !memory ||
                PEM_write_bio_PrivateKey(file.get(), Keys[i].get(), nullptr, nullptr, 0, nullptr, nullptr) !=
                    1 ||
                PEM_write_bio_PUBKEY(memory.get(), Keys[i].get()) != 1)
                throw std::runtime_error("Ed25519 key files");
            char *data = nullptr;
            const long length = BIO_get_mem_data(memory.get(), &data);
            Made[i].PublicKeyPem.assign(data, static_cast<std::size_t>(length));
        }
    }
    cTempDir Folder{"dorvane_update_keys_"};
    cKey Keys[2] = {cKey(nullptr, EVP_PKEY_free), cKey(nullptr, EVP_PKEY_free)};
    cSigningKey Made[2];
};

cKeys &Keys()
{
    static cKeys keys;
    return keys;
}
} // namespace

const cSigningKey &SigningKey(int which)
{
    return Keys().Made[which];
}

std::string SignWith(int which, const std::string &bytes)
{
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    unsigned char signature[64];
    std::size_t length = sizeof signature;
    if (!context ||
        EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, Keys().Keys[which].get()) != 1 ||
        EVP_DigestSign(context.get(), signature, &length,
                       reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size()) != 1)
        throw std::runtime_error("Ed25519 signing");
    return std::string(reinterpret_cast<const char *>(signature), length);
}
