// Plain main for the fuzz targets: feeds every file of the given folders (or files) to the
// target once, so ordinary test runs replay the corpora with the normal compiler.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

static int RunFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    return 1;
}

int main(int argc, char **argv)
{
    int count = 0;
    for (int i = 1; i < argc; ++i)
    {
        std::filesystem::path p(argv[i]);
        if (std::filesystem::is_directory(p))
        {
            for (const auto &entry : std::filesystem::recursive_directory_iterator(p))
                if (entry.is_regular_file())
                    count += RunFile(entry.path());
        }
        else if (std::filesystem::is_regular_file(p))
            count += RunFile(p);
    }
    // Also the empty input, which every target must survive.
    LLVMFuzzerTestOneInput(nullptr, 0);
    std::printf("replayed %d inputs\n", count);
    return count > 0 ? 0 : 1;
}
