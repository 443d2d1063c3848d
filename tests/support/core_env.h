// Test helpers for code that needs the memory pools and the file layer: a fresh set of
// pools and an empty archive registry for the life of one object, and a temporary folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Creates the three pools and clears the file layer; undoes both on destruction.
class ScopedCore {
public:
    ScopedCore();
    ~ScopedCore();
    ScopedCore(const ScopedCore&) = delete;
    ScopedCore& operator=(const ScopedCore&) = delete;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScopedTempDir {
public:
    ScopedTempDir();
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // path()/name as a string.
    std::string file(std::string_view name) const;
    // Writes bytes to path()/name and gives the full path.
    std::string write(std::string_view name, std::string_view bytes) const;
    std::string write(std::string_view name, const std::vector<std::uint8_t>& bytes) const;

private:
    std::filesystem::path path_;
};

// The whole content of a disk file ("" when it cannot be read).
std::string readWholeFile(const std::string& path);
