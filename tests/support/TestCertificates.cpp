#include "tests/support/TestCertificates.h"

#include "server/Certificate.h"
#include "tests/support/TempDir.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>

namespace
{
void WritePem(const std::string &path, const std::function<int(FILE *)> &write)
{
    std::unique_ptr<FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "w"), std::fclose);
    if (!file || write(file.get()) != 1)
        throw std::runtime_error("cannot write " + path);
}

class cCertificates
{
public:
    cCertificates()
    {
        if (Folder.Path.empty())
            throw std::runtime_error("no folder for the certificates");
        std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_EC_gen("P-256"), EVP_PKEY_free);
        if (!key)
            throw std::runtime_error("key generation");
        const long day = 86400;
        Certificates[0] = Make("self-signed", key.get(), "localhost", -3600, 365 * day);
        Certificates[1] = Make("expired", key.get(), "localhost", -730 * day, -365 * day);
        Certificates[2] = Make("other-host", key.get(), "other.example.org", -3600, 365 * day);
        EncryptedKey = Folder.File("encrypted-key.pem");
        WritePem(EncryptedKey,
                 [&](FILE *f)
                 {
                     return PEM_write_PrivateKey(
                         f, key.get(), EVP_aes_128_cbc(),
                         reinterpret_cast<const unsigned char *>(TestKeyPassword),
                         static_cast<int>(std::char_traits<char>::length(TestKeyPassword)), nullptr, nullptr);
                 });
    }
    cTempDir Folder{"dorvane_certs_"};
    cTestCertificate Certificates[3];
    std::string EncryptedKey;

private:
    cTestCertificate Make(const std::string &name, EVP_PKEY *key, const char *commonName, long notBefore,
                          long notAfter)
    {
        static long serial = 1;
        std::unique_ptr<X509, decltype(&X509_free)> x(
            NewSelfSignedCertificate(key, commonName, nullptr, notBefore, notAfter, serial++), X509_free);
        if (!x)
            throw std::runtime_error("certificate signing");
        cTestCertificate made{Folder.File(name + "-cert.pem"), Folder.File(name + "-key.pem")};
        WritePem(made.CertFile, [&](FILE *f) { return PEM_write_X509(f, x.get()); });
        WritePem(made.KeyFile, [&](FILE *f)
                 { return PEM_write_PrivateKey(f, key, nullptr, nullptr, 0, nullptr, nullptr); });
        return made;
    }
};

cCertificates &Made()
{
    static cCertificates certificates;
    return certificates;
}
} // namespace

const cTestCertificate &TestCertificate(eTestCertificate which)
{
    return Made().Certificates[static_cast<int>(which)];
}

const std::string &EncryptedTestKeyFile()
{
    return Made().EncryptedKey;
}

SSL_CTX *NewTestServerContext(eTestCertificate which)
{
    const cTestCertificate &certificate = TestCertificate(which);
    SSL_CTX *context = SSL_CTX_new(TLS_server_method());
    if (context == nullptr ||
        SSL_CTX_use_certificate_file(context, certificate.CertFile.c_str(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_use_PrivateKey_file(context, certificate.KeyFile.c_str(), SSL_FILETYPE_PEM) != 1)
    {
        SSL_CTX_free(context);
        throw std::runtime_error("server context");
    }
    return context;
}

std::string CertificateSHA256Hex(const std::string &pemFile)
{
    std::string hex;
    FILE *file = std::fopen(pemFile.c_str(), "r");
    if (file == nullptr)
        return hex;
    X509 *certificate = PEM_read_X509(file, nullptr, nullptr, nullptr);
    std::fclose(file);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (certificate != nullptr && X509_digest(certificate, EVP_sha256(), digest, &length) == 1)
        for (unsigned int i = 0; i < length; ++i)
        {
            static const char digits[] = "0123456789abcdef";
            hex += digits[digest[i] >> 4];
            hex += digits[digest[i] & 15];
        }
    X509_free(certificate);
    return hex;
}

std::string UpperWithColons(const std::string &hex)
{
    std::string text;
    for (std::size_t i = 0; i < hex.size(); ++i)
    {
        if (i > 0 && i % 2 == 0)
            text += ':';
        text += static_cast<char>(std::toupper(static_cast<unsigned char>(hex[i])));
    }
    return text;
}
