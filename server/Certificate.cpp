#include "server/Certificate.h"

#include <cstdio>
#include <fcntl.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
bool Exists(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

FILE *OpenPrivate(const std::string &path)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return nullptr;
    FILE *f = fdopen(fd, "wb");
    if (!f)
        close(fd);
    return f;
}
} // namespace

X509 *NewSelfSignedCertificate(EVP_PKEY *key, const char *commonName, const char *organisation,
                               long notBeforeSeconds, long notAfterSeconds, long serial)
{
    X509 *cert = key ? X509_new() : nullptr;
    if (!cert)
        return nullptr;
    ASN1_INTEGER_set(X509_get_serialNumber(cert), serial);
    X509_gmtime_adj(X509_getm_notBefore(cert), notBeforeSeconds);
    X509_gmtime_adj(X509_getm_notAfter(cert), notAfterSeconds);
    X509_set_version(cert, 2);
    X509_set_pubkey(cert, key);
    X509_NAME *name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char *>(commonName),
                               -1, -1, 0);
    if (organisation)
        X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char *>(organisation), -1, -1, 0);
    X509_set_issuer_name(cert, name);
    if (X509_sign(cert, key, EVP_sha256()) <= 0)
    {
        X509_free(cert);
        return nullptr;
    }
    return cert;
}

bool EnsureCertificate(const std::string &certificateFile, const std::string &keyFile, std::string &error)
{
    if (Exists(certificateFile) && Exists(keyFile))
        return true;
    EVP_PKEY *key = EVP_EC_gen("P-256");
    X509 *cert = NewSelfSignedCertificate(key, "DorvaneServer", "Dorvane", -3600, 10L * 365 * 24 * 3600,
                                          static_cast<long>(time(nullptr)));
    bool ok = key && cert;
    if (ok)
    {
        FILE *kf = OpenPrivate(keyFile);
        ok = kf && PEM_write_PrivateKey(kf, key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
        if (kf)
            ok = (fclose(kf) == 0) && ok;
    }
    if (ok)
    {
        FILE *cf = fopen(certificateFile.c_str(), "wb");
        ok = cf && PEM_write_X509(cf, cert) == 1;
        if (cf)
            ok = (fclose(cf) == 0) && ok;
    }
    if (!ok)
        error = "Cannot create the certificate " + certificateFile;
    X509_free(cert);
    EVP_PKEY_free(key);
    return ok;
}
