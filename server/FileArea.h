// The server's file area (DATA/files): maps client file names such as "Clients\DorvaneProvider.exe"
// to paths inside it and refuses every name that would leave it.
#pragma once

#include "server/UpdateSigning.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class cFileArea
{
public:
    explicit cFileArea(std::string root);
    const std::string &Root() const { return RootFolder; }
    // Path inside the area for a client name; false with `error` for a name that is refused.
    bool Resolve(std::string_view name, std::string &path, std::string &error) const;
    // Size and packed file date of a file; false when it is missing, refused or too large.
    bool Info(std::string_view name, std::int32_t &size, std::int32_t &date, std::string &error) const;

    // With a signer (--sign-updates), every file asked about (information or download) carries
    // its signature as it is now in "NAME.sig" beside it: PrepareSignature, called with the name
    // of a request, (re)writes that file first for NAME or NAME.sig. Without a signer, or for a
    // name that is refused or no regular file, it does nothing.
    void UseSigner(std::shared_ptr<const cUpdateSigner> signer) { Signer = std::move(signer); }
    void PrepareSignature(std::string_view name) const;

private:
    std::string RootFolder;
    std::shared_ptr<const cUpdateSigner> Signer;
};
