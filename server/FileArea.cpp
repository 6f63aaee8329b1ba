#include "server/FileArea.h"

#include "toolkit/Files.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

cFileArea::cFileArea(std::string root) : RootFolder(std::move(root))
{
    while (RootFolder.size() > 1 && RootFolder.back() == '/')
        RootFolder.pop_back();
}

bool cFileArea::Resolve(std::string_view name, std::string &path, std::string &error) const
{
    error = "Invalid file name";
    if (name.empty() || name.size() > 260 || name[0] == '/' || name[0] == '\\')
        return false;
    std::string relative;
    std::string part;
    auto endPart = [&]()
    {
        if (part.empty() || part == "." || part == "..")
            return false;
        relative += (relative.empty() ? "" : "/") + part;
        part.clear();
        return true;
    };
    for (char c : name)
    {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
            return false;
        if (c == '/' || c == '\\')
        {
            if (!endPart())
                return false;
        }
        else
            part += c;
    }
    if (!endPart())
        return false;
    path = RootFolder + "/" + relative;
    // A link inside the area must not lead out of it either.
    char resolvedRoot[PATH_MAX];
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) && realpath(RootFolder.c_str(), resolvedRoot))
    {
        std::string r(resolved), base(resolvedRoot);
        if (r.compare(0, base.size() + 1, base + "/") != 0)
            return false;
    }
    error.clear();
    return true;
}

bool cFileArea::Info(std::string_view name, std::int32_t &size, std::int32_t &date, std::string &error) const
{
    size = 0;
    date = 0;
    std::string path;
    if (!Resolve(name, path, error))
        return false;
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    {
        error = "File not found";
        return false;
    }
    if (st.st_size > INT32_MAX)
    {
        error = "File too large";
        return false;
    }
    size = static_cast<std::int32_t>(st.st_size);
    date = FileAge(path);
    return true;
}

void cFileArea::PrepareSignature(std::string_view name) const
{
    constexpr std::string_view suffix = ".sig";
    if (!Signer)
        return;
    const bool isSignature =
        name.size() > suffix.size() && name.substr(name.size() - suffix.size()) == suffix;
    const std::string_view signedName = isSignature ? name.substr(0, name.size() - suffix.size()) : name;
    std::string signedPath, signaturePath, error;
    if (Resolve(signedName, signedPath, error) &&
        Resolve(std::string(signedName) + std::string(suffix), signaturePath, error))
        Signer->SignFile(signedPath, signaturePath);
}
