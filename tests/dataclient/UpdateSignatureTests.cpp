// The signature check of a downloaded update: only an Ed25519 signature of exactly the file's
// bytes under the built-in key passes.
#include "dataclient/UpdateSignature.h"
#include "tests/support/SigningKeys.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestCertificates.h"

#include <gtest/gtest.h>
#include <tuple>

TEST(UpdateSignature, OnlyASignatureOfTheExactBytesUnderTheKeyPasses)
{
    cTempDir folder;
    const std::string copy(70000, 'c');
    const std::string path = folder.Write("copy", copy);
    const std::string good = SignWith(0, copy);
    std::string flipped = good;
    flipped[10] = static_cast<char>(flipped[10] ^ 1);
    const std::string key = SigningKey(0).PublicKeyPem;
    // What, key, file bytes, signature, and the reason given ("" when it passes).
    const std::tuple<const char *, std::string, std::string, std::string, const char *> cases[] = {
        {"signed with the key", key, copy, good, ""},
        {"signed with another key", key, copy, SignWith(1, copy), "does not match"},
        {"a signature with one bit changed", key, copy, flipped, "does not match"},
        {"the copy cut short", key, copy.substr(0, 65536), good, "does not match"},
        {"the copy with a byte more", key, copy + "x", good, "does not match"},
        {"a signature one byte short", key, copy, good.substr(1), "does not hold a signature"},
        {"an empty signature file", key, copy, "", "does not hold a signature"},
        {"a private key in place of the public one", ReadFile(TestCertificate().KeyFile), copy, good,
         "key cannot be read"},
        {"no key text", "-----BEGIN PUBLIC KEY-----\nAAAA\n-----END PUBLIC KEY-----\n", copy, good,
         "key cannot be read"},
    };
    for (const auto &[what, publicKey, bytes, signature, reason] : cases)
    {
        WriteFile(path, bytes);
        std::string why;
        const bool passed = VerifyFileSignature(publicKey, path, signature, why);
        EXPECT_EQ(std::pair(passed, why.find(reason) != std::string::npos), std::pair(*reason == 0, true))
            << what << ": " << why;
    }
    std::string why;
    EXPECT_FALSE(VerifyFileSignature(key, folder.File("missing"), good, why));
    EXPECT_EQ(why, "the downloaded copy cannot be read");
}
