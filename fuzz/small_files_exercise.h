// Runs of the readers of the editor's own small files over arbitrary bytes, shared by their
// fuzz targets and the test that replays the saved inputs: the settings lists (recent files)
// and the notes beside the backups. Whatever the bytes, what comes back is a few lines of
// valid UTF-8 with no line break, within the cap; notes name only pages' files as absolute
// paths. false when one of these fails.
#pragma once

#include "core/file.h"
#include "platform/settings.h"
#include "shell/history.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

inline bool smallfiles_WriteInput(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    return true;
}

inline bool settings_ExerciseBytes(const std::uint8_t* data, std::size_t size, const std::string& folder) {
    std::filesystem::create_directories(folder);
    if (!smallfiles_WriteInput(folder + "/recent-files", data, size)) return true;
    FileSettings settings(folder);
    std::size_t total = 0;
    for (const std::string& line : settings.list("recent-files")) {
        if (line.empty() || line.find_first_of("\r\n") != std::string::npos || !file_ValidUtf8(line)) return false;
        total += line.size() + 1;
    }
    return total <= kSettingsMaxBytes;
}

inline bool notes_ExerciseBytes(const std::uint8_t* data, std::size_t size, const std::string& folder) {
    std::filesystem::create_directories(folder);
    if (!smallfiles_WriteInput(folder + "/backups.txt", data, size)) return true;
    for (const auto& [key, value] : history_ReadBackupNotes(folder)) {
        if (key != "page1.file" && key != "page2.file") return false;
        if (!value.empty() && (!std::filesystem::path(value).is_absolute() || !file_ValidUtf8(value))) return false;
    }
    return true;
}
