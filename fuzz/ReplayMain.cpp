// Replays the committed seeds of a fuzz target in the normal build: every
// file of the folders given runs once through the target, from a heap copy of
// exactly its size. A target that finds a fault aborts; a folder without any
// seed fails too, so that a lost corpus does not pass unnoticed.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc < 2) {
        std::cerr << "usage: " << argv[0] << " SEED_FOLDER...\n";
        return 2;
    }
    int replayed = 0;
    for (int a = 1; a < argc; ++a) {
        std::error_code ec;
        std::vector<fs::path> seeds;
        for (const auto& entry : fs::directory_iterator(argv[a], ec))
            if (entry.is_regular_file())
                seeds.push_back(entry.path());
        if (ec) {
            std::cerr << argv[a] << ": " << ec.message() << "\n";
            return 1;
        }
        std::sort(seeds.begin(), seeds.end());
        for (const fs::path& seed : seeds) {
            std::ifstream in(seed, std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>()};
            if (!in.good() && !in.eof()) {
                std::cerr << seed << ": cannot be read\n";
                return 1;
            }
            std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[bytes.size() + !bytes.size()]);
            std::memcpy(exact.get(), bytes.data(), bytes.size());
            std::cout << seed.filename().string() << " (" << bytes.size() << " bytes)\n";
            LLVMFuzzerTestOneInput(exact.get(), bytes.size());
            ++replayed;
        }
    }
    if (replayed == 0) {
        std::cerr << "no seeds found\n";
        return 1;
    }
    std::cout << replayed << " seeds replayed\n";
    return 0;
}
