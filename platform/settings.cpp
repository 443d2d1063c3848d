#include "platform/settings.h"

#include "core/file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
        const bool ok =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
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

std::vector<std::string> settings_ReadLines(const std::string& path, std::size_t cap) {
    std::vector<std::string> out;
    std::string text;
    switch (file_ReadSmall(path, cap, text)) {
    case SmallFile::Ok: break;
    case SmallFile::Missing: return out;
    case SmallFile::NotRegular:
        std::fprintf(stderr, "sortie: %s is not a regular file; ignored\n", path.c_str());
        return out;
    case SmallFile::Unreadable:
        std::fprintf(stderr, "sortie: %s cannot be read (%s); ignored\n", path.c_str(), std::strerror(errno));
        return out;
    case SmallFile::TooLarge:
        std::fprintf(stderr, "sortie: %s is larger than %zu bytes; only its first lines were read\n", path.c_str(),
                     cap);
        // The last line may be cut in the middle: it goes.
        text.erase(text.find_last_of('\n') == std::string::npos ? 0 : text.find_last_of('\n') + 1);
        break;
    }
    std::size_t dropped = 0, start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        // Control characters (a stray carriage return, a NUL) make no entry the program wrote.
        const bool control = std::any_of(line.begin(), line.end(),
                                         [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; });
        if (control || !file_ValidUtf8(line)) {
            ++dropped;
            continue;
        }
        out.push_back(std::move(line));
    }
    if (dropped > 0)
        std::fprintf(stderr, "sortie: %s: %zu line(s) that are not text were ignored\n", path.c_str(), dropped);
    return out;
}

std::vector<std::string> FileSettings::list(std::string_view name) {
    if (!settings_ValidName(name)) return {};
    return settings_ReadLines((fs::path(folder_) / std::string(name)).string(), kSettingsMaxBytes);
}

void FileSettings::setList(std::string_view name, const std::vector<std::string>& values) {
    if (!settings_ValidName(name)) return;
    std::error_code ec;
    const fs::path folder(folder_);
    fs::create_directories(folder, ec);
    const fs::path target = folder / std::string(name);
    std::string text;
    for (const std::string& v : values) {
        if (v.empty() || v.find_first_of("\r\n") != std::string::npos) continue;
        text += v;
        text += '\n';
    }
    if (file_WriteAtomic(target.string(), text.data(), text.size())) return;
    // Said once per list and run: the list is saved again after every open and save.
    if (failed_.insert(std::string(name)).second)
        std::fprintf(stderr, "sortie: the list %s cannot be saved in %s; it is kept for this session only\n",
                     std::string(name).c_str(), folder_.c_str());
}
