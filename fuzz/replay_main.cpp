// Runs a fuzz entry point over saved inputs, without libFuzzer: every file named, and every
// file in every folder named (not recursively). Used by the test suite to replay the seed
// corpus and every input that once made a fuzz target fail.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_check.h"

namespace {

namespace fs = std::filesystem;

bool replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
        return false;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // Each input in a buffer of its own size, so that ASan sees any read past its end.
    std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(copy.empty() ? nullptr : copy.data(), copy.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::size_t count = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const fs::path path = argv[i];
        std::vector<fs::path> files;
        if (fs::is_directory(path)) {
            for (const auto& entry : fs::directory_iterator(path)) {
                const auto name = entry.path().filename().string();
                if (entry.is_regular_file() && !name.starts_with(".") && name != "README.md") {
                    files.push_back(entry.path());
                }
            }
            std::sort(files.begin(), files.end());
        } else if (fs::exists(path)) {
            files.push_back(path);
        } else {
            std::fprintf(stderr, "no such file or folder: %s\n", path.string().c_str());
            ok = false;
        }
        for (const fs::path& file : files) {
            ok = replay(file) && ok;
            ++count;
        }
    }
    std::printf("replayed %zu inputs\n", count);
    return ok ? 0 : 1;
}
