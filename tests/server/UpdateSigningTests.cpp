// --sign-updates: the file area answers a request for NAME.sig with the signature of NAME as it
// is now; a key that is not an Ed25519 private key stops the server at start.
#include "dataclient/UpdateSignature.h"
#include "server/FileArea.h"
#include "server/ServerOptions.h"
#include "server/UpdateSigning.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/SigningKeys.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestCertificates.h"
#include "toolkit/Files.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace
{
class SignedFileArea : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(Signer->Load(SigningKey(0).PrivateKeyFile, error)) << error;
        std::filesystem::create_directories(Folder.Path + "files/Clients");
        Area.UseSigner(Signer);
    }

    // The signature file's bytes after a file request for `name` (as FileInfo and Download make it).
    std::string Requested(const std::string &name)
    {
        Area.PrepareSignature(name);
        return ReadFile(Folder.File("files/Clients/DorvaneProvider.exe.sig"));
    }

    bool Verifies(const std::string &signature)
    {
        std::string why;
        return VerifyFileSignature(SigningKey(0).PublicKeyPem, Copy, signature, why);
    }

    cTempDir Folder{"dorvane_signing_"};
    std::shared_ptr<cUpdateSigner> Signer = std::make_shared<cUpdateSigner>();
    cFileArea Area{Folder.Path + "files"};
    const std::string Copy = Folder.File("files/Clients/DorvaneProvider.exe");
};
} // namespace

// What a request names gets the signature of its present bytes beside it; nothing outside the
// area, nothing for a missing file, nothing without a signer.
TEST_F(SignedFileArea, AFileAskedAboutCarriesTheSignatureOfItsPresentBytes)
{
    std::string previous;
    for (const char *name : {"Clients\\DorvaneProvider.exe.sig", "Clients/DorvaneProvider.exe"})
    {
        SCOPED_TRACE(name);
        WriteFile(Copy, std::string("copy for ") + name);
        const std::string signature = Requested(name);
        EXPECT_EQ(signature.size(), UpdateSignatureSize);
        EXPECT_NE(signature, previous);
        EXPECT_TRUE(Verifies(signature));
        EXPECT_EQ(Requested(name), signature);
        previous = signature;
    }
    WriteFile(Folder.File("secret"), "outside the file area");
    for (const char *name :
         {"Clients\\Other.exe.sig", "Clients\\Other.exe", "..\\secret.sig", "..\\secret", ".sig"})
        Area.PrepareSignature(name);
    cFileArea plain(Folder.Path + "files");
    WriteFile(Copy, "a copy the plain area does not sign");
    plain.PrepareSignature("Clients\\DorvaneProvider.exe.sig");
    // The copy and its (now stale) signature only: no temporary, no other signature.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder.File("files/Clients")),
                            std::filesystem::directory_iterator()),
              2);
    EXPECT_EQ(std::pair(FileExists(Folder.File("secret.sig")),
                        ReadFile(Folder.File("files/Clients/DorvaneProvider.exe.sig")) == previous),
              std::pair(false, true));
}

TEST(UpdateSigningOption, TheKeyIsTakenFromTheCommandLineAndMustBeAnEd25519PrivateKey)
{
    const char *argv[] = {"DorvaneServer", "--data", "/d", "--sign-updates", "/keys/update.pem"};
    cServerOptions options;
    bool help = false;
    std::string error;
    ASSERT_TRUE(ParseServerOptions(5, argv, options, help, error)) << error;
    EXPECT_EQ(options.SignUpdatesKey, "/keys/update.pem");
    EXPECT_FALSE(ParseServerOptions(4, argv, options, help, error));
    EXPECT_EQ(error, "Missing value after --sign-updates");

    // A missing file, a key of another kind (also one locked by a password, which is never asked
    // for), a public key: the server does not start.
    cTempDir folder;
    const std::string publicKey = folder.Write("public.pem", SigningKey(0).PublicKeyPem);
    for (const std::string &key :
         {folder.File("missing.pem"), TestCertificate().KeyFile, EncryptedTestKeyFile(), publicKey})
    {
        cUpdateSigner signer;
        EXPECT_FALSE(signer.Load(key, error)) << key;
        EXPECT_EQ(error, "Cannot read an Ed25519 private key (PEM) from " + key);
        cServerProcess server;
        EXPECT_FALSE(server.Start({"--sign-updates", key})) << key;
    }
}
