#pragma once
// Scratch folders for tests: each one new and of its own under the system's
// temporary folder, so that two runs at once never share a name, and removed
// with everything in it when the owner goes (after a failed assertion too).
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

namespace kit::test {

inline std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string utf8Of(const std::filesystem::path& p) {
    auto u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
}

class TempFolder {
public:
    // The prefix starts the folder's name (UTF-8; non-ASCII is welcome).
    explicit TempFolder(const std::string& prefix = "kit_test_") {
        namespace fs = std::filesystem;
        const fs::path base = fs::temp_directory_path();
        // Some standard libraries' random_device is deterministic, so the
        // clock and an address are mixed in; creating the folder is the test
        // of uniqueness (it fails when the name exists) and a taken name is
        // simply drawn again, as mkdtemp does.
        std::random_device device;
        std::mt19937_64 draw(device() ^ static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                             reinterpret_cast<uintptr_t>(this));
        for (int attempt = 0; attempt < 100; ++attempt) {
            fs::path candidate = base / pathOf(prefix + std::to_string(draw() % 1000000000000ull));
            std::error_code ec;
            if (fs::create_directory(candidate, ec)) {
                path_ = utf8Of(candidate);
                return;
            }
        }
        throw std::runtime_error("no temporary folder could be made");
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(pathOf(path_), ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // A name inside the folder, joined with the platform's separator.
    std::string file(const std::string& name) const { return utf8Of(pathOf(path_) / pathOf(name)); }

private:
    std::string path_;
};

// The test program's own folder: made on first use, removed when the program
// ends.
inline const TempFolder& programTempFolder() {
    static const TempFolder folder("kit_tests_");
    return folder;
}

inline std::string tempPath(const std::string& name) { return programTempFolder().file(name); }

}  // namespace kit::test
