#include "platform/settings.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

std::vector<std::string> MemorySettings::list(std::string_view name) {
    auto it = lists.find(name);
    return it == lists.end() ? std::vector<std::string>{} : it->second;
}

void MemorySettings::setList(std::string_view name, const std::vector<std::string>& values) {
    lists[std::string(name)] = values;
}

bool settings_ValidName(std::string_view name) {
    if (name.empty() || name.size() > 64) return false;
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (!ok) return false;
    }
    return true;
}

std::string settings_ConfigFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    fs::path base;
    if (config && *config && fs::path(config).is_absolute()) {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home && *home ? home : ".") / ".config";
    }
    return (base / "sortie").string();
}

std::vector<std::string> FileSettings::list(std::string_view name) {
    std::vector<std::string> out;
    if (!settings_ValidName(name)) return out;
    std::ifstream in(fs::path(folder_) / std::string(name), std::ios::binary);
    std::string line;
    // A settings file is small; one that is not (not ours) is read no further than this.
    constexpr std::size_t kMaxEntries = 1000;
    while (out.size() < kMaxEntries && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) out.push_back(line);
    }
    return out;
}

void FileSettings::setList(std::string_view name, const std::vector<std::string>& values) {
    if (!settings_ValidName(name)) return;
    std::error_code ec;
    const fs::path folder(folder_);
    fs::create_directories(folder, ec);
    const fs::path target = folder / std::string(name);
    fs::path temp = target;
    temp += ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return;
        for (const std::string& v : values) {
            if (v.empty() || v.find_first_of("\r\n") != std::string::npos) continue;
            out << v << '\n';
        }
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temp, ec);
            return;
        }
    }
    fs::rename(temp, target, ec);
    if (ec) fs::remove(temp, ec);
}
