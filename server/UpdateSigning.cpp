#include "server/UpdateSigning.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr long long MaxSignedFileSize = 1LL << 29;

// An encrypted key is refused instead of asking for its password on the terminal.
int NoPassword(char *, int, int, void *)
{
    return 0;
}

bool ReadAll(const std::string &path, std::string &bytes, long long limit)
{
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > limit)
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}
} // namespace

cUpdateSigner::cUpdateSigner() = default;

cUpdateSigner::~cUpdateSigner()
{
    EVP_PKEY_free(Key);
}

bool cUpdateSigner::Load(const std::string &keyFile, std::string &error)
{
    EVP_PKEY_free(Key);
    Key = nullptr;
    if (FILE *file = std::fopen(keyFile.c_str(), "rb"))
    {
        Key = PEM_read_PrivateKey(file, nullptr, NoPassword, nullptr);
        std::fclose(file);
    }
    ERR_clear_error();
    if (Key != nullptr && EVP_PKEY_get_id(Key) == EVP_PKEY_ED25519)
        return true;
    EVP_PKEY_free(Key);
    Key = nullptr;
    error = "Cannot read an Ed25519 private key (PEM) from " + keyFile;
    return false;
}

bool cUpdateSigner::SignFile(const std::string &path, const std::string &signaturePath) const
{
    std::string bytes;
    if (Key == nullptr || !ReadAll(path, bytes, MaxSignedFileSize))
        return false;
    unsigned char signature[64];
    std::size_t length = sizeof signature;
    EVP_MD_CTX *context = EVP_MD_CTX_new();
    const bool signedOk =
        context != nullptr && EVP_DigestSignInit(context, nullptr, nullptr, nullptr, Key) == 1 &&
        EVP_DigestSign(context, signature, &length, reinterpret_cast<const unsigned char *>(bytes.data()),
                       bytes.size()) == 1 &&
        length == sizeof signature;
    EVP_MD_CTX_free(context);
    ERR_clear_error();
    if (!signedOk)
        return false;
    const std::string wanted(reinterpret_cast<const char *>(signature), length);
    std::string present;
    if (ReadAll(signaturePath, present, 256) && present == wanted)
        return true;
    // Several links may ask at once: each writes a file of its own, and the rename is atomic.
    std::string temporary = signaturePath + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    const bool written = ::write(fd, wanted.data(), wanted.size()) == static_cast<ssize_t>(wanted.size()) &&
                         ::fchmod(fd, 0644) == 0;
    ::close(fd);
    if (!written || std::rename(temporary.c_str(), signaturePath.c_str()) != 0)
    {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}
