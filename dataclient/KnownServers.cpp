#include "dataclient/KnownServers.h"

#include "toolkit/Files.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const char *const FileHeader =
    "# Data servers this client has met, each with the SHA-256 of the certificate it showed\n"
    "# first. The self-update takes code only from a server that shows the same one again.\n"
    "# To accept a server's new certificate, delete its line.\n";

// The digest as lower-case hex without separators, for comparing the forms a person may write.
std::string NormalDigest(const std::string &text)
{
    std::string digest;
    for (char c : text)
        if (c != ':')
            digest.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return digest;
}

bool IsDigest(const std::string &hex)
{
    if (hex.size() != 64)
        return false;
    for (char c : hex)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::string Trimmed(const std::string &text)
{
    const char *blanks = " \t\r";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Writes `bytes` to a new file beside `path`, flushes it to disk and renames it over `path`; the
// rename is the one step that changes what `path` holds. False with `error`.
bool ReplaceFile(const std::string &path, const std::string &bytes, std::string &error)
{
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
    {
        error = std::string("cannot create a file beside it: ") + std::strerror(errno);
        return false;
    }
    const bool written =
        WriteAll(fd, bytes.data(), bytes.size()) && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0)
    {
        error = std::string("cannot write it: ") + std::strerror(written && closed ? errno : writeError);
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with its folder.
    const std::string folder = std::filesystem::path(path).parent_path().string();
    const int folderFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0)
    {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

// Reads the whole file; a missing file reads as empty. False with `error` when it exists but
// cannot be read, or is larger than such a list ever grows.
bool ReadWhole(const std::string &path, std::string &bytes, std::string &error)
{
    constexpr std::size_t MaxBytes = 1 << 20;
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
    {
        if (errno == ENOENT)
            return true;
        error = std::string("cannot read it: ") + std::strerror(errno);
        return false;
    }
    char buffer[4096];
    for (;;)
    {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || bytes.size() + static_cast<std::size_t>(n) > MaxBytes)
        {
            error = n < 0 ? std::string("cannot read it: ") + std::strerror(errno) : "it is too large";
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}
} // namespace

std::string KnownServersPath(const char *xdgConfigHome, const char *home)
{
    const std::string folder = UserConfigFolder(xdgConfigHome, home);
    return folder.empty() ? std::string() : folder + "/" + KnownServersFileName;
}

std::string KnownServersPath()
{
    return KnownServersPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

cServerTrust CheckKnownServer(const std::string &path, const std::string &server,
                              const std::string &sha256Hex)
{
    cServerTrust result;
    const std::string digest = NormalDigest(sha256Hex);
    if (!IsDigest(digest))
    {
        result.Error = "the server showed no certificate";
        return result;
    }
    if (path.empty())
    {
        result.Error = "there is no configuration folder to keep it in (HOME is not set)";
        return result;
    }
    std::string bytes;
    if (!ReadWhole(path, bytes, result.Error))
        return result;

    std::istringstream lines(bytes);
    for (std::string line; std::getline(lines, line);)
    {
        const std::string text = Trimmed(line);
        if (text.empty() || text[0] == '#')
            continue;
        const std::size_t blank = text.find_first_of(" \t");
        if (text.substr(0, blank) != server)
            continue;
        result.Line = text;
        const std::string remembered =
            blank == std::string::npos ? "" : NormalDigest(Trimmed(text.substr(blank)));
        result.Trust = remembered == digest ? eServerTrust::Known : eServerTrust::Changed;
        return result;
    }

    result.Line = server + " " + digest;
    std::error_code folderError;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), folderError);
    if (bytes.empty())
        bytes = FileHeader;
    else if (bytes.back() != '\n')
        bytes += '\n';
    if (!ReplaceFile(path, bytes + result.Line + "\n", result.Error))
        return result;
    result.Trust = eServerTrust::FirstContact;
    return result;
}
