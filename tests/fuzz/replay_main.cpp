// Runs the fuzz target once on each file given, or on each file of each
// folder given: the seed corpus and the saved crash reproducers, as a
// regression check. A folder that does not exist holds nothing to replay.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace fs = std::filesystem;

static void replay(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        std::exit(1);
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::printf("%s\n", file.c_str());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
}

int main(int argc, char **argv)
{
    // Every path is made absolute first: targets change the current folder.
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        const fs::path arg = fs::absolute(argv[i], error);
        if (fs::is_regular_file(arg, error)) {
            files.push_back(arg);
            continue;
        }
        if (!fs::is_directory(arg, error))
            continue;
        std::vector<fs::path> inFolder;
        for (const auto &entry : fs::directory_iterator(arg))
            if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
                inFolder.push_back(entry.path());
        std::sort(inFolder.begin(), inFolder.end());
        files.insert(files.end(), inFolder.begin(), inFolder.end());
    }
    for (const fs::path &f : files)
        replay(f);
    std::printf("%zu inputs replayed\n", files.size());
    return files.empty() ? 1 : 0;
}
