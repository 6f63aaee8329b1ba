// A fresh folder under $TMPDIR (or /tmp) for one test, removed with everything in it afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class cTempDir
{
public:
    cTempDir()
    {
        const char *base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/dorvane_toolkit_XXXXXX";
        if (char *made = ::mkdtemp(pattern.data()))
            Path = std::string(made) + "/";
    }
    ~cTempDir()
    {
        std::error_code ec;
        if (!Path.empty())
            std::filesystem::remove_all(Path, ec);
    }
    cTempDir(const cTempDir &) = delete;
    cTempDir &operator=(const cTempDir &) = delete;

    // Full path of a file in the folder.
    std::string File(const std::string &name) const { return Path + name; }

    std::string Write(const std::string &name, const std::string &bytes) const
    {
        std::ofstream out(File(name), std::ios::binary);
        out << bytes;
        return File(name);
    }

    static std::string Read(const std::string &path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string Path; // with its trailing '/'
};
