#include "dataclient/UpdateSignature.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
struct cKeyFree
{
    void operator()(EVP_PKEY *key) const { EVP_PKEY_free(key); }
};
struct cContextFree
{
    void operator()(EVP_MD_CTX *context) const { EVP_MD_CTX_free(context); }
};

// No PEM read here ever asks for a password on the terminal.
int NoPassword(char *, int, int, void *)
{
    return 0;
}

// The Ed25519 public key of a PEM text, or null.
std::unique_ptr<EVP_PKEY, cKeyFree> ReadPublicKey(const std::string &pem)
{
    std::unique_ptr<EVP_PKEY, cKeyFree> key;
    if (pem.empty() || pem.size() > 1 << 16)
        return key;
    BIO *bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
    if (bio == nullptr)
        return key;
    key.reset(PEM_read_bio_PUBKEY(bio, nullptr, NoPassword, nullptr));
    BIO_free(bio);
    if (key && EVP_PKEY_get_id(key.get()) != EVP_PKEY_ED25519)
        key.reset();
    return key;
}

// The whole file, when it is a regular file of at most MaxSignedFileSize bytes.
bool ReadFileBytes(const std::string &path, std::string &bytes, std::string &why)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st
    {
    };
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    {
        if (fd >= 0)
            ::close(fd);
        why = "the downloaded copy cannot be read";
        return false;
    }
    if (st.st_size > MaxSignedFileSize)
    {
        ::close(fd);
        why = "the downloaded copy is too large to be checked";
        return false;
    }
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size())
    {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (done != bytes.size())
    {
        why = "the downloaded copy cannot be read";
        return false;
    }
    return true;
}
} // namespace

bool VerifyFileSignature(const std::string &publicKeyPem, const std::string &path,
                         const std::string &signature, std::string &why)
{
    const auto key = ReadPublicKey(publicKeyPem);
    if (!key)
    {
        ERR_clear_error();
        why = "this program's update-signing key cannot be read";
        return false;
    }
    if (signature.size() != UpdateSignatureSize)
    {
        why = "its signature file does not hold a signature";
        return false;
    }
    std::string bytes;
    if (!ReadFileBytes(path, bytes, why))
        return false;
    std::unique_ptr<EVP_MD_CTX, cContextFree> context(EVP_MD_CTX_new());
    const bool valid =
        context && EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) == 1 &&
        EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char *>(signature.data()),
                         signature.size(), reinterpret_cast<const unsigned char *>(bytes.data()),
                         bytes.size()) == 1;
    ERR_clear_error();
    if (!valid)
        why = "its signature does not match the downloaded copy";
    return valid;
}
