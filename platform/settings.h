// The two kinds of Settings (platform/ui.h): in memory (the console, the tests) and in files,
// one file per list with one entry a line, in the editor's configuration folder.
#pragma once

#include "platform/ui.h"

#include <map>
#include <set>
#include <string>

class MemorySettings : public Settings {
public:
    std::vector<std::string> list(std::string_view name) override;
    void setList(std::string_view name, const std::vector<std::string>& values) override;
    // Every list kept (tests look at them).
    std::map<std::string, std::vector<std::string>, std::less<>> lists;
};

class FileSettings : public Settings {
public:
    // Lists are files in folder, made when the first list is written.
    explicit FileSettings(std::string folder) : folder_(std::move(folder)) {}
    const std::string& folder() const { return folder_; }

    std::vector<std::string> list(std::string_view name) override;
    // Written beside the file and renamed over it, so a crash never leaves half a list.
    // Entries holding a line break cannot be kept and are left out.
    void setList(std::string_view name, const std::vector<std::string>& values) override;

private:
    std::string folder_;
    std::set<std::string, std::less<>> failed_;  // lists whose save failed and was reported
};

// The most a settings file or a note of the program's is read of.
constexpr std::size_t kSettingsMaxBytes = 64 * 1024;
// The non-empty lines of a small text file of the program's own, read by file_ReadSmall with
// cap; what is ignored (not a regular file, too large, lines not in UTF-8) is said on stderr.
std::vector<std::string> settings_ReadLines(const std::string& path, std::size_t cap);

// The editor's configuration folder: $XDG_CONFIG_HOME/sortie when that is an absolute path,
// else ~/.config/sortie.
std::string settings_ConfigFolder();
// Whether a list name can be a file name of its own: letters, digits, '-' and '_' only.
bool settings_ValidName(std::string_view name);
