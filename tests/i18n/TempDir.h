#pragma once
// A directory of its own under the system's temporary directory, removed with
// everything in it when the test ends.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace t6::test {

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        for (int attempt = 0;; ++attempt) {
            path_ = std::filesystem::temp_directory_path() /
                    ("t6-i18n-" + std::to_string(rd()) + "-" + std::to_string(attempt));
            if (std::filesystem::create_directory(path_))
                break;
        }
    }
    ~TempDir() {
        std::error_code ec;
        // Give back the rights a test took away, so that everything can go.
        for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline std::string readBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// How many entries the directory holds.
inline int entryCount(const std::filesystem::path& dir) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir))
        ++n;
    return n;
}

} // namespace t6::test
