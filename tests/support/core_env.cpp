#include "support/core_env.h"

#include "core/file.h"
#include "core/mem.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

ScopedCore::ScopedCore() {
    file_Reset();
    mem_Shutdown();
    if (mem_Startup() != 0) throw std::runtime_error("memory pools could not be created");
}

ScopedCore::~ScopedCore() {
    file_Reset();
    mem_Shutdown();
}

ScopedTempDir::ScopedTempDir() {
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path();
    for (int i = 0; i < 100; ++i) {
        auto p = base / ("sortie-test-" + std::to_string(rd()));
        std::error_code ec;
        if (std::filesystem::create_directory(p, ec)) {
            path_ = p;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

ScopedTempDir::~ScopedTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string ScopedTempDir::file(std::string_view name) const { return (path_ / std::string(name)).string(); }

std::string ScopedTempDir::write(std::string_view name, std::string_view bytes) const {
    std::string p = file(name);
    std::filesystem::create_directories(std::filesystem::path(p).parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}

std::string ScopedTempDir::write(std::string_view name, const std::vector<std::uint8_t>& bytes) const {
    return write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
