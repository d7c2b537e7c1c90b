// A fresh folder under the system's temporary folder, removed again by the destructor.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() / ("edamiru-test-" + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }
    // UTF-8 path of a file in the folder.
    std::string file(const std::string& name) const { return (path_ / name).u8string(); }

private:
    std::filesystem::path path_;
};

inline void writeBytes(const std::string& utf8Path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(std::filesystem::u8path(utf8Path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
