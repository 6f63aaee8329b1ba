// File helpers of the form toolkit's run-time, on POSIX files.
#include "toolkit/Files.h"

#include "toolkit/DateTime.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

bool FileExists(const std::string &path)
{
    struct stat st
    {
    };
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DeleteFile(const std::string &path)
{
    return !path.empty() && ::unlink(path.c_str()) == 0;
}

bool RenameFile(const std::string &from, const std::string &to)
{
    if (from.empty() || to.empty())
        return false;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without RENAME_NOREPLACE: check, then rename.
    struct stat st
    {
    };
    if (::lstat(to.c_str(), &st) == 0)
        return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

long long FileSize(const std::string &path)
{
    struct stat st
    {
    };
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return -1;
    return static_cast<long long>(st.st_size);
}

std::int32_t DateTimeToFileDate(double dateTime)
{
    int year, month, day, hour, minute, second, ms;
    DecodeDateTime(dateTime, year, month, day, hour, minute, second, ms);
    if (year < 1980 || year > 2107)
        return 0;
    const std::uint32_t date = (static_cast<std::uint32_t>(year - 1980) << 9) |
                               (static_cast<std::uint32_t>(month) << 5) | static_cast<std::uint32_t>(day);
    const std::uint32_t time = (static_cast<std::uint32_t>(hour) << 11) |
                               (static_cast<std::uint32_t>(minute) << 5) |
                               static_cast<std::uint32_t>(second / 2);
    return static_cast<std::int32_t>((date << 16) | time);
}

bool TryFileDateToDateTime(std::int32_t dosDate, double &out)
{
    const std::uint32_t v = static_cast<std::uint32_t>(dosDate);
    const std::uint32_t date = v >> 16;
    const std::uint32_t time = v & 0xFFFFu;
    const int year = static_cast<int>(date >> 9) + 1980;
    const int month = static_cast<int>((date >> 5) & 15u);
    const int day = static_cast<int>(date & 31u);
    const int hour = static_cast<int>(time >> 11);
    const int minute = static_cast<int>((time >> 5) & 63u);
    const int second = static_cast<int>(time & 31u) * 2;
    return TryEncodeDateTime(year, month, day, hour, minute, second, out);
}

double FileDateToDateTime(std::int32_t dosDate)
{
    double out = 0;
    return TryFileDateToDateTime(dosDate, out) ? out : 0;
}

std::int32_t FileAge(const std::string &path)
{
    struct stat st
    {
    };
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return -1;
    const double value = DateTimeFromUnix(st.st_mtim.tv_sec);
    const std::int32_t packed = DateTimeToFileDate(value);
    return packed == 0 ? -1 : packed;
}

bool FileSetDate(const std::string &path, std::int32_t dosDate)
{
    double value = 0;
    if (path.empty() || !TryFileDateToDateTime(dosDate, value))
        return false;
    const std::time_t t = UnixFromDateTime(value);
    if (t == static_cast<std::time_t>(-1))
        return false;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT; // access time unchanged
    times[1].tv_sec = t;
    times[1].tv_nsec = 0;
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

void AppendLineToFile(const std::string &path, const std::string &line)
{
    if (path.empty())
        return;
    // 1. Create the file empty if it does not exist.
    int created = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (created >= 0)
        ::close(created);
    // 2. Open it for reading and writing; 21 tries, 100 ms apart.
    int fd = -1;
    for (int attempt = 0; attempt < AppendLineTries; ++attempt)
    {
        fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
        if (fd >= 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(AppendLineRetryMs));
    }
    if (fd < 0)
        return;
    // 3. CR LF added when the line is empty or does not end with LF; 4. write and close.
    std::string text = line;
    if (text.empty() || text.back() != '\n')
        text += "\r\n";
    const char *p = text.data();
    std::size_t left = text.size();
    while (left > 0)
    {
        ssize_t written = ::write(fd, p, left);
        if (written < 0)
        {
            if (errno == EINTR)
                continue;
            break;
        }
        p += written;
        left -= static_cast<std::size_t>(written);
    }
    ::close(fd);
}

std::string ExtractFilePath(const std::string &path)
{
    std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos)
        return std::string();
    return path.substr(0, slash + 1);
}

std::string ExtractFileName(const std::string &path)
{
    std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos)
        return path;
    return path.substr(slash + 1);
}

bool WriteAll(int fd, const void *data, std::size_t length)
{
    const auto *at = static_cast<const unsigned char *>(data);
    while (length > 0)
    {
        const ssize_t n = ::write(fd, at, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string UserConfigFolder(const char *xdgConfigHome, const char *home)
{
    std::string folder;
    if (xdgConfigHome && xdgConfigHome[0] == '/')
        folder = xdgConfigHome;
    else if (home && home[0] == '/')
        folder = std::string(home) + "/.config";
    else
        return std::string();
    // Separators doubled or left at the end count once ("/home/ann//" is "/home/ann").
    std::string clean;
    for (const char c : folder)
        if (c != '/' || clean.empty() || clean.back() != '/')
            clean.push_back(c);
    if (!clean.empty() && clean.back() == '/')
        clean.pop_back();
    return clean + "/Dorvane";
}

std::string ExecutablePath()
{
    std::string buf(4096, '\0');
    for (;;)
    {
        ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0)
            return std::string();
        if (static_cast<std::size_t>(n) < buf.size())
        {
            buf.resize(static_cast<std::size_t>(n));
            return buf;
        }
        if (buf.size() > (1u << 20))
            return std::string();
        buf.resize(buf.size() * 2);
    }
}
