#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

cTempDir::cTempDir(const std::string &prefix)
{
    const char *base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/" + prefix + "XXXXXX";
    if (char *made = ::mkdtemp(pattern.data()))
        Path = std::string(made) + "/";
}

cTempDir::~cTempDir()
{
    std::error_code ec;
    if (!Path.empty())
        std::filesystem::remove_all(Path, ec);
}

std::string cTempDir::Write(const std::string &name, const std::string &bytes) const
{
    WriteFile(File(name), bytes);
    return File(name);
}

bool WriteFile(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out.flush());
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
