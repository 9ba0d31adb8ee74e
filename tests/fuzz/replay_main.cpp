// The ordinary build's driver of a fuzz target: reads every file of the folders (or the
// files) named on the command line through the target's reader, in name order. A reader that
// crashes, hangs or breaks a promise fails the test; a folder without files fails it too, so
// that a corpus that went missing is noticed.
#include "fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const fs::path named(argv[i]);
        if (!fs::is_directory(named)) {
            files.push_back(named);
            continue;
        }
        std::size_t before = files.size();
        for (const auto& entry : fs::recursive_directory_iterator(named))
            if (entry.is_regular_file()) files.push_back(entry.path());
        if (files.size() == before) {
            std::fprintf(stderr, "%s holds no files\n", argv[i]);
            return 1;
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER-OR-FILE...\n", argv[0]);
        return 2;
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", file.c_str());
            return 1;
        }
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        std::printf("%s (%zu bytes)\n", file.c_str(), bytes.size());
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu files read\n", files.size());
    return 0;
}
